// "IIS://localhost/w3svc": the IIS namespace over the machine's metabase.
// A bound key keeps a cache of its properties; assignments stay in the cache
// until SetInfo writes them all in one change of metabase.xml, so a failing
// call leaves the metabase as it was. Create makes a key that exists only in
// its object until its SetInfo.
#include <set>

#include "iis_schema.h"
#include "provider_classes.h"
#include "quorvale/core/errors.h"
#include "quorvale/machine/machine.h"
#include "quorvale/machine/metabase.h"

namespace quorvale {

namespace {

constexpr std::int32_t kServerStarted = 2, kServerStopped = 4;

using Keys = std::vector<MetabaseKey>;

Keys LoadKeys() {
  auto keys = Metabase(*CurrentMachine()).Load();
  if (!keys) Raise(Error::kCannotCreateObject, "IIS is not installed");
  return *keys;
}

// Changes the metabase; raises as IIS would when the machine has no IIS.
void UpdateKeys(const std::function<void(Keys&)>& change) {
  if (!Metabase(*CurrentMachine()).Update([&](Keys& keys) {
        change(keys);
        return true;
      }))
    Raise(Error::kCannotCreateObject, "IIS is not installed");
}

MetabaseKey* FindKey(Keys& keys, const std::string& location) {
  for (auto& k : keys)
    if (SameLocation(k.location, location)) return &k;
  return nullptr;
}

bool Below(const std::string& location, const std::string& ancestor) {
  return location.size() > ancestor.size() && location[ancestor.size()] == '/' &&
         SameLocation(location.substr(0, ancestor.size()), ancestor);
}

std::string LastName(const std::string& location) { return location.substr(location.rfind('/') + 1); }

// "/LM/W3SVC/1" as "IIS://localhost/W3SVC/1".
std::string AdsPathOf(const std::string& location) { return "IIS://localhost" + location.substr(3); }

bool NameFits(const std::string& name) {
  return !name.empty() && name.find_first_of("/\\") == std::string::npos;
}

class IisKey final : public DynamicDispatch {
 public:
  IisKey(const MetabaseKey& key, bool saved) : key_(key), saved_(saved) {
    Property("Name", [this] { return Variant(LastName(key_.location)); });
    Property("Class", [this] { return Variant(key_.key_type); });
    Property("ADsPath", [this] { return Variant(AdsPathOf(key_.location)); });
    Property("Parent", [this] {
      auto parent = ParentLocation(key_.location);
      return Variant(parent && *parent != "/LM" ? AdsPathOf(*parent) : std::string("IIS://localhost"));
    });
    Property(
        "KeyType", [this] { return Variant(key_.key_type); },
        [this](const Variant& v) {
          key_.key_type = Text(&v);
          dirty_.insert("KeyType");
        });
    Method("SetInfo", [this](const Args&) { return SetInfo(); });
    Method("GetInfo", [this](const Args&) { return GetInfo(); });
    Method("Get", [this](const Args& a) { return Get(*Schema(Text(Arg(a, 0)))); });
    Method("Put", [this](const Args& a) {
      Put(*Schema(Text(Arg(a, 0))), *Arg(a, 1));
      return Variant();
    });
    Method("Create", [this](const Args& a) { return Create(Text(Arg(a, 0)), Text(Arg(a, 1))); });
    Method("Delete", [this](const Args& a) { return Delete(Text(Arg(a, 0)), Text(Arg(a, 1))); });
    Method("GetObject", [this](const Args& a) { return Child(Text(Arg(a, 0)), Text(Arg(a, 1))); });
    Items([this] { return Children(); });
    const unsigned where = WhereOf(key_.key_type);
    if (where == kOnServer) {
      Method("Start", [this](const Args&) { return SetState(kServerStarted); });
      Method("Stop", [this](const Args&) { return SetState(kServerStopped); });
    }
    if (where == kOnDirectory) {
      Method("AppCreate", [this](const Args& a) { return AppCreate(Boolean(Arg(a, 0)) ? 0 : 1); });
      Method("AppCreate2", [this](const Args& a) { return AppCreate(Number(Arg(a, 0))); });
      Method("AppDelete", [this](const Args&) { return AppCreate(-1); });
    }
    for (const char* name : {"ServerBindings",
                             "SecureBindings",
                             "ServerComment",
                             "ServerState",
                             "ServerAutoStart",
                             "MaxConnections",
                             "AnonymousUserName",
                             "AnonymousUserPass",
                             "AuthFlags",
                             "AuthAnonymous",
                             "AuthBasic",
                             "AuthNTLM",
                             "FrontPageWeb",
                             "EnableDefaultDoc",
                             "DefaultDoc",
                             "AspEnableParentPaths",
                             "ScriptMaps",
                             "DontLog",
                             "AccessFlags",
                             "AccessRead",
                             "AccessWrite",
                             "AccessExecute",
                             "AccessSource",
                             "AccessScript",
                             "Path",
                             "AppRoot",
                             "AppIsolated",
                             "AppFriendlyName",
                             "AppPoolId"}) {
      const MbProperty* p = FindMbProperty(name);
      if (!(p->where & where)) continue;
      Property(
          p->name, [this, p] { return Get(*p); }, [this, p](const Variant& v) { Put(*p, v); });
    }
  }

