// "winmgmts:": WMI's root\cimv2 of this machine with the class
// Win32_Service over the machine's services. The name may carry a security
// setting ("{impersonationLevel=impersonate}!") and the machine ("\\." or
// its name) with the namespace root\cimv2.
#include "provider_classes.h"
#include "quorvale/core/errors.h"
#include "quorvale/core/text.h"
#include "quorvale/machine/machine.h"

namespace quorvale {

namespace {

// Return values of Win32_Service's methods.
constexpr std::int32_t kSuccess = 0, kCannotAcceptControl = 5, kAlreadyRunning = 10, kServiceDisabled = 14;

std::string Capitalized(const std::string& s) {
  std::string out = s;
  if (!out.empty()) out[0] = UpperChar(out[0]);
  return out;
}

class Service final : public DynamicDispatch {
 public:
  explicit Service(ServiceRecord s) : s_(std::move(s)) {
    Property("Name", [this] { return Variant(s_.name); });
    Property("DisplayName", [this] { return Variant(s_.display_name); });
    Property("Caption", [this] { return Variant(s_.display_name); });
    Property("PathName", [this] { return Variant(s_.binary_path); });
    Property("State", [this] { return Variant(Capitalized(Fresh().state)); });
    Property("Started", [this] { return Variant(Fresh().state == "running"); });
    Property("StartMode", [this] {
      const std::string& t = Fresh().start_type;
      return Variant(t == "demand" ? std::string("Manual") : Capitalized(t));
    });
    // The service stops or starts at once; the call does not wait for it.
    Method("StopService", [this](const Args&) {
      ServiceRecord now = Fresh();
      if (now.state != "running") return Variant(kCannotAcceptControl);
      now.state = "stopped";
      CurrentMachine()->SetService(now);
      s_ = now;
      return Variant(kSuccess);
    });
    Method("StartService", [this](const Args&) {
      ServiceRecord now = Fresh();
      if (now.state == "running") return Variant(kAlreadyRunning);
      if (now.start_type == "disabled") return Variant(kServiceDisabled);
      now.state = "running";
      CurrentMachine()->SetService(now);
      s_ = now;
      return Variant(kSuccess);
    });
  }

 private:
  const ServiceRecord& Fresh() {
    auto now = CurrentMachine()->FindService(s_.name);
    if (!now) Raise(Error::kWmiNotFound, "Win32_Service.Name=\"" + s_.name + "\"");
    s_ = *now;
    return s_;
  }
  ServiceRecord s_;
};

class ObjectSet final : public DynamicDispatch {
 public:
  explicit ObjectSet(std::vector<ServiceRecord> services) : services_(std::move(services)) {
    Property("Count", [this] { return Variant(static_cast<std::int32_t>(services_.size())); });
    Items([this] {
      Variant::Array out;
      for (const auto& s : services_) out.push_back(NewObject(new Service(s)));
      return out;
    });
  }

 private:
  std::vector<ServiceRecord> services_;
};

std::vector<ServiceRecord> InstancesOf(const std::string& cls) {
  if (!NamesEqual(cls, "Win32_Service")) Raise(Error::kWmiInvalidClass, cls);
  return CurrentMachine()->Services();
}

// The words of a WQL query; a quoted text is one word, with its quotes.
std::vector<std::string> Words(const std::string& q) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < q.size();) {
    const char c = q[i];
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
    } else if (c == '\'' || c == '"') {
      auto end = q.find(c, i + 1);
      if (end == std::string::npos) Raise(Error::kWmiInvalidQuery);
      out.push_back(q.substr(i, end - i + 1));
      i = end + 1;
    } else if (c == '=' || c == '*') {
      out.emplace_back(1, c);
      ++i;
    } else {
      auto end = q.find_first_of(" \t\r\n='\"*", i);
      if (end == std::string::npos) end = q.size();
      out.push_back(q.substr(i, end - i));
      i = end;
    }
  }
  return out;
}

// SELECT * FROM class [WHERE property = 'text'].
std::vector<ServiceRecord> Query(const std::string& query) {
  auto w = Words(query);
  if (w.size() < 4 || !NamesEqual(w[0], "SELECT") || w[1] != "*" || !NamesEqual(w[2], "FROM"))
    Raise(Error::kWmiInvalidQuery);
  auto all = InstancesOf(w[3]);
  if (w.size() == 4) return all;
  if (w.size() != 8 || !NamesEqual(w[4], "WHERE") || w[6] != "=" || w[7].size() < 2 ||
      (w[7][0] != '\'' && w[7][0] != '"'))
    Raise(Error::kWmiInvalidQuery);
  const std::string value = w[7].substr(1, w[7].size() - 2);
  std::vector<ServiceRecord> out;
  for (auto& s : all) {
    const std::string* field = NamesEqual(w[5], "Name")          ? &s.name
                               : NamesEqual(w[5], "DisplayName") ? &s.display_name
                                                                 : nullptr;
    if (!field) Raise(Error::kWmiInvalidQuery);
    if (NamesEqual(*field, value)) out.push_back(s);
  }
  return out;
}

class Services final : public DynamicDispatch {
 public:
  Services() {
    Method("InstancesOf",
           [](const Args& a) { return NewObject(new ObjectSet(InstancesOf(Text(Arg(a, 0))))); });
    Method("ExecQuery", [](const Args& a) { return NewObject(new ObjectSet(Query(Text(Arg(a, 0))))); });
  }
};

class WmiNamespace final : public NamespaceObject {
  Variant Bind(const std::string& name) override {
    std::string rest = name.substr(name.find(':') + 1);
    if (!rest.empty() && rest[0] == '{') {
      auto end = rest.find('}');
      if (end == std::string::npos) Raise(Error::kWmiInvalidNamespace);
      rest = rest.substr(end + 1);
      if (!rest.empty() && rest[0] == '!') rest = rest.substr(1);
    }
    for (char& c : rest)
      if (c == '/') c = '\\';
    std::string path = "root\\cimv2";
    if (rest.rfind("\\\\", 0) == 0) {
      auto slash = rest.find('\\', 2);
      const std::string host = rest.substr(2, slash == std::string::npos ? std::string::npos : slash - 2);
      if (host != "." && !NamesEqual(host, "localhost") &&
          !NamesEqual(host, CurrentMachine()->Info().computer_name))
        Raise(Error::kSystemRpcUnavailable);
      rest = slash == std::string::npos ? std::string() : rest.substr(slash + 1);
    }
    if (!rest.empty()) path = rest;
    if (!NamesEqual(path, "root\\cimv2")) Raise(Error::kWmiInvalidNamespace);
    return NewObject(new Services);
  }
};

}  // namespace

IDispatch* NewWmiNamespace() { return new WmiNamespace; }

}  // namespace quorvale
