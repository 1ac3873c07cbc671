// The machine's local accounts and groups, as the WinNT provider and the
// net commands see them: accounts.txt (NAME, FULL NAME, DESCRIPTION, FLAGS,
// PASSWORD) and groups.txt (NAME, DESCRIPTION, MEMBERS joined by ",", which
// no account name may hold). Names are compared without case.
//
// A new machine has the accounts of a fresh Windows: Administrator, Guest
// and, with IIS, IUSR_<computer> and IWAM_<computer>; the groups
// Administrators, Guests and Users.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "quorvale/machine/state_file.h"

namespace quorvale {

class Machine;

// Network-management errors as Windows numbers them.
inline constexpr std::uint32_t ERROR_MEMBER_IN_ALIAS = 1378;
inline constexpr std::uint32_t ERROR_NO_SUCH_MEMBER = 1387;
inline constexpr std::uint32_t NERR_GroupNotFound = 2220;
inline constexpr std::uint32_t NERR_UserNotFound = 2221;
inline constexpr std::uint32_t NERR_UserExists = 2224;
inline constexpr std::uint32_t NERR_BadUsername = 2202;

struct UserAccount {
  std::string name, full_name, description;
  std::uint32_t flags = 0x201;  // UF_SCRIPT | UF_NORMAL_ACCOUNT
  std::string password;
  bool operator==(const UserAccount&) const = default;
};

struct LocalGroup {
  std::string name, description;
  std::vector<std::string> members;
};

// accounts.txt and groups.txt as text, or MachineStateError naming file.
std::vector<UserAccount> ParseAccounts(const std::string& text, const std::filesystem::path& file);
std::vector<LocalGroup> ParseGroups(const std::string& text, const std::filesystem::path& file);

class LocalAccounts {
 public:
  explicit LocalAccounts(const Machine& machine);
  explicit LocalAccounts(const std::filesystem::path& machine_folder);

  std::vector<UserAccount> Users() const;
  std::optional<UserAccount> FindUser(const std::string& name) const;
  std::vector<LocalGroup> Groups() const;
  std::optional<LocalGroup> FindGroup(const std::string& name) const;

  // Each returns 0 or the Windows error and changes nothing on an error.
  std::uint32_t CreateUser(const UserAccount& user) const;
  // Replaces the stored account of that name.
  std::uint32_t UpdateUser(const UserAccount& user) const;
  // Removes the account and its group memberships.
  std::uint32_t DeleteUser(const std::string& name) const;
  std::uint32_t AddMember(const std::string& group, const std::string& user) const;
  std::uint32_t RemoveMember(const std::string& group, const std::string& user) const;

 private:
  friend void CreateInitialAccounts(const std::filesystem::path&, const std::string&, bool);
  RecordFile users_, groups_;
};

// Writes the accounts and groups of a fresh Windows.
void CreateInitialAccounts(const std::filesystem::path& machine_folder, const std::string& computer,
                           bool iis);

}  // namespace quorvale
