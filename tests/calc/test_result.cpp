// Evaluation and the result field: fallback, error mapping, every notation, base and type.
// Expected numbers come from Python's decimal, fractions and mpmath.
#include "app/app_error.h"
#include "core/decfloat.h"
#include "core/text.h"
#include "formula/formula.h"
#include "integer/biguint.h"
#include "tests/calc/calc_test_util.h"

TEST_F(CalcTest, RealResultsAreRoundedToDisplayedDigits) {
  EXPECT_EQ(calc("1/7"), "0.1428571428571429");
  EXPECT_EQ(calc("sqrt(2)"), "1.414213562373095");
  calc_set_precision(state, 50);
  // e to 50 digits ends in ...0937000: the zeros are not shown.
  EXPECT_EQ(calc("exp(1)"), "2.7182818284590452353602874713526624977572470937");
  calc_set_precision(state, 30);
  EXPECT_EQ(calc("pi"), "3.14159265358979323846264338328");
  calc_set_precision(state, 20);
  EXPECT_EQ(calc("ln(10)"), "2.302585092994045684");
}

TEST_F(CalcTest, AutomaticNotationThresholds) {
  calc_set_precision(state, 5);
  EXPECT_EQ(calc("123456"), "1.2346e+5");  // exponent 5 is not below D
  EXPECT_EQ(calc("12345"), "12345");
  EXPECT_EQ(calc("0.001"), "0.001");
  EXPECT_EQ(calc("0.0001"), "1e-4");
  EXPECT_EQ(calc("0"), "0");
}

TEST_F(CalcTest, FixedScientificAndGrouping) {
  state.notation = kNotationFixed;
  EXPECT_EQ(calc("1e30"), "1000000000000000000000000000000");
  EXPECT_EQ(calc("1e-10"), "0.0000000001");
  state.notation = kNotationScientific;
  EXPECT_EQ(calc("12345"), "1.2345e+4");
  EXPECT_EQ(calc("-0.5"), "-5e-1");
  state.notation = kNotationAuto;
  state.grouping = true;
  EXPECT_EQ(calc("1234567.891"), "1'234'567.891");
  EXPECT_EQ(calc("-1000"), "-1'000");
}

TEST_F(CalcTest, TooLongForFixedPoint) {
  state.notation = kNotationFixed;
  EXPECT_EQ(calc("1e100000"), "<Number is too long for fixed-point notation>");
  EXPECT_EQ(state.result_text, u"");  // "ans" is empty then
  EXPECT_EQ(g_arith.status, 0u);
  state.notation = kNotationAuto;
  calc_format_result(state);
  EXPECT_EQ(field(), "1e+100000");
}

TEST_F(CalcTest, RationalNotations) {
  calc_set_number_type(state, kTypeRational);
  EXPECT_EQ(calc("1/3+1/6"), "1/2");
  state.notation = kNotationMixed;
  EXPECT_EQ(calc("-7/2"), "-3-1/2");
  EXPECT_EQ(calc("-1/2"), "0-1/2");
  EXPECT_EQ(calc("7/2"), "3+1/2");
  calc_set_precision(state, 10);
  state.notation = kNotationFixed;
  EXPECT_EQ(calc("22/7"), "3.142857143");
  state.notation = kNotationScientific;
  EXPECT_EQ(calc("22/7"), "3.142857143e+0");
  EXPECT_FALSE(fell_back);
}

TEST_F(CalcTest, RationalFallsBackToReal) {
  calc_set_number_type(state, kTypeRational);
  EXPECT_EQ(calc("sqrt(2)"), "1.414213562373095");
  EXPECT_TRUE(fell_back);
  EXPECT_EQ(state.number_type, kTypeReal);
  EXPECT_EQ(NumberType, kTypeReal);
  EXPECT_TRUE(state.settings_changed);
  EXPECT_EQ(calc("1/4"), "0.25");  // the real type stays
  // A formula that fails in both types leaves the rational type.
  calc_set_number_type(state, kTypeRational);
  EXPECT_EQ(calc("1+"), "error 1007 10202@3");
  EXPECT_EQ(state.number_type, kTypeRational);
  EXPECT_EQ(NumberType, kTypeRational);
  // The note depends on whether any operation had no rational result, not on where it stands.
  for (const char* f : {"sqrt(2)+1/4", "1/4+sqrt(2)", "1/4+2^(1/2)*1"}) {
    calc_set_number_type(state, kTypeRational);
    EXPECT_EQ(calc(f), "1.664213562373095") << f;
    EXPECT_TRUE(fell_back) << f;
  }
  calc_set_number_type(state, kTypeRational);
  EXPECT_EQ(calc("1/3+sqrt(4/9)"), "1");
  EXPECT_FALSE(fell_back);
  EXPECT_FALSE(state.inexact);
}

TEST_F(CalcTest, UnsignedIntegerBases) {
  calc_set_number_type(state, kTypeUInt);
  EXPECT_EQ(calc("2^100"), "1267650600228229401496703205376");
  EXPECT_EQ(state.result_digit_count, 31);
  EXPECT_EQ(calc("fact(30)"), "265252859812191058636308480000000");
  calc_set_base(state, 16);
  EXPECT_EQ(calc("2^64-1"), "0xFFFFFFFFFFFFFFFF");
  EXPECT_EQ(state.result_digit_count, 16);
  state.lower_hex = true;
  EXPECT_EQ(calc("255"), "0xff");
  EXPECT_EQ(calc("ans+1"), "0x100");  // the prefixed text reads back
  calc_set_base(state, 2);
  EXPECT_EQ(calc("10"), "0y1010");
  calc_set_base(state, 8);
  EXPECT_EQ(calc("64"), "0t100");
  // A base prefix is read only by the unsigned-integer type.
  calc_set_base(state, 16);
  EXPECT_EQ(calc("255"), "0xff");
  calc_set_number_type(state, kTypeReal);
  EXPECT_EQ(calc("ans+1"), "error 1007 10212@1");
}

