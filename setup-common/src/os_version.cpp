#include "quorvale/setup/os_version.h"

namespace quorvale::setup {

std::string WindowsName(std::uint32_t platform_id, std::uint32_t major, std::uint32_t minor) {
  if (platform_id == 1) {  // Windows 9x
    switch (minor) {
      case 0: return "Windows 95";
      case 10: return "Windows 98";
      case 90: return "Windows Mellinnium";
      default: return "";
    }
  }
  if (platform_id == 2) {  // Windows NT
    if (major == 3) return "Windows NT 3.51";
    if (major == 4) return "Windows NT 4.0";
    if (major == 5) {
      switch (minor) {
        case 0: return "Windows 2000";
        case 1: return "Windows XP";
        case 2: return "Windows Server 2003";
        default: return "";
      }
    }
    return "";
  }
  return "Failed";
}

}  // namespace quorvale::setup
