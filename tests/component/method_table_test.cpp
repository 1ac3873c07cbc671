#include "quorvale/component/method_table.h"

#include <gtest/gtest.h>

namespace quorvale::component {
namespace {

TEST(QueryText, KeysInOrderEmptyValuesKeepTheirKeys) {
  Variant site(std::int32_t{12}), empty, null = Variant::Null(), amp("a&b=c"), arr(Variant::Array{});
  struct Case {
    std::vector<std::string> keys;
    std::vector<const Variant*> values;
    std::optional<std::string> query;
  } cases[] = {
      {{}, {}, ""},
      {{"SiteNum"}, {&site}, "SiteNum=12"},
      {{"SiteNum", "Domain", "Doc"}, {&site, &empty, &null}, "SiteNum=12&Domain=&Doc="},
      {{"FtpUser", "PassWord"}, {&amp, &site}, "FtpUser=a&b=c&PassWord=12"},
      {{"SiteNum", "Domain"}, {&site, &arr}, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(QueryText(c.keys, c.values), c.query);
}

TEST(DeclaredParams, AddressThenSelectorThenOwn) {
  ClassTable mail{"Mail", "", "", Selector::kMailType, {}};
  MethodEntry m{"GetMailUserA", {"Domain", "MailUser"}};
  EXPECT_EQ(DeclaredParams(mail, m), (std::vector<std::string>{"ServerIP", "ServerPort", "ServerPassWord",
                                                               "MailType", "Domain", "MailUser"}));
  ClassTable host{"Host", "", "", Selector::kNone, {}};
  EXPECT_EQ(DeclaredParams(host, MethodEntry{"Hello", {}}).size(), 3u);
  ClassTable sql{"SQL", "", "", Selector::kSQLType, {}};
  EXPECT_EQ(DeclaredParams(sql, MethodEntry{"GetSQLServer", {}}),
            (std::vector<std::string>{"ServerIP", "ServerPort", "ServerPassWord", "SQLType"}));
}

}  // namespace
}  // namespace quorvale::component
