#include "quorvale/uninstall/repair_folder.h"

#include "quorvale/uninstall/delete_batch.h"

namespace quorvale::uninstall {

std::string RepairFolder(const std::string& app_path) {
  return IsDriveRoot(app_path) ? app_path.substr(0, 2) : app_path;
}

}  // namespace quorvale::uninstall
