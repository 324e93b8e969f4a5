// Operators and functions per number type: exactness, the type rules and their errors.
#include <gtest/gtest.h>

#include "core/complex.h"
#include "core/decfloat.h"
#include "tests/formula/formula_test_util.h"

namespace {

class RealType : public FormulaTest {};
class ComplexType : public FormulaTest {
 protected:
  void SetUp() override {
    FormulaTest::SetUp();
    use(kTypeComplex);
  }
};
class UIntType : public FormulaTest {
 protected:
  void SetUp() override {
    FormulaTest::SetUp();
    use(kTypeUInt, 16, 4);
  }
};
class RationalType : public FormulaTest {
 protected:
  void SetUp() override {
    FormulaTest::SetUp();
    use(kTypeRational, 16, 4);
  }
};

TEST_F(RealType, RoundsEveryOperation) {
  // 1/3 rounded, times 3: not 1.
  expect_value("1/3*3", "0.9999999999999999");
  expect_value("2/3", "0.6666666666666667");
  expect_value("1e16+1", "1e16");
  expect_value("1e16+5", "1.000000000000001e16");  // half up on the magnitude
  expect_value("-1e16-5", "-1.000000000000001e16");
  expect_value("123456789*987654321", "1.219326311126353e17");
}

TEST_F(RealType, DomainErrorsBecomeArithmeticErrors) {
  expect_error("sqrt(-2)", kFormulaArithmetic, 8);
  expect_error("ln(-1)", kFormulaArithmetic, 6);
  expect_error("asin(2)", kFormulaArithmetic, 7);
  expect_error("fact(-1)", kFormulaArithmetic, 8);
  expect_error("root(2;-4)", kFormulaArithmetic, 10);
  expect_error("logx(1;5)", kFormulaArithmetic, 9);
  expect_error("gcd(1.5;3)", kFormulaArithmetic, 10);
  expect_error("5 mod 0", kFormulaArithmetic, 8);
  expect_error("0^(-1)", kFormulaArithmetic, 7);
  expect_error("(-8)^(1/3)", kFormulaArithmetic, 11);
  expect_error("exp(1e20)", kFormulaArithmetic, 9);
  expect_error("10^1e19", kFormulaArithmetic, 8);
  expect_error("10^4611686018427387904", kFormulaArithmetic, 23);
  // Huge but inside the exponent range (value from mpmath).
  expect_value("2^1e18", "1.635832735085100e301029995663981195");
}

// Error 10203 keeps the MathStatus that caused it, in every type, so the message can name it.
TEST_F(FormulaTest, ArithmeticErrorsKeepTheirCause) {
  struct Case {
    std::uint32_t type;
    const char* formula;
    MathStatus cause;
  };
  const Case cases[] = {
      {kTypeReal, "1/0", MathStatus::DivisionByZero},
      {kTypeReal, "0/0", MathStatus::DivisionByZero},
      {kTypeReal, "5 mod (2-2)", MathStatus::DivisionByZero},
      {kTypeReal, "sqrt(-1)", MathStatus::Undefined},
      {kTypeReal, "ln(-1)", MathStatus::Undefined},
      {kTypeReal, "asin(2)", MathStatus::Undefined},
      {kTypeReal, "fact(-1)", MathStatus::Undefined},
      {kTypeReal, "tand(90)", MathStatus::Undefined},
      {kTypeReal, "exp(1e20)", MathStatus::Overflow},
      {kTypeComplex, "fact(i)", MathStatus::RealArgumentRequired},
      {kTypeComplex, "1/(0i)", MathStatus::DivisionByZero},
      {kTypeUInt, "7/(3-3)", MathStatus::DivisionByZero},
      {kTypeUInt, "7 mod 0", MathStatus::DivisionByZero},
      {kTypeRational, "1/3/0", MathStatus::DivisionByZero},
  };
  for (const Case& c : cases) {
    use(c.type);
    const EvalResult r = eval(c.formula);
    EXPECT_EQ(r.code, static_cast<std::uint32_t>(kFormulaArithmetic)) << c.formula;
    EXPECT_EQ(r.cause, static_cast<std::uint32_t>(c.cause)) << c.formula;
  }
  // Other errors carry no cause.
  use(kTypeReal);
  EXPECT_EQ(eval("1+").cause, 0u);
}

TEST_F(RealType, TypeRestrictedFunctions) {
  expect_error("arg(1)", kFormulaNeedsComplex, 1);
  expect_error("1+realp(1)", kFormulaNeedsComplex, 3);
  expect_error("imagp(1)", kFormulaNeedsComplex, 1);
  expect_error("sqrtc(4;0)", kFormulaNeedsComplex, 1);
  expect_error("rootc(8;3;0)", kFormulaNeedsComplex, 1);
  expect_error("3i", kFormulaNeedsComplex, 2);
  expect_error("i", kFormulaNeedsComplex, 1);
  expect_error("powmod(2;3;5)", kFormulaNotAvailable, 1);
}

TEST_F(RealType, RoundTruncFrac) {
  expect_value("round(2.5)", "3");
  expect_value("round(-2.5)", "-3");
  expect_value("round(0.5)", "1");
  expect_value("round(-0.49)", "0");
  expect_value("round(9.5)", "10");
  expect_value("round(1e20)", "1e20");
  expect_value("trunc(-2.7)", "-2");
  expect_value("frac(-2.7)", "-0.7");
  expect_value("trunc(0.3)", "0");
}

TEST_F(ComplexType, ImaginaryUnitBinding) {
  expect_value("2i^2", "-4");
  expect_value("(1+2)i", "0+3i");
  expect_value("pi i", "0+3.141592653589793i");
  expect_error("(1+i)i", kFormulaBadNumber, 6);
  expect_error("ii", kFormulaUnknownVariable, 1);
  // A non-real exponent takes the principal value exp(w ln z) (values from mpmath).
  expect_value("2^3i", "-0.4869944179657814+0.8734050817748714i");
  expect_value("3^(2i)", "-0.5862549342913522+0.810126627150992i");
}

TEST_F(ComplexType, ElementaryFunctionsBeyondTheRealDomain) {
  // Values from mpmath.
  expect_value("ln(2i)", "0.6931471805599453+1.570796326794897i");
  expect_value("ln(-1)", "3.141592653589793i");
  expect_value("sin(1+i)", "1.298457581415977+0.6349639147847361i");
  expect_value("sind(30+2i)", "0.5003046483516338+0.03023612883217532i");
  expect_value("acosd(2)", "75.45612929021689i");
  expect_value("(-8)^(1/3)", "1+1.732050807568877i");
  expect_value("logx(i;-1)", "2");
  // The angle rule: on a multiple of the quarter turn sine and cosine are exact.
  expect_value("exp(pi*i)", "-1");
  expect_value("exp(pi/2*i)", "i");
  expect_value("sind(90+i)", "1.000152312576256");
  expect_error("tanh(pi/2*i)", kFormulaArithmetic, 1);  // a pole
  // Inside the real domain the real functions give their own digits.
  expect_value("exp(1)", "2.718281828459045");
  expect_value("sin(pi)", "0");
  expect_error("atanh(1)", kFormulaArithmetic, 8);
  // 0^w for a non-real w is undefined; the roots stay real.
  expect_error("0^i", kFormulaArithmetic, 4);
  expect_error("sqrt(-1)", kFormulaArithmetic, 8);
}

TEST_F(ComplexType, RealOnlyFunctions) {
  expect_error("(1+i) mod 2", kFormulaArithmetic, 12);
  expect_error("root(2;4i)", kFormulaArithmetic, 10);
  expect_error("cbrtc(8;3)", kFormulaArithmetic, 10);
  expect_error("sqrtc(4;0.5)", kFormulaArithmetic, 12);
  expect_error("rootc(8;0;0)", kFormulaArithmetic, 12);
  expect_error("rootc(8;3;3)", kFormulaArithmetic, 12);
  expect_error("powmod(2;3;5)", kFormulaNotAvailable, 1);
  expect_error("1/(0i)", kFormulaArithmetic, 7);
}

TEST_F(UIntType, InexactState) {
  EvalResult r = eval("7/2");
  EXPECT_EQ(r.code, 0u);
  EXPECT_EQ(r.inexact, 1);
  EXPECT_EQ(eval("sqrt(10)").inexact, 1);
  EXPECT_EQ(eval("sqrt(9)").inexact, 0);
  EXPECT_EQ(eval("cbrt(27)").inexact, 0);
  EXPECT_EQ(eval("root(3;28)").inexact, 1);
  EXPECT_EQ(eval("log2(9)").inexact, 1);
  EXPECT_EQ(eval("log10(1000)").inexact, 0);
  EXPECT_EQ(eval("logx(3;80)").inexact, 1);
  // Any rounding operation marks the whole formula, whatever exact operations follow it.
  for (const char* f :
       {"7/2*2", "7/2+8/2", "8/2+7/2", "7/2+4/2", "sqrt(8)+sqrt(9)", "7/2*(4/2)", "log2(9)+log2(8)",
        "7/2+cbrt(27)", "7/2+root(3;8)", "logx(3;80)+sqrt(4)", "(7/2)^2+8/4"}) {
    EXPECT_EQ(eval(f).inexact, 1) << f;
  }
  for (const char* f : {"8/2+6/2", "sqrt(9)*cbrt(8)+log10(100)", "root(3;27)/3"}) {
    EXPECT_EQ(eval(f).inexact, 0) << f;
  }
  // An error clears it.
  r = eval("7/2+");
  EXPECT_EQ(r.code, kFormulaUnexpectedEnd);
  EXPECT_EQ(r.inexact, 0);
}

TEST_F(UIntType, LimitsAndUnavailableOperations) {
  expect_error("ln(5)", kFormulaArithmetic, 5);
  expect_error("exp(1)", kFormulaArithmetic, 6);
  expect_error("sin(1)", kFormulaArithmetic, 6);
  expect_error("pi", kFormulaArithmetic, 1);
  expect_error("-2", kFormulaArithmetic, 3);
  expect_error("2-3", kFormulaArithmetic, 4);
  expect_error("2^256", kFormulaArithmetic, 6);  // 4 limbs hold 256 bits
  expect_error("2^255*2", kFormulaArithmetic, 8);
  expect_error("1/0", kFormulaArithmetic, 4);
  expect_error("5 mod 0", kFormulaArithmetic, 8);
  expect_error("0.5", kFormulaBadNumber, 1);
  expect_error("0y102", kFormulaBadNumber, 1);
  expect_error("0t8", kFormulaBadNumber, 1);
  expect_error("arg(1)", kFormulaNeedsComplex, 1);
  expect_error("cbrtc(8;1)", kFormulaNeedsComplex, 1);
  expect_error("rootc(8;3;1)", kFormulaNeedsComplex, 1);
  expect_value("2^255+(2^255-1)",
               "115792089237316195423570985008687907853269984665640564039457584007913129639935");
}

TEST_F(RationalType, FractionsAndErrors) {
  // 0/0 is not a number: the fraction code would reduce it to 0 silently.
  expect_error("0/0", kFormulaArithmetic, 4);
  expect_error("1/0", kFormulaArithmetic, 4);
  expect_error("(1/2)/(1-1)", kFormulaArithmetic, 12);
  expect_error("2^(1/2)", kFormulaArithmetic, 8);
  expect_error("cbrt(2)", kFormulaArithmetic, 7);
  expect_error("sqrt(-4)", kFormulaArithmetic, 8);
  expect_error("log2(6)", kFormulaArithmetic, 7);
  expect_error("fact(1/2)", kFormulaArithmetic, 9);
  expect_error("gcd(1/2;3)", kFormulaArithmetic, 10);
  expect_error("ln(2)", kFormulaArithmetic, 5);
  expect_error("pi", kFormulaArithmetic, 1);
  expect_error("1.5", kFormulaBadNumber, 1);
  expect_error("0x10", kFormulaBadNumber, 1);
  expect_error("powmod(2;3;5)", kFormulaNotAvailable, 1);
}

TEST_F(RationalType, VariablesHoldFractions) {
  Vars v;
  v.add("ans", "-3/4").add("q", "6/8").add("bad", "1/0");
  expect_value("ans*4", "-3", v.table());
  expect_value("q+ans", "0", v.table());
  expect_error("bad", kFormulaBadVariableValue, 1, v.table());
}

}  // namespace
