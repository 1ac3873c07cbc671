#include "quorvale/machine/accounts.h"

#include <algorithm>

#include "quorvale/machine/machine.h"

namespace quorvale {

namespace {

std::vector<Record> InitialUsers(const std::string& computer, bool iis) {
  std::vector<Record> r = {
      {"Administrator", "", "管理计算机(域)的内置帐户", "66049", ""},
      {"Guest", "", "供来宾访问计算机或访问域的内置帐户", "66083", ""},
  };
  if (iis) {
    r.push_back(
        {"IUSR_" + computer, "Internet 来宾帐户", "匿名访问 Internet 信息服务的内置帐户", "66113", ""});
    r.push_back({"IWAM_" + computer, "启动 IIS 进程帐户",
                 "用于启动进程外应用程序的 Internet 信息服务的内置帐户", "66113", ""});
  }
  return r;
}

std::vector<Record> InitialGroups(const std::string& computer, bool iis) {
  return {
      {"Administrators", "管理员对计算机/域有不受限制的完全访问权", "Administrator"},
      {"Guests", "按默认值，来宾跟用户组的成员有同等访问权，但来宾帐户的限制更多",
       iis ? "Guest,IUSR_" + computer + ",IWAM_" + computer : std::string("Guest")},
      {"Users", "防止用户进行有意或无意的系统范围的更改，但是可以运行大部分应用程序", ""},
  };
}

std::vector<std::string> Split(const std::string& members) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start < members.size()) {
    auto comma = members.find(',', start);
    if (comma == std::string::npos) comma = members.size();
    if (comma > start) out.push_back(members.substr(start, comma - start));
    start = comma + 1;
  }
  return out;
}

std::string Join(const std::vector<std::string>& members) {
  std::string out;
  for (const auto& m : members) out += (out.empty() ? "" : ",") + m;
  return out;
}

Record RecordOf(const UserAccount& u) {
  return {u.name, u.full_name, u.description, std::to_string(u.flags), u.password};
}

// Characters Windows refuses in an account name; "," also keeps the
// member lists readable.
bool ValidName(const std::string& name) {
  if (name.empty() || name.size() > 20 || name.find_first_of("\"/\\[]:;|=,+*?<>@") != std::string::npos)
    return false;
  return name.find_first_not_of(". ") != std::string::npos;
}

}  // namespace

LocalAccounts::LocalAccounts(const Machine& machine)
    : computer_(machine.Info().computer_name),
      iis_(machine.Info().iis),
      users_(machine.Folder() / "accounts.txt", 5, "name\tfull name\tdescription\tflags\tpassword"),
      groups_(machine.Folder() / "groups.txt", 3, "name\tdescription\tmembers") {}

std::vector<UserAccount> LocalAccounts::UsersOf(const std::vector<Record>& records) const {
  std::vector<UserAccount> out;
  for (const auto& r : records) {
    std::uint32_t flags = 0;
    try {
      flags = static_cast<std::uint32_t>(std::stoul(r[3]));
    } catch (const std::exception&) {
      throw MachineStateError(users_.Path(), "the flags of " + r[0] + " are no number");
    }
    out.push_back({r[0], r[1], r[2], flags, r[4]});
  }
  return out;
}

std::vector<LocalGroup> LocalAccounts::GroupsOf(const std::vector<Record>& records) const {
  std::vector<LocalGroup> out;
  for (const auto& r : records) out.push_back({r[0], r[1], Split(r[2])});
  return out;
}

std::vector<UserAccount> LocalAccounts::Users() const {
  if (!std::filesystem::exists(users_.Path())) return UsersOf(InitialUsers(computer_, iis_));
  return UsersOf(users_.Load());
}

std::vector<LocalGroup> LocalAccounts::Groups() const {
  if (!std::filesystem::exists(groups_.Path())) return GroupsOf(InitialGroups(computer_, iis_));
  return GroupsOf(groups_.Load());
}

std::optional<UserAccount> LocalAccounts::FindUser(const std::string& name) const {
  for (auto& u : Users())
    if (NamesEqual(u.name, name)) return u;
  return std::nullopt;
}

std::optional<LocalGroup> LocalAccounts::FindGroup(const std::string& name) const {
  for (auto& g : Groups())
    if (NamesEqual(g.name, name)) return g;
  return std::nullopt;
}

