#include "quorvale/core/variant.h"

#include <gtest/gtest.h>

#include "quorvale/core/text.h"

namespace quorvale {
namespace {

struct WithDefault : Object {
  std::optional<Variant> DefaultValue() const override { return Variant("dflt"); }
};

TEST(VariantTextForm, TableOfKinds) {
  struct Case {
    const char* name;
    Variant value;
    std::optional<std::string> text;
  } cases[] = {
      {"empty", Variant(), ""},
      {"null", Variant::Null(), ""},
      {"true", Variant(true), "True"},
      {"false", Variant(false), "False"},
      {"integer", Variant(std::int16_t{-12}), "-12"},
      {"long", Variant(std::int32_t{2147483647}), "2147483647"},
      {"whole double", Variant(80.0), "80"},
      {"fraction", Variant(1.5), "1.5"},
      {"big double", Variant(1e20), "1E+20"},
      {"small double", Variant(1e-7), "1E-07"},
      {"string with blanks", Variant(" 80 "), " 80 "},
      {"chinese", Variant("中文"), "中文"},
      {"byte array", Variant(Bytes{1, 2}), std::nullopt},
      {"array", Variant(Variant::Array{Variant("a")}), std::nullopt},
      {"object without default", Variant(std::make_shared<Object>()), std::nullopt},
      {"object with default", Variant(std::shared_ptr<Object>(std::make_shared<WithDefault>())), "dflt"},
      {"null object", Variant(std::shared_ptr<Object>()), std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(c.value.TextForm(), c.text) << c.name;
}

TEST(VariantUpper, OnlyAsciiLettersChange) {
  EXPECT_EQ(UpperTextForm(Variant()), "");
  EXPECT_EQ(UpperTextForm(Variant(Variant::Array{})), std::nullopt);
}

TEST(VariantNumber, StringsAndKinds) {
  EXPECT_EQ(Variant(" 12 ").AsNumber(), 12.0);
  EXPECT_EQ(Variant("12a").AsNumber(), std::nullopt);
  EXPECT_EQ(Variant("").AsNumber(), std::nullopt);
  EXPECT_EQ(Variant(true).AsNumber(), -1.0);
  EXPECT_EQ(Variant().AsBool(), false);
  EXPECT_EQ(Variant(Bytes{}).AsBool(), std::nullopt);
}

TEST(VariantEquality, KindMatters) {
  EXPECT_EQ(Variant("1"), Variant("1"));
  EXPECT_NE(Variant("1"), Variant(std::int32_t{1}));
  EXPECT_NE(Variant(), Variant(""));
  EXPECT_EQ(Variant(Variant::Array{Variant(1.0)}), Variant(Variant::Array{Variant(1.0)}));
}

}  // namespace
}  // namespace quorvale
