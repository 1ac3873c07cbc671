// The one description of a management class: its methods in declaration
// order, each with its parameters (whose names are also the query keys).
// The dispatch table, DISPIDs and type information all come from it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "quorvale/com/unknown.h"

namespace quorvale::component {

inline constexpr DISPID kFirstDispid = 0x60030000;

struct MethodEntry {
  std::string name;
  // The method's own parameters, after the agent address (and the type
  // selector of Mail and SQL).
  std::vector<std::string> params;
  // SQL: the command word is prefix, the caller's SQLType text, suffix; a
  // fixed command word instead means only "MSSQL" is accepted.
  std::string prefix = {}, suffix = {}, fixed_command = {};
};

// The fourth parameter of Mail and SQL, which chooses the mail server or the
// database kind; the other classes have none.
enum class Selector { kNone, kMailType, kSQLType };

struct ClassTable {
  std::string name;  // "Host"
  const char* clsid;
  const char* iid;
  Selector selector;
  std::vector<MethodEntry> methods;
};

// The selector's parameter name: "MailType", "SQLType"; nothing for kNone.
const char* SelectorName(Selector selector);

// ServerIP, ServerPort, ServerPassWord, the selector if any, then the
// method's own parameters: the full parameter list as declared.
std::vector<std::string> DeclaredParams(const ClassTable& cls, const MethodEntry& method);

// "Key1=" v1 "&Key2=" v2 ...; nothing when a value has no text form.
std::optional<std::string> QueryText(const std::vector<std::string>& keys,
                                     const std::vector<const Variant*>& values);

}  // namespace quorvale::component
