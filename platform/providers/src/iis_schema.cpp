#include "iis_schema.h"

#include "quorvale/core/err.h"
#include "quorvale/core/errors.h"
#include "quorvale/machine/machine.h"

namespace quorvale {

namespace {

constexpr unsigned kSite = kOnServer, kDir = kOnDirectory, kAll = kOnAll;

const MbProperty kSchema[] = {
    {"ServerBindings", MbType::kList, kSite},
    {"SecureBindings", MbType::kList, kSite},
    {"ServerComment", MbType::kString, kSite},
    {"ServerState", MbType::kNumber, kSite},
    {"ServerAutoStart", MbType::kBoolean, kSite},
    {"MaxConnections", MbType::kNumber, kAll},
    {"AnonymousUserName", MbType::kString, kAll},
    {"AnonymousUserPass", MbType::kString, kAll},
    {"AuthFlags", MbType::kNumber, kAll},
    {"AuthAnonymous", MbType::kFlag, kAll, "AuthFlags", 0x1},
    {"AuthBasic", MbType::kFlag, kAll, "AuthFlags", 0x2},
    {"AuthNTLM", MbType::kFlag, kAll, "AuthFlags", 0x4},
    {"FrontPageWeb", MbType::kBoolean, kAll},
    {"EnableDefaultDoc", MbType::kBoolean, kAll},
    {"DefaultDoc", MbType::kString, kAll},
    {"AspEnableParentPaths", MbType::kBoolean, kAll},
    {"ScriptMaps", MbType::kList, kAll},
    {"DontLog", MbType::kBoolean, kAll},
    {"AccessFlags", MbType::kNumber, kAll},
    {"AccessRead", MbType::kFlag, kAll, "AccessFlags", 0x1},
    {"AccessWrite", MbType::kFlag, kAll, "AccessFlags", 0x2},
    {"AccessExecute", MbType::kFlag, kAll, "AccessFlags", 0x4},
    {"AccessSource", MbType::kFlag, kAll, "AccessFlags", 0x10},
    {"AccessScript", MbType::kFlag, kAll, "AccessFlags", 0x200},
    {"Path", MbType::kString, kDir},
    {"AppRoot", MbType::kString, kDir},
    {"AppIsolated", MbType::kNumber, kDir},
    {"AppFriendlyName", MbType::kString, kDir},
    {"AppPoolId", MbType::kString, kAll},
};

long NumberOf(const std::string& text) {
  try {
    return std::stol(text);
  } catch (const std::exception&) {
    return 0;
  }
}

}  // namespace

const MbProperty* FindMbProperty(const std::string& name) {
  for (const auto& p : kSchema)
    if (NamesEqual(p.name, name)) return &p;
  return nullptr;
}

unsigned WhereOf(const std::string& key_type) {
  if (NamesEqual(key_type, "IIsWebService")) return kOnService;
  if (NamesEqual(key_type, "IIsWebServer")) return kOnServer;
  if (NamesEqual(key_type, "IIsWebVirtualDir") || NamesEqual(key_type, "IIsWebDirectory"))
    return kOnDirectory;
  return 0;
}

Variant MbValue(const MbProperty& p, const std::string* text) {
  const std::string t = text ? *text : std::string();
  switch (p.type) {
    case MbType::kString: return Variant(t);
    case MbType::kNumber: return Variant(static_cast<std::int32_t>(NumberOf(t)));
    case MbType::kBoolean: return Variant(NamesEqual(t, "TRUE") || t == "1");
    case MbType::kFlag: return Variant((static_cast<std::uint32_t>(NumberOf(t)) & p.bit) != 0);
    case MbType::kList: break;
  }
  Variant::Array items;
  std::size_t start = 0;
  while (text && start <= t.size() && !t.empty()) {
    auto nl = t.find('\n', start);
    if (nl == std::string::npos) nl = t.size();
    items.emplace_back(t.substr(start, nl - start));
    start = nl + 1;
  }
  return Variant(std::move(items));
}

std::string MbText(const MbProperty& p, const Variant& value) {
  const auto mismatch = [&]() -> std::string { Raise(Error::kTypeMismatch, p.name); };
  switch (p.type) {
    case MbType::kString: {
      auto t = value.TextForm();
      return t ? *t : mismatch();
    }
    case MbType::kNumber: {
      auto n = value.AsNumber();
      return n ? std::to_string(static_cast<long>(*n)) : mismatch();
    }
    case MbType::kBoolean:
    case MbType::kFlag: {
      auto b = value.AsBool();
      return b ? (*b ? "TRUE" : "FALSE") : mismatch();
    }
    case MbType::kList: break;
  }
  const Variant::Array* items = value.AsArray();
  if (!items) {
    // A single text stands for a list of one.
    auto t = value.TextForm();
    if (!t || t->find('\n') != std::string::npos) return mismatch();
    return *t;
  }
  std::string out;
  for (std::size_t i = 0; i < items->size(); ++i) {
    auto t = (*items)[i].TextForm();
    if (!t || t->find('\n') != std::string::npos) return mismatch();
    out += (i ? "\n" : "") + *t;
  }
  return out;
}

}  // namespace quorvale
