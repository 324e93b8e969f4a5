// Calculator state: precision and number sizes, the base selector, parentheses, variables.
#include "core/decfloat.h"
#include "core/text.h"
#include "integer/biguint.h"
#include "tests/calc/calc_test_util.h"

TEST_F(CalcTest, PrecisionAddsTwoWorkingDigits) {
  for (std::int64_t d : {1, 17, 18, 36, 9999, 10000}) {
    calc_set_precision(state, d);
    EXPECT_EQ(g_arith.precision, d + 2);
    EXPECT_EQ(g_arith.limb_count, (d + 20) / 19) << d;
    EXPECT_EQ(g_arith.top_digits, (d + 2) - 19 * ((d + 20) / 19) + 19) << d;
  }
  state.result_current = true;
  calc_set_precision(state, 50);
  EXPECT_FALSE(state.result_current);
}

TEST_F(CalcTest, PrecisionOutOfRangeKeepsTheContext) {
  calc_set_precision(state, 30);
  calc_set_precision(state, 10004);  // 10006 working digits do not exist
  EXPECT_EQ(g_arith.status, static_cast<std::uint32_t>(MathStatus::InvalidSetting));
  clear_status();
  calc_set_precision(state, 0);
  EXPECT_EQ(g_arith.status, static_cast<std::uint32_t>(MathStatus::InvalidSetting));
  clear_status();
  EXPECT_EQ(state.digits, 30);
  EXPECT_EQ(g_arith.precision, 32);
  state.guard = 0;  // one fixed precision context
  calc_set_precision(state, 10005);
  EXPECT_EQ(g_arith.status, 0u);
  EXPECT_EQ(g_arith.precision, 10005);
}

TEST_F(CalcTest, NumberTypeSetsIntegerCapacity) {
  calc_set_number_type(state, kTypeUInt);
  EXPECT_EQ(NumberType, kTypeUInt);
  EXPECT_EQ(BigUIntLimbs, 1039);  // floor(20000 * 891723283 / 2^34) + 1
  calc_set_number_type(state, kTypeRational);
  EXPECT_EQ(BigUIntLimbs, 520);
  calc_set_number_type(state, kTypeComplex);
  EXPECT_EQ(BigUIntLimbs, 1);
  EXPECT_EQ(NumberType, kTypeComplex);
}

TEST_F(CalcTest, BaseSelectorAndTypes) {
  EXPECT_EQ(calc_base_from_text(u"16"), 16);
  EXPECT_EQ(calc_base_from_text(u"2"), 2);
  EXPECT_EQ(calc_base_from_text(u"8"), 8);
  EXPECT_EQ(calc_base_from_text(u"hex"), 10);
  EXPECT_EQ(calc_base_from_text(u"161616161616"), 10);
  calc_set_base(state, 16);
  EXPECT_EQ(state.base, 10);  // only the unsigned-integer type has an output base
  calc_set_number_type(state, kTypeUInt);
  EXPECT_EQ(state.base, 16);
  calc_set_number_type(state, kTypeReal);
  EXPECT_EQ(state.base, 10);
}

TEST_F(CalcTest, MissingParenthesesAreAppended) {
  std::u16string f = u"(1+2";
  EXPECT_EQ(append_missing_parens(f), 1);
  EXPECT_EQ(f, u"(1+2)");
  f = u"sqrt((2";
  EXPECT_EQ(append_missing_parens(f), 2);
  EXPECT_EQ(f, u"sqrt((2))");
  f = u"1+2)";
  EXPECT_EQ(append_missing_parens(f), 0);
  EXPECT_EQ(calc("(1+2"), "3");
  EXPECT_EQ(calc("2*(3+(4"), "14");
}

TEST_F(CalcTest, VariableNameRules) {
  for (const char* good : {"x", "_a1", "var00", "Abcdefghij", "\xce\xb1\xce\xb2",
                           "\xce\xa9"
                           "9"}) {
    EXPECT_TRUE(is_valid_variable_name(u16(good))) << good;
  }
  for (const char* bad :
       {"", "e", "i", "pi", "ans", "\xcf\x80", "1x", "a-b", "abcdefghijk", "a b"}) {
    EXPECT_FALSE(is_valid_variable_name(u16(bad))) << bad;
  }
}

TEST_F(CalcTest, DefaultVariableNames) {
  std::vector<UserVariable> vars = {{u"var00", u""}, {u"var02", u""}};
  EXPECT_EQ(default_variable_name(vars), u"var01");
  vars = {{u"var1", u""}, {u"var001", u""}, {u"var0x", u""}};
  EXPECT_EQ(default_variable_name(vars), u"var00");
  vars.clear();
  for (int n = 0; n < 100; ++n) vars.push_back({default_variable_name(vars), u""});
  EXPECT_EQ(vars.back().name, u"var99");
  EXPECT_EQ(default_variable_name(vars), u"");
}

TEST_F(CalcTest, VariableTableUsesTheCurrentSeparator) {
  const char16_t comma[] = u",";
  const char16_t point[] = u".";
  set_separator_slots(g_number_settings.decimal_sep, comma, 1, u'.');
  set_separator_slots(g_number_settings.thousands_sep, point, 1, u'\'');
  // Typed with "," as decimal separator and "." for thousands: stored with ".", handed over
  // with ",".
  EXPECT_EQ(stored_variable_value(u"1.234,5"), u"1234.5");
  std::vector<UserVariable> vars = {{u"x", stored_variable_value(u"1,5")}, {u"ans", u"7"}};
  VariableTableStorage storage;
  build_variable_table(storage, u"2,5", vars);
  ASSERT_EQ(storage.table.count, 3u);
  EXPECT_EQ(std::u16string(storage.table.entries[0].name), u"ans");
  EXPECT_EQ(std::u16string(storage.table.entries[0].value), u"2,5");
  EXPECT_EQ(std::u16string(storage.table.entries[1].value), u"1,5");
  EXPECT_EQ(calc("x*2", vars), "3");
  // The result variable comes first, so a user variable named "ans" is never seen.
  EXPECT_EQ(calc("ans+1", vars), "4");
}

TEST_F(CalcTest, VariablesInEveryType) {
  std::vector<UserVariable> vars = {{u"a", u"0.25"}, {u"n", u"12"}, {u"empty", u""}};
  EXPECT_EQ(calc("a*n", vars), "3");
  calc_set_number_type(state, kTypeRational);
  EXPECT_EQ(calc("n/5+1/3", vars), "41/15");
  calc_set_number_type(state, kTypeUInt);
  EXPECT_EQ(calc("n*n", vars), "144");
  EXPECT_EQ(calc("a", vars), "error 1007 10212@1");
  EXPECT_EQ(calc("2+empty", vars), "error 1007 10211@3");
}
