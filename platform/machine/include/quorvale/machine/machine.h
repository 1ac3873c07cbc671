// A Windows machine kept in a folder: its drives as folders under drives/,
// its registry, and the state Windows keeps about them (version, names,
// folders, free space, attributes, 8.3 names, open-file holds, access lists,
// services, started programs). Every change is written through at once; any
// number of Machine objects, threads and processes may share one folder.
// Windows paths and names here are UTF-8; the win32 layer converts.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "quorvale/machine/machine_folder.h"
#include "quorvale/machine/registry_store.h"
#include "quorvale/machine/state_file.h"

namespace quorvale {

enum class WindowsEdition { kWindows98, kWindows2000, kWindowsXP, kWindowsServer2003 };

// The shape of a new machine.
struct MachineShape {
  WindowsEdition edition = WindowsEdition::kWindowsServer2003;
  bool iis = true;
  bool program_files = true;
  std::string computer_name = "QUORVALE";
  // Drive letter -> free bytes; nothing means the host's real free space.
  std::map<char, std::optional<std::uint64_t>> drives{{'C', std::nullopt}};
};

struct OsVersion {
  std::uint32_t major = 0, minor = 0, build = 0, platform_id = 0;
  std::string csd;  // service-pack text
};

// What machine.ini holds.
struct MachineInfo {
  OsVersion version;
  std::string computer_name;
  std::string windows_directory;  // "C:\WINDOWS"
  std::string system_directory;   // "C:\WINDOWS\system32"
  std::string temp_path;          // with its trailing backslash
  bool iis = false;
};

// machine.ini as a whole: the machine's description and the free space each
// drive reports (nothing for the host's real free space).
struct MachineIni {
  MachineInfo info;
  std::map<char, std::optional<std::uint64_t>> free_space;
};

// The text of machine.ini and back. Raises MachineStateError naming file for
// a text that is no whole machine.ini (cut short, a key missing, a number
// that is none, or one written by an older build).
MachineIni ParseMachineIni(const std::string& text, const std::filesystem::path& file);
std::string FormatMachineIni(const MachineIni& ini);

struct DiskSpace {
  std::uint64_t free_bytes = 0, total_bytes = 0;
};

// File attributes, numbered as Windows numbers them.
inline constexpr std::uint32_t kAttrReadOnly = 0x01, kAttrHidden = 0x02, kAttrSystem = 0x04,
                               kAttrDirectory = 0x10, kAttrArchive = 0x20, kAttrNormal = 0x80;

// A Windows path looked up on the machine's drives.
struct ResolvedPath {
  std::uint32_t error = 0;     // ERROR_INVALID_NAME / ERROR_PATH_NOT_FOUND for a path it cannot hold
  std::filesystem::path host;  // where the file is, or would be
  std::string long_path;       // the Windows path with the names as the drive keeps them
  bool exists = false;
  bool parent_exists = false;  // the folder that holds (or would hold) it exists
  bool is_directory = false;
};

struct StartedProgram {
  std::string command_line;
  int show = 0;
  bool launched = true;  // false: nothing could be started from that command line
};

// "This program did that": program as Windows spells its file name
// ("regsvr32.exe", "cmd.exe"), what one word ("registered", "opened",
// "extracted", "refused", "failed", ...), path the long Windows path it
// concerned, detail anything more.
struct ProgramEvent {
  std::string program, what, path, detail;
  bool operator==(const ProgramEvent&) const = default;
};

struct AccessEntry {
  std::string path, principal, right;
  bool operator==(const AccessEntry&) const = default;
};

struct ServiceRecord {
  std::string name, display_name, binary_path;
  std::string start_type = "auto";  // auto, demand, disabled
  std::string state = "stopped";    // running, stopped
};

// services.txt as text: its services, or MachineStateError naming file.
std::vector<ServiceRecord> ParseServices(const std::string& text, const std::filesystem::path& file);

struct HoldRecord {
  long pid = 0;
  std::string holder, path;
};

class Machine;

// A file held open by a program: DeleteFileA and MoveFileA fail on it while
// the hold lives and its process runs. Moves only; it must not outlive the
// Machine that gave it.
class FileHold {
 public:
  FileHold() = default;
  FileHold(const Machine* machine, std::string holder, std::string path, long pid);
  FileHold(FileHold&& other) noexcept;
  FileHold& operator=(FileHold&& other) noexcept;
  ~FileHold();
  void Release();

 private:
  const Machine* machine_ = nullptr;
  std::string holder_, path_;
  long pid_ = 0;
};

class Machine {
 public:
  // Opens the machine in folder; raises MachineStateError when the folder
  // holds no machine (and then makes nothing there) or its machine.ini is
  // damaged.
  explicit Machine(std::filesystem::path folder);
  // What a layer above adds to a new machine (programs installed on it): run
  // on the machine once its state files are written, before machine.ini,
  // so a machine is there only with all of it. What it raises leaves no
  // machine, and the next Create or Reset clears what it left.
  using Furnish = std::function<void(const Machine&)>;
  // Makes a new machine of that shape in folder (created when missing),
  // holding the machine's lock throughout. Raises MachineStateError when a
  // machine is there or being made, or when the folder holds other files.
  static void Create(const std::filesystem::path& folder, const MachineShape& shape,
                     const Furnish& furnish = {});
  // The same, but a machine already there is kept and a machine being made
  // is waited for.
  static void CreateUnlessPresent(const std::filesystem::path& folder, const MachineShape& shape,
                                  const Furnish& furnish = {});
  // Removes the machine in folder and makes it anew, under the machine's
  // lock. Raises MachineStateError, removing nothing, when the folder holds
  // files but no machine.
  static void Reset(const std::filesystem::path& folder, const MachineShape& shape,
                    const Furnish& furnish = {});
  // A machine exists in folder when its machine.ini does.
  static bool Exists(const std::filesystem::path& folder);

