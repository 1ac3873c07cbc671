// "WinNT://": the computer, its local accounts and groups over the
// machine's accounts.txt and groups.txt. Names follow as
// WinNT://COMPUTER, WinNT://COMPUTER/NAME[,User|,Group] and
// WinNT://WORKGROUP/COMPUTER[/NAME]; the computer is also "localhost" or ".".
#include "provider_classes.h"
#include "quorvale/core/errors.h"
#include "quorvale/machine/accounts.h"
#include "quorvale/machine/machine.h"

namespace quorvale {

namespace {

LocalAccounts Accounts() { return LocalAccounts(*CurrentMachine()); }
std::string Computer() { return CurrentMachine()->Info().computer_name; }
std::string ComputerPath() { return "WinNT://WORKGROUP/" + Computer(); }

[[noreturn]] void RaiseAccountError(std::uint32_t error, const std::string& name) {
  switch (error) {
    case NERR_UserNotFound: Raise(Error::kSystemUserNotFound, name);
    case NERR_UserExists: Raise(Error::kSystemUserExists, name);
    case NERR_GroupNotFound: Raise(Error::kSystemGroupNotFound, name);
    case ERROR_MEMBER_IN_ALIAS: Raise(Error::kSystemMemberInAlias);
    case ERROR_NO_SUCH_MEMBER: Raise(Error::kSystemNoSuchMember);
    case NERR_BadUsername: Raise(Error::kSystemBadUsername, name);
    default: Raise(Error::kAccountNotChanged, name);
  }
}

void Check(std::uint32_t error, const std::string& name) {
  if (error) RaiseAccountError(error, name);
}

class User final : public DynamicDispatch {
 public:
  User(UserAccount account, bool saved) : account_(std::move(account)), saved_(saved) {
    Property("Name", [this] { return Variant(account_.name); });
    Property("Class", [] { return Variant("User"); });
    Property("ADsPath", [this] { return Variant(ComputerPath() + "/" + account_.name); });
    Property("Parent", [] { return Variant(ComputerPath()); });
    Property(
        "FullName", [this] { return Variant(account_.full_name); },
        [this](const Variant& v) { account_.full_name = Text(&v); });
    Property(
        "Description", [this] { return Variant(account_.description); },
        [this](const Variant& v) { account_.description = Text(&v); });
    Property(
        "UserFlags", [this] { return Variant(static_cast<std::int32_t>(account_.flags)); },
        [this](const Variant& v) { account_.flags = static_cast<std::uint32_t>(Number(&v)); });
    Property(
        "AccountDisabled", [this] { return Variant((account_.flags & 0x2) != 0); },
        [this](const Variant& v) {
          account_.flags = Boolean(&v) ? account_.flags | 0x2 : account_.flags & ~0x2u;
        });
    Method("SetInfo", [this](const Args&) {
      auto accounts = Accounts();
      Check(saved_ ? accounts.UpdateUser(account_) : accounts.CreateUser(account_), account_.name);
      saved_ = true;
      return Variant();
    });
    Method("GetInfo", [this](const Args&) {
      auto found = saved_ ? Accounts().FindUser(account_.name) : std::nullopt;
      if (saved_ && !found) RaiseAccountError(NERR_UserNotFound, account_.name);
      if (found) account_ = *found;
      return Variant();
    });
    // The password goes to the account at once; it has to exist for that.
    Method("SetPassword", [this](const Args& a) {
      const std::string password = Text(Arg(a, 0));
      SetPassword(password);
      return Variant();
    });
    Method("ChangePassword", [this](const Args& a) {
      auto stored = Accounts().FindUser(account_.name);
      if (stored && stored->password != Text(Arg(a, 0))) Raise(Error::kSystemBadPassword);
      SetPassword(Text(Arg(a, 1)));
      return Variant();
    });
  }

 private:
  void SetPassword(const std::string& password) {
    if (!saved_) Raise(Error::kAdsObjectUnbound);
    auto accounts = Accounts();
    auto stored = accounts.FindUser(account_.name);
    if (!stored) RaiseAccountError(NERR_UserNotFound, account_.name);
    stored->password = password;
    Check(accounts.UpdateUser(*stored), account_.name);
    account_.password = password;
  }

