// The button table per number type, angle unit and letter case, the inserted texts, the call
// forms and Tab completion.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "app/messages.h"
#include "calc/buttons.h"
#include "core/text.h"
#include "integer/number.h"

namespace {

int filled(std::uint32_t type) {
  int n = 0;
  for (int i = 0; i < kCalcButtonCount; ++i) n += calc_button(i, type, 2, false).empty() ? 0 : 1;
  return n;
}

TEST(CalcButtons, EachTypeHasItsVariants) {
  // Real: columns 0 to 7 of rows 0 to 6, and 4 buttons in row 7.
  EXPECT_EQ(filled(kTypeReal), 56 + 4);
  EXPECT_EQ(filled(kTypeRational), 61);  // plus "R↔M"
  EXPECT_EQ(filled(kTypeComplex), 60 + 7);
  // Unsigned integers lose e^x, ln, ".", "e±", "|x|", asinh, acosh, atanh and row 7.
  EXPECT_EQ(filled(kTypeUInt), 56 - 8);
  const CalcButton a = calc_button(32, kTypeUInt, 1, false);
  EXPECT_EQ(a.label, u"A");
  EXPECT_EQ(a.code, 1310);
  EXPECT_EQ(a.colour_class, 2);
  EXPECT_EQ(calc_button(43, kTypeUInt, 1, true).label, u"f");
  EXPECT_EQ(calc_button(5, kTypeUInt, 1, false).label, u"[lg\u2081\u2080]");
  EXPECT_EQ(calc_button(47, kTypeUInt, 1, false).label, u"[/]");
  EXPECT_EQ(calc_button(49, kTypeUInt, 1, false).code, 1144);
  EXPECT_EQ(calc_button(49, kTypeUInt, 1, false).colour_class, 4);
  EXPECT_EQ(calc_button(8, kTypeRational, 1, false).label, u"R\u2194M");
  EXPECT_EQ(calc_button(8, kTypeComplex, 1, false).colour_class, 6);
  EXPECT_EQ(calc_button(17, kTypeComplex, 1, false).label, u"argd");
  EXPECT_EQ(calc_button(32, kTypeReal, 1, false).label, u"sind");
  EXPECT_EQ(calc_button(32, kTypeReal, 2, false).label, u"sin");
  EXPECT_EQ(calc_button(42, kTypeReal, 3, false).label, u"acosg");
  EXPECT_EQ(calc_button(0, kTypeReal, 2, false).colour_class, 3);
  EXPECT_TRUE(calc_button(67, kTypeComplex, 2, false).empty());
  EXPECT_TRUE(calc_button(72, kTypeReal, 2, false).empty());
  EXPECT_TRUE(calc_button(-1, kTypeReal, 2, false).empty());
}

TEST(CalcButtons, InsertedTexts) {
  EXPECT_EQ(calc_insert_text(1110, 1, false), u"sind(");
  EXPECT_EQ(calc_insert_text(1110, 2, false), u"sin(");
  EXPECT_EQ(calc_insert_text(1128, 3, false), u"argg(");
  EXPECT_EQ(calc_insert_text(1144, 2, false), u"powmod(");
  EXPECT_EQ(calc_insert_text(1008, 2, false), u" mod ");
  EXPECT_EQ(calc_insert_text(1328, 2, false), u"; ");
  EXPECT_EQ(calc_insert_text(1315, 2, true), u"f");
  EXPECT_EQ(calc_insert_text(1315, 2, false), u"F");
  EXPECT_EQ(calc_insert_text(1334, 2, false), u"0t");
  const NumberSettings saved = g_number_settings;
  g_number_settings.decimal_sep[0] = u',';
  EXPECT_EQ(calc_insert_text(1318, 2, false), u",");
  g_number_settings = saved;
  // Codes that act otherwise insert nothing.
  for (int code : {1324, 1325, 1331, 1332, 1400, 1402, 1403, 1404, 1199}) {
    EXPECT_TRUE(calc_insert_text(code, 2, false).empty()) << code;
  }
}

TEST(CalcButtons, CallFormsInBothLanguages) {
  load_texts(kLanguageEnglish);
  EXPECT_EQ(calc_call_form(1107, 2), u"logx(base; x)");
  EXPECT_EQ(calc_call_form(1144, 2), u"powmod(base; exponent; modulus)");
  EXPECT_EQ(calc_call_form(1113, 1), u"asind(x)");
  EXPECT_EQ(calc_call_form(1140, 2), u"rootc(z; n; k)");
  EXPECT_TRUE(calc_call_form(1300, 2).empty());
  load_texts(kLanguageGerman);
  EXPECT_EQ(calc_call_form(1107, 2), u"logx(Basis; x)");
  EXPECT_EQ(calc_call_form(1144, 2), u"powmod(Basis; Exponent; Modul)");
  load_texts(kLanguageEnglish);
}

TEST(CalcCompletion, NamesAtTheCaret) {
  std::size_t start = 0;
  std::vector<UserVariable> vars = {{u"rate", u"1"}, {u"radius", u"2"}, {u"ans", u"3"}};
  auto c = completion_candidates(u"1+sq", 4, vars, start);
  EXPECT_EQ(start, 2u);
  EXPECT_EQ(c, (std::vector<std::u16string>{u"sqrt", u"sqrtc"}));
  EXPECT_EQ(common_prefix(c), u"sqrt");
  c = completion_candidates(u"ra*2", 2, vars, start);
  EXPECT_EQ(c, (std::vector<std::u16string>{u"radius", u"rate"}));
  EXPECT_EQ(common_prefix(c), u"ra");
  c = completion_candidates(u"an", 2, vars, start);  // "ans" once
  EXPECT_EQ(c, (std::vector<std::u16string>{u"ans"}));
  EXPECT_TRUE(completion_candidates(u"1+", 2, vars, start).empty());
  EXPECT_TRUE(completion_candidates(u"", 0, vars, start).empty());
  EXPECT_TRUE(completion_candidates(u"12", 2, vars, start).empty());
  // Digits at the start of a run are no part of the name.
  c = completion_candidates(u"2lc", 3, vars, start);
  EXPECT_EQ(start, 1u);
  EXPECT_EQ(c, (std::vector<std::u16string>{u"lcm"}));
  // A caret beyond the end counts as the end; Greek names complete too.
  c = completion_candidates(u"\u03c0", 9, vars, start);
  EXPECT_EQ(c, (std::vector<std::u16string>{u"\u03c0"}));
}

TEST(CalcVariablesLoad, NamesAndValuesAreCutAndFilled) {
  const std::u16string long_value(kVariableValueLength + 5, u'1');
  const std::vector<StoredVariable> stored = {
      {u"", u"1"}, {u"abcdefghijkl", u"2"}, {u"x", long_value}};
  const std::vector<UserVariable> v = load_user_variables(stored);
  ASSERT_EQ(v.size(), 3u);
  EXPECT_EQ(v[0].name, u"var??");
  EXPECT_EQ(v[1].name, u"abcdefghi\u2026");
  EXPECT_EQ(v[2].value.size(), kVariableValueLength);
  EXPECT_EQ(v[2].value.back(), u'\u2026');
  std::vector<StoredVariable> many(150, StoredVariable{u"a", u"1"});
  EXPECT_EQ(load_user_variables(many).size(), 100u);
  EXPECT_EQ(cut_with_ellipsis(u"ab\U0001F600", 3), u"ab\u2026");
}

}  // namespace

namespace {

// Relative luminance of sRGB components (0..255), as contrast ratios use it.
double luminance(Rgb c) {
  auto lin = [](int v) {
    const double s = v / 255.0;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * lin(c.r) + 0.7152 * lin(c.g) + 0.0722 * lin(c.b);
}
double contrast(Rgb a, Rgb b) {
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(CalcColours, EveryClassIsReadableOnLightAndDarkButtons) {
  const Rgb light_button{239, 239, 239};
  const Rgb dark_button{53, 53, 53};
  for (int c = 1; c <= 6; ++c) {
    EXPECT_GE(contrast(calc_colour(c, false), light_button), 3.0) << c;
    EXPECT_GE(contrast(calc_colour(c, true), dark_button), 4.5) << c;
  }
  EXPECT_GE(contrast(calc_selected_colour(true), dark_button), 3.0);
  EXPECT_GE(contrast(calc_stale_colour(true), Rgb{42, 42, 42}), 3.0);
  const Rgb green = calc_colour(1, false);
  EXPECT_EQ(green.r, 0);
  EXPECT_EQ(green.g, 100);
  EXPECT_EQ(calc_colour(6, false).r, 128);
  EXPECT_EQ(calc_stale_colour(false).g, 128);
}

}  // namespace