bool LocalAccounts::UpdateUsers(const std::function<bool(std::vector<Record>&)>& f) const {
  return users_.Update([&](std::vector<Record>& r) {
    if (r.empty() && !std::filesystem::exists(users_.Path())) r = InitialUsers(computer_, iis_);
    return f(r);
  });
}

bool LocalAccounts::UpdateGroups(const std::function<bool(std::vector<Record>&)>& f) const {
  return groups_.Update([&](std::vector<Record>& r) {
    if (r.empty() && !std::filesystem::exists(groups_.Path())) r = InitialGroups(computer_, iis_);
    return f(r);
  });
}

std::uint32_t LocalAccounts::CreateUser(const UserAccount& user) const {
  if (!ValidName(user.name)) return NERR_BadUsername;
  std::uint32_t error = 0;
  UpdateUsers([&](std::vector<Record>& records) {
    for (const auto& r : records)
      if (NamesEqual(r[0], user.name)) {
        error = NERR_UserExists;
        return false;
      }
    // A group of that name stands in the way too.
    for (const auto& g : Groups())
      if (NamesEqual(g.name, user.name)) {
        error = NERR_UserExists;
        return false;
      }
    records.push_back(RecordOf(user));
    return true;
  });
  return error;
}

std::uint32_t LocalAccounts::UpdateUser(const UserAccount& user) const {
  std::uint32_t error = NERR_UserNotFound;
  UpdateUsers([&](std::vector<Record>& records) {
    for (auto& r : records)
      if (NamesEqual(r[0], user.name)) {
        Record updated = RecordOf(user);
        updated[0] = r[0];
        r = updated;
        error = 0;
        return true;
      }
    return false;
  });
  return error;
}

std::uint32_t LocalAccounts::DeleteUser(const std::string& name) const {
  std::uint32_t error = NERR_UserNotFound;
  UpdateUsers([&](std::vector<Record>& records) {
    auto it =
        std::find_if(records.begin(), records.end(), [&](const Record& r) { return NamesEqual(r[0], name); });
    if (it == records.end()) return false;
    // Memberships go first: an account left in a group after a failure
    // would name nobody, an account without its memberships is still whole.
    UpdateGroups([&](std::vector<Record>& groups) {
      bool changed = false;
      for (auto& g : groups) {
        auto members = Split(g[2]);
        auto end =
            std::remove_if(members.begin(), members.end(), [&](auto& m) { return NamesEqual(m, name); });
        if (end == members.end()) continue;
        members.erase(end, members.end());
        g[2] = Join(members);
        changed = true;
      }
      return changed;
    });
    records.erase(it);
    error = 0;
    return true;
  });
  return error;
}

std::uint32_t LocalAccounts::AddMember(const std::string& group, const std::string& user) const {
  auto account = FindUser(user);
  if (!account) return NERR_UserNotFound;
  std::uint32_t error = NERR_GroupNotFound;
  UpdateGroups([&](std::vector<Record>& groups) {
    for (auto& g : groups) {
      if (!NamesEqual(g[0], group)) continue;
      auto members = Split(g[2]);
      for (const auto& m : members)
        if (NamesEqual(m, user)) {
          error = ERROR_MEMBER_IN_ALIAS;
          return false;
        }
      members.push_back(account->name);
      g[2] = Join(members);
      error = 0;
      return true;
    }
    return false;
  });
  return error;
}

std::uint32_t LocalAccounts::RemoveMember(const std::string& group, const std::string& user) const {
  std::uint32_t error = NERR_GroupNotFound;
  UpdateGroups([&](std::vector<Record>& groups) {
    for (auto& g : groups) {
      if (!NamesEqual(g[0], group)) continue;
      auto members = Split(g[2]);
      auto end = std::remove_if(members.begin(), members.end(), [&](auto& m) { return NamesEqual(m, user); });
      if (end == members.end()) {
        error = ERROR_NO_SUCH_MEMBER;
        return false;
      }
      members.erase(end, members.end());
      g[2] = Join(members);
      error = 0;
      return true;
    }
    return false;
  });
  return error;
}

void CreateInitialAccounts(const Machine& machine) {
  LocalAccounts accounts(machine);
  accounts.UpdateUsers([](std::vector<Record>&) { return true; });
  accounts.UpdateGroups([](std::vector<Record>&) { return true; });
}

}  // namespace quorvale