 private:
  const MbProperty* Schema(const std::string& name) const {
    const MbProperty* p = FindMbProperty(name);
    if (!p || !(p->where & WhereOf(key_.key_type))) Raise(Error::kAdsPropertyNotFound, name);
    return p;
  }

  // The key's own value, else the nearest ancestor's, as IIS inherits.
  Variant Get(const MbProperty& p) const {
    const char* stored_name = p.type == MbType::kFlag ? p.flags_of : p.name;
    if (const std::string* own = key_.Find(stored_name)) return MbValue(p, own);
    Keys keys = LoadKeys();
    for (auto at = ParentLocation(key_.location); at; at = ParentLocation(*at))
      if (const MetabaseKey* k = FindKey(keys, *at))
        if (const std::string* v = k->Find(stored_name)) return MbValue(p, v);
    return MbValue(p, nullptr);
  }

  void Put(const MbProperty& p, const Variant& value) {
    if (p.type != MbType::kFlag) {
      key_.Set(p.name, MbText(p, value));
      dirty_.insert(p.name);
      return;
    }
    const MbProperty& flags = *FindMbProperty(p.flags_of);
    std::string text = MbText(p, value);
    auto current = static_cast<std::uint32_t>(*Get(flags).AsNumber());
    current = text == "TRUE" ? current | p.bit : current & ~p.bit;
    key_.Set(flags.name, std::to_string(current));
    dirty_.insert(flags.name);
  }

  Variant SetInfo() {
    UpdateKeys([this](Keys& keys) {
      MetabaseKey* stored = FindKey(keys, key_.location);
      if (!saved_) {
        if (stored) Raise(Error::kSystemAlreadyExists);
        auto parent = ParentLocation(key_.location);
        if (!parent || !FindKey(keys, *parent)) Raise(Error::kSystemPathNotFound);
        keys.push_back(key_);
        return;
      }
      if (!stored) Raise(Error::kSystemPathNotFound);
      if (dirty_.count("KeyType")) stored->key_type = key_.key_type;
      for (const auto& [name, value] : key_.properties)
        if (dirty_.count(name)) stored->Set(name, value);
    });
    saved_ = true;
    dirty_.clear();
    return Variant();
  }

  Variant GetInfo() {
    if (!saved_) return Variant();
    Keys keys = LoadKeys();
    MetabaseKey* stored = FindKey(keys, key_.location);
    if (!stored) Raise(Error::kSystemPathNotFound);
    key_ = *stored;
    dirty_.clear();
    return Variant();
  }

  Variant Create(const std::string& key_type, const std::string& name) {
    const unsigned where = WhereOf(key_.key_type), child = WhereOf(key_type);
    const bool fits = (where == kOnService && child == kOnServer) ||
                      ((where == kOnServer || where == kOnDirectory) && child == kOnDirectory);
    if (!fits) Raise(Error::kAdsSchemaViolation);
    if (!NameFits(name)) Raise(Error::kAdsBadPathname);
    const std::string location = key_.location + "/" + name;
    Keys keys = LoadKeys();
    if (FindKey(keys, location)) Raise(Error::kSystemAlreadyExists);
    // The class as the schema spells it.
    const std::string canonical = child == kOnServer                         ? std::string("IIsWebServer")
                                  : NamesEqual(key_type, "IIsWebVirtualDir") ? std::string("IIsWebVirtualDir")
                                                                             : std::string("IIsWebDirectory");
    return NewObject(new IisKey({location, canonical, {}}, false));
  }

