// The metabase properties the IIS provider serves, with their types: how a
// value set through automation is kept as text in the metabase and how it
// comes back. A flag is one bit of a number property (AccessRead of
// AccessFlags). Names the schema does not know are no members of a key.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "quorvale/core/variant.h"

namespace quorvale {

enum class MbType { kString, kNumber, kBoolean, kList, kFlag };

// Which keys carry a property.
enum MbWhere : unsigned { kOnService = 1, kOnServer = 2, kOnDirectory = 4, kOnAll = 7 };

struct MbProperty {
  const char* name;
  MbType type;
  unsigned where;
  const char* flags_of = nullptr;  // kFlag: the number property it is a bit of
  std::uint32_t bit = 0;
};

// Every property the provider serves, in the order a key lists them.
const std::vector<MbProperty>& MbSchema();
const MbProperty* FindMbProperty(const std::string& name);
// The kOn* of a key class; 0 for classes without properties of their own.
unsigned WhereOf(const std::string& key_type);

// The automation value of stored text (kFlag: text of its number).
Variant MbValue(const MbProperty& p, const std::string* text);
// The text a value is stored as; raises 13 when it cannot be one.
std::string MbText(const MbProperty& p, const Variant& value);

}  // namespace quorvale
