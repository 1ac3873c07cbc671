#include "quorvale/uninstall/delete_batch.h"

#include "quorvale/setup/system_helpers.h"
#include "quorvale/setup/text_file.h"
#include "quorvale/win32/win32.h"

namespace quorvale::uninstall {

namespace w = quorvale::win32;
using setup::SystemHelpers;

std::string DeleteBatchText(const std::string& short_folder, const std::string& batch_file) {
  return "@echo off\r\n"
         "ping 127.0.0.1 -n 2\r\n"
         "rd /s /q " +
         short_folder + "\r\n" + "del " + batch_file + "\r\n" + "cls\r\n" + "exit";
}

bool IsDriveRoot(const std::string& path) {
  const bool letter =
      path.size() >= 2 && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  return letter && path[1] == ':' && (path.size() == 2 || (path.size() == 3 && path[2] == '\\'));
}

void StartDeleteBatch(const std::string& app_path) {
  const std::string short_folder = SystemHelpers::ShortPath(app_path);
  if (short_folder.empty() || IsDriveRoot(app_path) || IsDriveRoot(short_folder)) return;
  const std::string temp = SystemHelpers::GetWindowTempPath();
  const std::string short_temp = SystemHelpers::ShortPath(temp);
  if (short_temp.empty()) return;
  const std::string batch_file = short_temp + "Delete.bat";
  setup::WriteTextFile(temp + "Delete.bat", DeleteBatchText(short_folder, batch_file));
  w::WinExec(w::ToAnsi(batch_file).value_or("").c_str(), w::SW_HIDE);
}

}  // namespace quorvale::uninstall