  Variant Delete(const std::string& key_type, const std::string& name) {
    if (!NameFits(name)) Raise(Error::kAdsBadPathname);
    const std::string location = key_.location + "/" + name;
    UpdateKeys([&](Keys& keys) {
      MetabaseKey* k = FindKey(keys, location);
      if (!k || !NamesEqual(k->key_type, key_type)) Raise(Error::kSystemPathNotFound);
      std::erase_if(keys, [&](const MetabaseKey& x) {
        return SameLocation(x.location, location) || Below(x.location, location);
      });
    });
    return Variant();
  }

  Variant Child(const std::string& key_type, const std::string& name) {
    Keys keys = LoadKeys();
    MetabaseKey* k = NameFits(name) ? FindKey(keys, key_.location + "/" + name) : nullptr;
    if (!k || !NamesEqual(k->key_type, key_type)) Raise(Error::kSystemPathNotFound);
    return NewObject(new IisKey(*k, true));
  }

  Variant::Array Children() const {
    Variant::Array out;
    if (!saved_) return out;
    for (const auto& k : LoadKeys())
      if (Below(k.location, key_.location) &&
          k.location.find('/', key_.location.size() + 1) == std::string::npos)
        out.push_back(NewObject(new IisKey(k, true)));
    return out;
  }

  // Sites run only while the web service does.
  Variant SetState(std::int32_t state) {
    if (state == kServerStarted) {
      auto w3svc = CurrentMachine()->FindService("W3SVC");
      if (!w3svc || w3svc->state != "running") Raise(Error::kSystemServiceNotActive);
    }
    UpdateKeys([&](Keys& keys) {
      MetabaseKey* k = FindKey(keys, key_.location);
      if (!k) Raise(Error::kSystemPathNotFound);
      k->Set("ServerState", std::to_string(state));
    });
    key_.Set("ServerState", std::to_string(state));
    return Variant();
  }

  // isolation 0 in process, 1 out of process, 2 pooled; -1 removes the
  // application. Written at once, as IIS writes applications.
  Variant AppCreate(long isolation) {
    if (isolation < -1 || isolation > 2) Raise(Error::kSystemInvalidParameter);
    auto apply = [&](MetabaseKey& k) {
      if (isolation < 0) {
        std::erase_if(k.properties, [](auto& p) {
          return NamesEqual(p.first, "AppRoot") || NamesEqual(p.first, "AppIsolated");
        });
        return;
      }
      k.Set("AppRoot", key_.location);
      k.Set("AppIsolated", std::to_string(isolation));
    };
    UpdateKeys([&](Keys& keys) {
      MetabaseKey* k = saved_ ? FindKey(keys, key_.location) : nullptr;
      if (!k) Raise(Error::kSystemPathNotFound);
      apply(*k);
    });
    apply(key_);
    return Variant();
  }

  MetabaseKey key_;
  bool saved_;
  std::set<std::string> dirty_;
};

class IisNamespace final : public NamespaceObject {
  Variant Bind(const std::string& name) override {
    const std::string prefix = "IIS://";
    if (name.size() < prefix.size() || !NamesEqual(name.substr(0, prefix.size()), prefix))
      Raise(Error::kAdsBadPathname);
    std::string rest = name.substr(prefix.size());
    const auto slash = rest.find('/');
    const std::string host = rest.substr(0, slash);
    const auto machine = CurrentMachine();
    if (!NamesEqual(host, "localhost") && !NamesEqual(host, machine->Info().computer_name) &&
        host != "127.0.0.1")
      Raise(Error::kAdsBadPathname);
    if (slash == std::string::npos || slash + 1 >= rest.size()) Raise(Error::kSystemPathNotFound);
    const std::string path = rest.substr(slash + 1);
    if (path.find("//") != std::string::npos || path.find('\\') != std::string::npos)
      Raise(Error::kAdsBadPathname);
    Keys keys = LoadKeys();
    MetabaseKey* k = FindKey(keys, "/LM/" + path);
    if (!k) Raise(Error::kSystemPathNotFound);
    return NewObject(new IisKey(*k, true));
  }
};

}  // namespace

IDispatch* NewIisNamespace() { return new IisNamespace; }

}  // namespace quorvale
