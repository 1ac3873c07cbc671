// The display names the programs bind, built as they build them from the
// values an Uninstall.ini gives: any text, its lines (cut at line feeds and
// NUL bytes, which no INI value holds) taken as SiteNum, User, the rest of a
// "winmgmts:" name, and a WQL query.
//  - "IIS://localhost/w3svc/" & SiteNum binds a metabase key, whose ADsPath
//    binds it again, or fails as a bad or missing path. A site the setup
//    makes under that number binds so, and the uninstall's removal of it
//    leaves the metabase as it was.
//  - "WinNT://" & computer & "/" & User binds the computer, an account or a
//    group, whose ADsPath binds it again (and an account's or group's
//    Parent the computer), or fails
//    as a bad or missing path, account or group. An account the setup makes
//    of that name binds so, and the uninstall's removal of it through its
//    Parent leaves the accounts as they were.
//  - "winmgmts:" & the third line binds the services of root\cimv2 or fails
//    as a bad namespace or another machine.
//  - The query fails as a bad query or class, or finds no more services
//    than the machine has; "SELECT * FROM Win32_Service WHERE Name = '" &
//    User & "'" finds the services of that name.
#include <algorithm>
#include <initializer_list>

#include "fuzz_support.h"
#include "provider_classes.h"
#include "quorvale/core/errors.h"
#include "quorvale/machine/accounts.h"
#include "quorvale/machine/metabase.h"
#include "quorvale/providers/registration.h"

using namespace quorvale;

