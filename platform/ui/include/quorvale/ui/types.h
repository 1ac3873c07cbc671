// Plain values that forms, controls and backends pass around.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quorvale::ui {

// A picture (icon, banner) named by the resource it comes from; the
// headless backend only compares names, a real backend loads the image.
struct Picture {
  std::string name;
  bool operator==(const Picture&) const = default;
};

// Colours as the system writes them: &H00BBGGRR.
using Color = std::uint32_t;
inline constexpr Color kColorRed = 0x000000FF;
inline constexpr Color kColorGrey = 0x00808080;
inline constexpr Color kColorButtonFace = 0x8000000F;
inline constexpr Color kColorWindowText = 0x80000012;

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgButtons { OK, OKCancel, YesNo, YesNoCancel, RetryCancel };
enum class MsgResult { OK, Cancel, Yes, No, Retry };

// The buttons of a message box in the order the box shows them; the first
// one is the default answer.
std::vector<MsgResult> ButtonsOf(MsgButtons buttons);

struct MessageRequest {
  std::string prompt;
  MsgButtons buttons = MsgButtons::OK;
  MsgIcon icon = MsgIcon::None;
  std::string title;  // empty: the box has no title of its own
  std::string owner;  // name of the active form, empty when none
};

// The folder-browse dialog: answers a Windows folder path or nothing.
struct FolderRequest {
  std::string owner;
  std::string title;
  std::uint32_t flags = 0;
};

// The open-file dialog. The filter is pairs of a display text and a pattern;
// the flags are the open-file record's: without kFileMustExist a typed name
// of a file that is not there is answered as typed.
inline constexpr std::uint32_t kFileMustExist = 0x1000;
struct FileRequest {
  std::string owner;
  std::vector<std::pair<std::string, std::string>> filter;
  std::string title;
  std::string initial_folder;
  std::uint32_t flags = 0;
};

// Why a form is being closed.
enum class UnloadMode { ControlMenu, Code, AppWindows, TaskManager, FormOwner };

}  // namespace quorvale::ui
