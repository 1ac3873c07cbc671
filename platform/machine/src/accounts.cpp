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

std::string CheckUser(const Record& r) {
  if (r[0].empty()) return "has an account without a name";
  if (!IsDecimal(r[3], 10) || std::stoull(r[3]) > 0xFFFFFFFFull)
    return "has flags of " + r[0] + " that are no number";
  return "";
}

std::string CheckGroup(const Record& r) { return r[0].empty() ? "has a group without a name" : ""; }

constexpr std::size_t kUserFields = 5, kGroupFields = 3;

UserAccount UserOf(const Record& r) {
  return {r[0], r[1], r[2], static_cast<std::uint32_t>(std::stoul(r[3])), r[4]};
}

LocalGroup GroupOf(const Record& r) { return {r[0], r[1], Split(r[2])}; }

}  // namespace

std::vector<UserAccount> ParseAccounts(const std::string& text, const std::filesystem::path& file) {
  std::vector<UserAccount> out;
  for (const auto& r : ParseRecordText(text, file, kUserFields, CheckUser)) out.push_back(UserOf(r));
  return out;
}

std::vector<LocalGroup> ParseGroups(const std::string& text, const std::filesystem::path& file) {
  std::vector<LocalGroup> out;
  for (const auto& r : ParseRecordText(text, file, kGroupFields, CheckGroup)) out.push_back(GroupOf(r));
  return out;
}

LocalAccounts::LocalAccounts(const Machine& machine) : LocalAccounts(machine.Folder()) {}

LocalAccounts::LocalAccounts(const std::filesystem::path& folder)
    : users_(folder / "accounts.txt", kUserFields, "name\tfull name\tdescription\tflags\tpassword",
             CheckUser),
      groups_(folder / "groups.txt", kGroupFields, "name\tdescription\tmembers", CheckGroup) {}

std::vector<UserAccount> LocalAccounts::Users() const {
  std::vector<UserAccount> out;
  for (const auto& r : users_.Load()) out.push_back(UserOf(r));
  return out;
}

std::vector<LocalGroup> LocalAccounts::Groups() const {
  std::vector<LocalGroup> out;
  for (const auto& r : groups_.Load()) out.push_back(GroupOf(r));
  return out;
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

std::uint32_t LocalAccounts::CreateUser(const UserAccount& user) const {
  if (!ValidName(user.name)) return NERR_BadUsername;
  std::uint32_t error = 0;
  users_.Update([&](std::vector<Record>& records) {
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
  users_.Update([&](std::vector<Record>& records) {
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
  users_.Update([&](std::vector<Record>& records) {
    auto it =
        std::find_if(records.begin(), records.end(), [&](const Record& r) { return NamesEqual(r[0], name); });
    if (it == records.end()) return false;
    // Memberships go first: an account left in a group after a failure
    // would name nobody, an account without its memberships is still whole.
    groups_.Update([&](std::vector<Record>& groups) {
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
  groups_.Update([&](std::vector<Record>& groups) {
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
  groups_.Update([&](std::vector<Record>& groups) {
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

void CreateInitialAccounts(const std::filesystem::path& folder, const std::string& computer, bool iis) {
  LocalAccounts accounts(folder);
  accounts.users_.Update([&](std::vector<Record>& r) {
    r = InitialUsers(computer, iis);
    return true;
  });
  accounts.groups_.Update([&](std::vector<Record>& r) {
    r = InitialGroups(computer, iis);
    return true;
  });
}

}  // namespace quorvale
