// The check of a box's value at its edges: lengths counted in code page 936
// bytes, what a profile read would drop (blanks at the ends, one pair of
// quotes), the control characters beyond line breaks, and characters the
// code page has or lacks. The pages' tables show every box with the
// hostile values.
#include "quorvale/setup/value_rules.h"

#include <gtest/gtest.h>

namespace quorvale::setup {
namespace {

std::string Repeat(const std::string& text, int times) {
  std::string out;
  while (times-- > 0) out += text;
  return out;
}

TEST(ValueRules, RefusesAtTheEdges) {
  struct Case {
    const char* name;
    const ValueRule& rule;
    std::string value;
    const char* refusal;  // nullptr: taken
  };
  const Case cases[] = {
      {"128 bytes", kUserNameRule, std::string(128, 'a'), nullptr},
      {"129 bytes", kUserNameRule, std::string(129, 'a'),
       "新建立数据库的数据库帐号太长,不能超过128个字符(一个汉字按两个字符计)!"},
      {"128 bytes in 64 characters", kUserNameRule, Repeat("汉", 64), nullptr},
      {"130 bytes in 65 characters", kUserNameRule, Repeat("汉", 65),
       "新建立数据库的数据库帐号太长,不能超过128个字符(一个汉字按两个字符计)!"},
      {"1023 bytes", kMSSQLPassWordRule, Repeat("汉", 511) + "a", nullptr},
      {"1024 bytes", kMSSQLPassWordRule, Repeat("汉", 512),
       "SQL数据库管理密码太长,不能超过1023个字符(一个汉字按两个字符计)!"},
      {"in double quotes", kMSSQLPassWordRule, "\"ab\"", "SQL数据库管理密码不能用一对引号括起来!"},
      {"in single quotes", kMSSQLPassWordRule, "'ab'", "SQL数据库管理密码不能用一对引号括起来!"},
      {"two kinds of quote", kMSSQLPassWordRule, "'ab\"", nullptr},
      {"one quote alone", kMSSQLPassWordRule, "\"", nullptr},
      {"a quote at the end only", kMSSQLPassWordRule, "a\"b\"", nullptr},
      {"a blank first", kMSSQLPassWordRule, " ab", "SQL数据库管理密码的开头和结尾不能是空格!"},
      {"a blank last", kMSSQLPassWordRule, "ab ", "SQL数据库管理密码的开头和结尾不能是空格!"},
      {"a blank inside", kMSSQLPassWordRule, "a b", nullptr},
      {"empty", kMSSQLPassWordRule, "", nullptr},
      {"DEL", kMSSQLPassWordRule, "a\x7F", "SQL数据库管理密码中不能包含换行、制表符等控制字符!"},
      {"unit separator", kMSSQLPassWordRule, "a\x1F", "SQL数据库管理密码中不能包含换行、制表符等控制字符!"},
      {"a C1 control", kMSSQLPassWordRule, "a\xC2\x85",
       "SQL数据库管理密码中的字符“\xC2\x85”不能用简体中文(GBK)编码保存,请换用其他字符!"},
      {"a byte that starts no character", kMSSQLPassWordRule, "a\xFF",
       "SQL数据库管理密码中的字符“\xEF\xBF\xBD”不能用简体中文(GBK)编码保存,请换用其他字符!"},
      {"euro sign and middle dot", kMSSQLPassWordRule, "€·", nullptr},
      {"a folder within its room", kWinWebMailPathRule, "C:\\" + std::string(239, 'a'), nullptr},
      {"a folder past it", kWinWebMailPathRule, "C:\\" + std::string(240, 'a'),
       "WinWebMail安装路径太长!安装到其中的文件的路径不能超过259个字符(一个汉字按两个字符计),"
       "所以它最多可以有242个字符,请选择较短的路径!"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto refusal = RefusalOf(c.value, c.rule);
    if (c.refusal) {
      ASSERT_TRUE(refusal);
      EXPECT_EQ(*refusal, c.refusal);
    } else {
      EXPECT_FALSE(refusal) << *refusal;
    }
  }
}

}  // namespace
}  // namespace quorvale::setup
