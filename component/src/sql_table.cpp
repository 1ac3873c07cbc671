// The methods of SQL in declaration order; each parameter name is also
// its query key.
#include "quorvale/component/classes.h"

namespace quorvale::component {

const ClassTable& SQLTable() {
  static const ClassTable table{
      "SQL",
      "{CD32DCAD-135D-4BB5-874B-B289822B5696}",
      "{9F253AC7-AD40-420F-AA98-BE17D5E56E23}",
      Selector::kSQLType,
      {
          {"GetSQLServer", {}, "Get", "Server"},
          {"CreateSQL", {"DataBase", "PassWord", "DataDirectory", "MaxSpace"}, "Create", ""},
          {"DeleteSQL", {"DataBase"}, "Delete", ""},
          {"ModifySQLState", {"DataBase", "State"}, "Modify", "State"},
          {"GetSQLState", {"DataBase"}, "Get", "State"},
          {"ModifySQLPassWord", {"DataBase", "PassWord"}, "Modify", "PassWord"},
          {"ModifySQLMaxSpace", {"DataBase", "MaxSpace"}, "Modify", "MaxSpace"},
          {"GetSQLMaxSpace", {"DataBase"}, "Get", "MaxSpace"},
          {"GetSQLSpace", {"DataBase"}, "Get", "Space"},
          {"BackupSQL", {"DataBase", "BackupNumber"}, "Backup", ""},
          {"RestoreSQL", {"DataBase", "BackupNumber"}, "Restore", ""},
          {"ClearSQLLog", {"DataBase"}, "", "", "ClearMSSQLLog"},
      }};
  return table;
}

}  // namespace quorvale::component