TEST_F(CalcTest, InexactIntegerDivision) {
  calc_set_number_type(state, kTypeUInt);
  EXPECT_EQ(calc("7/2"), "3");
  EXPECT_TRUE(state.inexact);
  EXPECT_EQ(calc("8/2"), "4");
  EXPECT_FALSE(state.inexact);
  // An earlier rounding is not forgotten by the exact operations after it.
  EXPECT_EQ(calc("7/2+4/2"), "5");
  EXPECT_TRUE(state.inexact);
  EXPECT_EQ(calc("7/2+root(3;8)"), "5");
  EXPECT_TRUE(state.inexact);
}

TEST_F(CalcTest, ComplexResults) {
  calc_set_number_type(state, kTypeComplex);
  EXPECT_EQ(calc("1/(1+i)"), "0.5-0.5i");
  EXPECT_EQ(calc("(1+2i)*(3-i)"), "5+5i");
}

TEST_F(CalcTest, ErrorsMapToApplicationCodes) {
  EXPECT_EQ(calc("1+"), "error 1007 10202@3");
  EXPECT_EQ(calc("2*foo"), "error 1007 10211@3");
  EXPECT_FALSE(state.result_current);
  // A pending application error stops the calculation before it starts.
  set_app_error(kAppErrorInternal);
  VariableTableStorage storage;
  build_variable_table(storage, u"", {});
  EXPECT_FALSE(calc_evaluate(state, u"1", storage.table));
  EXPECT_EQ(app_error_code(), kAppErrorInternal);
  clear_app_error();
}

TEST_F(CalcTest, CancelRequestIsSilent) {
  calc_set_number_type(state, kTypeUInt);
  VariableTableStorage storage;
  build_variable_table(storage, u"", {});
  g_cancel_request.store(1);  // as if "Stop" were pressed while it runs
  EXPECT_FALSE(calc_evaluate(state, u"powmod(3; 10^19999-1; 10^19999+7)", storage.table));
  EXPECT_EQ(app_error_code(), kAppErrorStopped);
  EXPECT_EQ(g_formula_error.code, kFormulaCancelled);
  EXPECT_FALSE(state.has_result);
  clear_app_error();
}

TEST_F(CalcTest, NotationToggle) {
  calc_set_precision(state, 5);
  EXPECT_EQ(calc("123456"), "1.2346e+5");
  // Automatic shows it in scientific notation, so fixed-point comes next, then scientific
  // would repeat the automatic text and automatic follows.
  ASSERT_TRUE(calc_toggle_notation(state));
  EXPECT_EQ(state.notation, kNotationFixed);
  EXPECT_EQ(field(), "123460");
  ASSERT_TRUE(calc_toggle_notation(state));
  EXPECT_EQ(state.notation, kNotationAuto);
  EXPECT_EQ(field(), "1.2346e+5");

  EXPECT_EQ(calc("12.5"), "12.5");
  ASSERT_TRUE(calc_toggle_notation(state));  // fixed would repeat the text
  EXPECT_EQ(state.notation, kNotationScientific);
  EXPECT_EQ(field(), "1.25e+1");
  ASSERT_TRUE(calc_toggle_notation(state));
  EXPECT_EQ(state.notation, kNotationAuto);

  state.result_current = false;
  EXPECT_FALSE(calc_toggle_notation(state));
}

TEST_F(CalcTest, MixedToggle) {
  calc_set_number_type(state, kTypeRational);
  EXPECT_EQ(calc("-7/2"), "-7/2");
  ASSERT_TRUE(calc_toggle_mixed(state));
  EXPECT_EQ(field(), "-3-1/2");
  ASSERT_TRUE(calc_toggle_mixed(state));
  EXPECT_EQ(field(), "-7/2");
  EXPECT_EQ(calc("4"), "4");
  ASSERT_TRUE(calc_toggle_mixed(state));
  EXPECT_EQ(state.notation, kNotationAuto);  // no mixed form for an integer
  // Fixed-point of an integer rational is the same text: scientific instead.
  ASSERT_TRUE(calc_toggle_notation(state));
  EXPECT_EQ(field(), "4e+0");
  calc_set_number_type(state, kTypeReal);
  EXPECT_EQ(calc("1"), "1e+0");  // the scientific notation stays chosen
  EXPECT_FALSE(calc_toggle_mixed(state));
}

TEST_F(CalcTest, FormattingUsesTheResultsOwnSizes) {
  calc_set_precision(state, 30);
  EXPECT_EQ(calc("1/3"), "0.333333333333333333333333333333");
  calc_set_precision(state, 5);  // the result turns stale but keeps its digits
  state.notation = kNotationScientific;
  calc_format_result(state);
  EXPECT_EQ(field(), "3.33333333333333333333333333333e-1");
  EXPECT_EQ(g_arith.precision, 7);
}
