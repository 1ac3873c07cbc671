// The methods of Ftp in declaration order; each parameter name is also
// its query key.
#include "quorvale/component/classes.h"

namespace quorvale::component {

const ClassTable& FtpTable() {
  static const ClassTable table{
      "Ftp",
      "{5ECE51B9-0AFE-497E-B770-945C12D9F111}",
      "{2EDCDCDD-5B58-486F-8488-A4AADE338B53}",
      Selector::kNone,
      {
          {"CreateFtp",
           {"FtpUser", "FtpPass", "MaxSpace", "FtpDirectory", "FtpConnections", "IPLogin", "TimeOut",
            "TaskTimeOut", "UpSpeed", "DownSpeed", "Authority"}},
          {"DeleteFtp", {"FtpUser"}},
          {"ModifyFtpPassWord", {"FtpUser", "PassWord"}},
          {"ModifyFtpMaxSpace", {"FtpUser", "MaxSpace"}},
          {"GetFtpMaxSpace", {"FtpUser"}},
          {"ModifyFtpConnections", {"FtpUser", "FtpConnections"}},
          {"GetFtpConnections", {"FtpUser"}},
          {"ModifyFtpIPLogin", {"FtpUser", "IPLogin"}},
          {"GetFtpIPLogin", {"FtpUser"}},
          {"ModifyFtpTimeOut", {"FtpUser", "TimeOut"}},
          {"GetFtpTimeOut", {"FtpUser"}},
          {"ModifyFtpTaskTimeOut", {"FtpUser", "TaskTimeOut"}},
          {"GetFtpTaskTimeOut", {"FtpUser"}},
          {"ModifyFtpSpeed", {"FtpUser", "UpSpeed", "DownSpeed"}},
          {"GetFtpSpeed", {"FtpUser"}},
          {"ModifyFtpAuthority", {"FtpUser", "Authority"}},
          {"GetFtpAuthority", {"FtpUser"}},
          {"ModifyFtpState", {"FtpUser", "State"}},
          {"GetFtpState", {"FtpUser"}},
          {"DeleteFtpFiles", {"FtpUser", "Files"}},
      }};
  return table;
}

}  // namespace quorvale::component
