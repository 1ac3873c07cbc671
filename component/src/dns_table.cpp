// The methods of Dns in declaration order; each parameter name is also
// its query key.
#include "quorvale/component/classes.h"

namespace quorvale::component {

const ClassTable& DnsTable() {
  static const ClassTable table{
      "Dns",
      "{96E1D631-BE9D-495C-9CE5-540A805FF5E3}",
      "{ED809555-B55E-429F-A0BA-1BA9B589A404}",
      Selector::kNone,
      {
          {"GetDnsServer", {}},
          {"IsZone", {"Domain"}},
          {"CreateZone", {"Domain"}},
          {"DeleteZone", {"Domain"}},
          {"ModifyZoneState", {"Domain", "State"}},
          {"GetZoneState", {"Domain"}},
          {"CreateARecord", {"Domain", "Record", "IpAddress", "TTL"}},
          {"ModifyARecord", {"Record", "IpAddress", "TTL"}},
          {"DeleteARecord", {"Record"}},
          {"ListARecord", {"Domain"}},
          {"GetARecord", {"Record"}},
          {"CreateCNAMERecord", {"Domain", "Record", "RecordData", "TTL"}},
          {"ModifyCNAMERecord", {"Record", "RecordData", "TTL"}},
          {"DeleteCNAMERecord", {"Record"}},
          {"ListCNAMERecord", {"Domain"}},
          {"GetCNAMERecord", {"Record"}},
          {"CreateMXRecord", {"Domain", "Record", "MailExchange", "Preference", "TTL"}},
          {"ModifyMXRecord", {"Record", "MailExchange", "Preference", "TTL"}},
          {"DeleteMXRecord", {"Record"}},
          {"ListMXRecord", {"Domain"}},
          {"GetMXRecord", {"Record"}},
          {"CreateURLRecord", {"Domain", "Record", "URL", "Mode"}},
          {"ModifyURLRecord", {"Record", "URL", "Mode"}},
          {"DeleteURLRecord", {"Record"}},
          {"ListURLRecord", {"Domain"}},
          {"GetURLRecord", {"Record"}},
      }};
  return table;
}

}  // namespace quorvale::component