  UserAccount account_;
  bool saved_;
};

// "WinNT://COMPUTER/NAME" as the account NAME of this machine; raises for
// another machine or a path that is no account's.
std::string MemberName(const std::string& path) {
  const std::string prefix = "WinNT://";
  if (path.size() <= prefix.size() || !NamesEqual(path.substr(0, prefix.size()), prefix))
    Raise(Error::kAdsBadPathname);
  std::string rest = path.substr(prefix.size());
  auto slash = rest.rfind('/');
  if (slash == std::string::npos) Raise(Error::kAdsBadPathname);
  std::string computer = rest.substr(0, slash), name = rest.substr(slash + 1);
  if (auto inner = computer.find('/'); inner != std::string::npos) computer = computer.substr(inner + 1);
  if (!NamesEqual(computer, Computer()) && !NamesEqual(computer, "localhost") && computer != ".")
    Raise(Error::kSystemBadNetPath);
  if (auto comma = name.find(','); comma != std::string::npos) name = name.substr(0, comma);
  return name;
}

class Group final : public DynamicDispatch {
 public:
  explicit Group(LocalGroup group) : group_(std::move(group)) {
    Property("Name", [this] { return Variant(group_.name); });
    Property("Class", [] { return Variant("Group"); });
    Property("ADsPath", [this] { return Variant(ComputerPath() + "/" + group_.name); });
    Property("Parent", [] { return Variant(ComputerPath()); });
    Property("Description", [this] { return Variant(group_.description); });
    Method("Add", [this](const Args& a) {
      const std::string name = MemberName(Text(Arg(a, 0)));
      Check(Accounts().AddMember(group_.name, name), name);
      return Variant();
    });
    Method("Remove", [this](const Args& a) {
      const std::string name = MemberName(Text(Arg(a, 0)));
      Check(Accounts().RemoveMember(group_.name, name), name);
      return Variant();
    });
    Method("IsMember", [this](const Args& a) {
      const std::string name = MemberName(Text(Arg(a, 0)));
      auto g = Accounts().FindGroup(group_.name);
      if (!g) RaiseAccountError(NERR_GroupNotFound, group_.name);
      for (const auto& m : g->members)
        if (NamesEqual(m, name)) return Variant(true);
      return Variant(false);
    });
  }

 private:
  LocalGroup group_;
};

class ComputerObject final : public DynamicDispatch {
 public:
  ComputerObject() {
    Property("Name", [] { return Variant(Computer()); });
    Property("Class", [] { return Variant("Computer"); });
    Property("ADsPath", [] { return Variant(ComputerPath()); });
    Property("Parent", [] { return Variant("WinNT://WORKGROUP"); });
    Method("Create", [](const Args& a) {
      const std::string type = Text(Arg(a, 0)), name = Text(Arg(a, 1));
      if (!NamesEqual(type, "User")) Raise(Error::kAdsUnknownObject, type);
      auto accounts = Accounts();
      if (accounts.FindUser(name) || accounts.FindGroup(name)) RaiseAccountError(NERR_UserExists, name);
      UserAccount account;
      account.name = name;
      return NewObject(new User(account, false));
    });
    Method("Delete", [](const Args& a) {
      const std::string type = Text(Arg(a, 0)), name = Text(Arg(a, 1));
      if (!NamesEqual(type, "User")) Raise(Error::kAdsUnknownObject, type);
      Check(Accounts().DeleteUser(name), name);
      return Variant();
    });
    Items([] {
      Variant::Array out;
      auto accounts = Accounts();
      for (auto& u : accounts.Users()) out.push_back(NewObject(new User(u, true)));
      for (auto& g : accounts.Groups()) out.push_back(NewObject(new Group(g)));
      return out;
    });
  }
};

bool IsThisComputer(const std::string& name) {
  return NamesEqual(name, Computer()) || NamesEqual(name, "localhost") || name == ".";
}

class WinNtNamespace final : public NamespaceObject {
  Variant Bind(const std::string& name) override {
    const std::string prefix = "WinNT://";
    if (name.size() < prefix.size() || !NamesEqual(name.substr(0, prefix.size()), prefix))
      Raise(Error::kAdsBadPathname);
    std::vector<std::string> parts;
    std::string rest = name.substr(prefix.size());
    for (std::size_t start = 0; start <= rest.size();) {
      auto slash = rest.find('/', start);
      if (slash == std::string::npos) slash = rest.size();
      parts.push_back(rest.substr(start, slash - start));
      start = slash + 1;
    }
    if (!parts.empty() && parts.back().empty() && parts.size() > 1) parts.pop_back();  // a "/" at the end
    for (const auto& p : parts)
      if (p.empty() || parts.size() > 3) Raise(Error::kAdsBadPathname);
    // WORKGROUP/COMPUTER[/NAME] names the computer second.
    if (parts.size() == 3 || (parts.size() == 2 && !IsThisComputer(parts[0]) && IsThisComputer(parts[1])))
      parts.erase(parts.begin());
    if (!IsThisComputer(parts[0])) Raise(Error::kSystemBadNetPath);
    if (parts.size() == 1) return NewObject(new ComputerObject);
    std::string account = parts[1], type;
    if (auto comma = account.find(','); comma != std::string::npos) {
      type = account.substr(comma + 1);
      account = account.substr(0, comma);
    }
    auto accounts = Accounts();
    if (type.empty() || NamesEqual(type, "User"))
      if (auto u = accounts.FindUser(account)) return NewObject(new User(*u, true));
    if (type.empty() || NamesEqual(type, "Group"))
      if (auto g = accounts.FindGroup(account)) return NewObject(new Group(*g));
    RaiseAccountError(type.empty() || NamesEqual(type, "User") ? NERR_UserNotFound : NERR_GroupNotFound,
                      account);
  }
};

}  // namespace

IDispatch* NewWinNtNamespace() { return new WinNtNamespace; }

}  // namespace quorvale
