// The methods of Mail in declaration order; each parameter name is also
// its query key.
#include "quorvale/component/classes.h"

namespace quorvale::component {

const ClassTable& MailTable() {
  static const ClassTable table{"Mail",
                                "{250EF537-57D7-43DC-BDC6-ACA2E8FECAC8}",
                                "{3A85EC25-0D05-4320-9C4A-4CD8A886B78C}",
                                Selector::kMailType,
                                {
                                    {"GetMailServer", {}},
                                    {"CreateMail", {"Domain", "MaxUser", "MaxSpace"}},
                                    {"DeleteMail", {"Domain"}},
                                    {"SetMailMaxUser", {"Domain", "MaxUser"}},
                                    {"GetMailMaxUser", {"Domain"}},
                                    {"SetMailMaxSpace", {"Domain", "MaxSpace"}},
                                    {"GetMailMaxSpace", {"Domain"}},
                                    {"GetMailUser", {"Domain"}},
                                    {"GetMailUserCount", {"Domain"}},
                                    {"GetMailUserSpace", {"Domain"}},
                                    {"GetMailUserA", {"Domain"}},
                                    {"GetMailMaxSpaceA", {"Domain"}},
                                    {"CreateMailUser", {"Domain", "User", "PassWord", "MaxSpace"}},
                                    {"DeleteMailUser", {"User"}},
                                    {"ModifyMailPassWord", {"User", "PassWord"}},
                                    {"ModifyMailUserMaxSpace", {"User", "MaxSpace"}},
                                    {"GetMailUserMaxSpace", {"User"}},
                                    {"ModifyMailUserState", {"User", "State"}},
                                    {"GetMailUserState", {"User"}},
                                    {"IsMailUser", {"User"}},
                                    {"IsMailDomain", {"Domain"}},
                                }};
  return table;
}

}  // namespace quorvale::component