  // Reads every state file; raises the first one's damage.
  void Check() const;

  const std::filesystem::path& Folder() const { return folder_; }
  RegistryStore& Registry() { return registry_; }

  MachineInfo Info() const;
  // Writes machine.ini; free-space settings given here replace the stored ones.
  void SetInfo(const MachineInfo& info, const std::map<char, std::optional<std::uint64_t>>& free_space = {});

  // Drive letters, upper case, of the folders under drives/.
  std::vector<char> Drives() const;
  // Nothing for a drive the machine does not have.
  std::optional<DiskSpace> FreeSpace(char drive) const;
  void SetFreeSpace(char drive, std::optional<std::uint64_t> free_bytes);

  // Case-insensitive, through 8.3 names; "." and ".." are taken lexically.
  ResolvedPath Resolve(const std::string& windows_path) const;
  // The 8.3 form of an existing path (names that fit 8.3 keep the caller's
  // text); nothing when the path does not exist.
  std::optional<std::string> ShortPath(const std::string& windows_path) const;
  // The 8.3 name of one entry, given its long path; assigns it when needed.
  std::string ShortNameOf(const std::string& long_path) const;
  // The 8.3 name given to an entry so far, without giving one.
  std::optional<std::string> GivenShortNameOf(const std::string& long_path) const;

  // Stored attributes, with kAttrDirectory for a folder. A file with no
  // stored attributes is kAttrArchive.
  std::uint32_t Attributes(const ResolvedPath& path) const;
  void SetAttributes(const std::string& long_path, std::uint32_t attributes) const;
  // A file was made anew at long_path: its old attributes, 8.3 name and
  // access list go. The same for everything below a removed folder.
  void ForgetPath(const std::string& long_path) const;
  // A file or folder moved: its records move with it (its 8.3 name goes).
  void MovePath(const std::string& from, const std::string& to) const;

  // Held by this process, or by the process pid (a program it started:
  // the hold ends with that program, whatever becomes of this one).
  FileHold Hold(const std::string& long_path, const std::string& holder, long pid = 0) const;
  bool IsHeld(const std::string& long_path) const;
  std::vector<HoldRecord> Holds() const;

  // Grants (replacing the principal's earlier grant on that path).
  void Grant(const std::string& path, const std::string& principal, const std::string& right) const;
  // Empties the access list of path (not of what lies below it).
  void ClearAccess(const std::string& path) const;
  std::vector<AccessEntry> AccessList() const;

  void SetService(const ServiceRecord& service) const;
  // Adds the service unless one of that name exists (then false, and the
  // existing one stays), in one step under the file's lock.
  bool AddService(const ServiceRecord& service) const;
  bool RemoveService(const std::string& name) const;
  std::optional<ServiceRecord> FindService(const std::string& name) const;
  std::vector<ServiceRecord> Services() const;

  void RecordStart(const StartedProgram& start) const;
  std::vector<StartedProgram> StartedPrograms() const;

  // What the machine's programs did that leaves no other trace (notepad
  // opened a file, a stand-in component was registered), in order.
  void RecordEvent(const ProgramEvent& event) const;
  std::vector<ProgramEvent> ProgramEvents() const;

  // The state files, for tools and messages.
  std::filesystem::path InfoFile() const { return folder_ / "machine.ini"; }
  // Every state file a machine has (metabase.xml only with IIS).
  static std::vector<std::string> StateFileNames(bool iis);
  std::filesystem::path DrivesFolder() const { return folder_ / "drives"; }

 private:
  friend class FileHold;
  friend std::filesystem::path HostPathOf(const std::filesystem::path&, const std::string&);
  // For Create: a machine whose machine.ini is not written yet.
  Machine(std::filesystem::path folder, const MachineInfo& unwritten);
  static void CreateLocked(const std::filesystem::path& folder, const MachineShape& shape,
                           const Furnish& furnish);
  MachineIni LoadIni() const;
  // Reads machine.ini, changes it and writes it back under its lock.
  void UpdateIni(const std::function<void(MachineIni&)>& change);
  void ReleaseHold(const std::string& holder, const std::string& path, long pid) const;
  void AssignShortNames(const std::filesystem::path& dir_host, const std::string& dir_long) const;
  std::optional<std::string> LongNameOfShort(const std::string& dir_long,
                                             const std::string& short_name) const;

  std::filesystem::path folder_;
  RegistryStore registry_;
  RecordFile attributes_, short_names_, holds_, access_, services_, started_, events_;
};

// The machine of MachineFolder(). The default machine is made with the
// default shape (Windows Server 2003 with IIS) on first use; a folder named
// by QUORVALE_MACHINE must hold a machine, else MachineStateError says how
// to make one.
std::shared_ptr<Machine> CurrentMachine();

// ASCII letters compared without case, as Windows compares names.
bool NamesEqual(const std::string& a, const std::string& b);
// "C:\A\B" starts with "c:\a" as a path (equal, or followed by "\").
bool PathWithin(const std::string& path, const std::string& folder);

}  // namespace quorvale