namespace {

constexpr const char* kSites = "IIS://localhost/w3svc";

// As GetObject binds a name once the ProgID before its ":" has found the
// class: the namespace object parses the whole name.
ComPtr<IDispatch> Bind(const std::string& name) {
  static const std::pair<const char*, const char*> kNamespaces[] = {
      {"IIS", kIisNamespaceClsid}, {"WinNT", kWinNtNamespaceClsid}, {"winmgmts", kWmiMonikerClsid}};
  const std::string prog_id = name.substr(0, name.find(':'));
  for (const auto& [id, clsid] : kNamespaces) {
    if (!NamesEqual(prog_id, id)) continue;
    ComPtr<IClassFactory> factory;
    ComPtr<IParseDisplayName> parser;
    if (GetProviderClassObject(*Guid::Parse(clsid), IID_IClassFactory, factory.out()) != S_OK ||
        factory->CreateInstance(nullptr, IID_IParseDisplayName, parser.out()) != S_OK)
      fuzz::Broken("a namespace class parses names", id);
    ComPtr<IDispatch> object;
    ExcepInfo excep;
    const HRESULT hr = parser->ParseDisplayName(name, reinterpret_cast<IDispatch**>(object.out()), &excep);
    if (hr != S_OK) throw RaisedError(hr, excep.description);
    return object;
  }
  fuzz::Broken("the names bound are of the three namespaces", name);
}

ComPtr<IDispatch> Object(const Variant& v) {
  IDispatch* d = DispatchOf(v);
  d->AddRef();
  return ComPtr<IDispatch>::Attach(d);
}

std::string Text(IDispatch* object, const char* property) {
  return *GetProperty(object, property).TextForm();
}

// What the statement raised: 0 when it ran; else one of the errors allowed.
bool Runs(const char* promise, std::initializer_list<Error> allowed, const std::function<void()>& statement) {
  Err err;
  if (err.Resume(statement)) return true;
  if (std::none_of(allowed.begin(), allowed.end(), [&](Error e) { return ErrorNumber(e) == err.Number(); }))
    fuzz::Broken(promise, std::to_string(err.Number()) + " " + err.Description());
  return false;
}

// The ADsPath of a bound object binds an object of the same ADsPath.
void BindsAgain(IDispatch* object) {
  const std::string path = Text(object, "ADsPath");
  if (Text(Bind(path).get(), "ADsPath") != path) fuzz::Broken("an object's ADsPath binds it again", path);
}

void Site(Machine& machine, const std::string& number) {
  const std::string name = std::string(kSites) + "/" + number;
  ComPtr<IDispatch> key;
  if (Runs("a site binds or its path is bad or missing", {Error::kAdsBadPathname, Error::kSystemPathNotFound},
           [&] { key = Bind(name); }))
    BindsAgain(key.get());

  // The setup's site of that number, and the uninstall's removal of it.
  const auto before = Metabase(machine).Load();
  ComPtr<IDispatch> site;
  const bool made =
      Runs("a site is made or refused", {Error::kAdsBadPathname, Error::kSystemAlreadyExists}, [&] {
        site = Object(CallMethod(Bind(kSites).get(), "Create", {Variant("IIsWebServer"), Variant(number)}));
        CallMethod(site.get(), "SetInfo");
      });
  if (!made) return;
  Runs("the site made binds by its number", {}, [&] { BindsAgain(Bind(name).get()); });
  Runs("the site made is removed by its number", {}, [&] {
    CallMethod(Bind(kSites).get(), "Delete", {Variant("IIsWebServer"), Variant(number)});
  });
  if (Metabase(machine).Load() != before)
    fuzz::Broken("a site made and removed leaves the metabase as it was");
}

void Account(Machine& machine, const std::string& user) {
  const std::string computer = "WinNT://" + machine.Info().computer_name, name = computer + "/" + user;
  ComPtr<IDispatch> bound;
  if (Runs("an account binds or its path, account or group is bad or missing",
           {Error::kAdsBadPathname, Error::kSystemBadNetPath, Error::kSystemUserNotFound,
            Error::kSystemGroupNotFound},
           [&] { bound = Bind(name); })) {
    BindsAgain(bound.get());
    if (Text(bound.get(), "Class") != "Computer" &&
        Text(Bind(Text(bound.get(), "Parent")).get(), "Class") != "Computer")
      fuzz::Broken("an account's Parent binds the computer");
  }

  // The setup's account of that name, and the uninstall's removal of it.
  LocalAccounts accounts(machine);
  const auto users = accounts.Users();
  ComPtr<IDispatch> made;
  if (!Runs("an account is made or refused", {Error::kSystemUserExists, Error::kSystemBadUsername}, [&] {
        made = Object(CallMethod(Bind(computer).get(), "Create", {Variant("User"), Variant(user)}));
        CallMethod(made.get(), "SetInfo");
      }))
    return;
  Runs("the account made binds by its name and is removed through its Parent", {}, [&] {
    const auto account = Bind(name);
    if (Text(account.get(), "Name") != user) fuzz::Broken("the account made binds by its name", user);
    CallMethod(Bind(Text(account.get(), "Parent")).get(), "Delete",
               {Variant("User"), GetProperty(account.get(), "Name")});
  });
  if (accounts.Users() != users) fuzz::Broken("an account made and removed leaves the accounts as they were");
}

void Services(Machine& machine, const std::string& moniker, const std::string& query,
              const std::string& user) {
  Runs("winmgmts binds root\\cimv2 of this machine",
       {Error::kWmiInvalidNamespace, Error::kSystemRpcUnavailable}, [&] { Bind("winmgmts:" + moniker); });
  const auto services = Bind("winmgmts:\\\\.");
  const auto all = machine.Services();
  const auto count = [&](const std::string& q) {
    return *GetProperty(DispatchOf(CallMethod(services.get(), "ExecQuery", {Variant(q)})), "Count")
                .AsNumber();
  };
  Runs("a query runs or is a bad query or class", {Error::kWmiInvalidQuery, Error::kWmiInvalidClass}, [&] {
    if (count(query) > static_cast<double>(all.size()))
      fuzz::Broken("a query finds the machine's services only");
  });
  if (user.find('\'') != std::string::npos) return;
  const auto named =
      std::count_if(all.begin(), all.end(), [&](const ServiceRecord& s) { return NamesEqual(s.name, user); });
  Runs("a query of a name runs", {}, [&] {
    if (count("SELECT * FROM Win32_Service WHERE Name = '" + user + "'") != static_cast<double>(named))
      fuzz::Broken("a query of a name finds the services of that name", user);
  });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Machine& machine = fuzz::FuzzMachine().machine();
  auto lines = fuzz::Pieces(fuzz::Text(data, size), std::string("\n\0", 2));
  lines.resize(4);
  Site(machine, lines[0]);
  Account(machine, lines[1]);
  Services(machine, lines[2], lines[3], lines[1]);
  return 0;
}
