// Delete.bat: after an uninstall, the batch file in the temporary folder
// that waits for the program to end and then removes the program's folder,
// the program file among them, and itself.
#pragma once

#include <string>

namespace quorvale::uninstall {

// The batch's six lines, each ended by CR LF but the last, "exit", which
// has no line end. It removes short_folder and deletes itself by its full
// path (batch_file), whatever folder it runs in.
std::string DeleteBatchText(const std::string& short_folder, const std::string& batch_file);

// Whether a path names a drive root ("C:", "C:\").
bool IsDriveRoot(const std::string& path);

// Writes the batch into the temporary folder (an earlier one is replaced)
// for the program's folder app_path and starts it hidden, without waiting.
// Nothing is written when the folder's short path cannot be had or the
// folder is a drive root: the batch would remove the current folder or the
// drive. Raises when the file cannot be written; nothing is started then.
void StartDeleteBatch(const std::string& app_path);

}  // namespace quorvale::uninstall
