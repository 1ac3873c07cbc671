// The methods of System in declaration order; each parameter name is also
// its query key.
#include "quorvale/component/classes.h"

namespace quorvale::component {

const ClassTable& SystemTable() {
  static const ClassTable table{"System",
                                "{3007E277-761F-4AF0-9EBC-360030AB3B3A}",
                                "{FA59ABEC-CB63-4EFD-8B7F-D75015379B8B}",
                                Selector::kNone,
                                {
                                    {"Hello", {}},
                                    {"ShutDownComputer", {}},
                                    {"ReStartComputer", {}},
                                    {"StartIIS", {}},
                                    {"StopIIS", {}},
                                    {"RestartIIS", {}},
                                    {"StartDns", {}},
                                    {"StopDns", {}},
                                    {"StartServU", {}},
                                    {"StopServU", {}},
                                    {"StartiMail", {}},
                                    {"StopiMail", {}},
                                    {"StartWinWebMail", {}},
                                    {"StopWinWebMail", {}},
                                    {"StartMSSQLServer", {}},
                                    {"StopMSSQLServer", {}},
                                    {"StartMySQLServer", {}},
                                    {"StopMySQLServer", {}},
                                    {"GetCPU", {}},
                                    {"GetMemory", {}},
                                    {"GetVirtualMemory", {}},
                                    {"GetPageFile", {}},
                                    {"GetDrive", {}},
                                    {"ListProcess", {}},
                                    {"EndProcess", {"ProcessID"}},
                                    {"ListService", {}},
                                    {"StartService", {"ServiceName"}},
                                    {"StopService", {"ServiceName"}},
                                    {"ClearLog", {}},
                                    {"ListRemoteUser", {}},
                                    {"ListUser", {}},
                                }};
  return table;
}

}  // namespace quorvale::component
