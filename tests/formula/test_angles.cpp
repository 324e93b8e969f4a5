// Angles: exact zeros on multiples of the quarter turn, the tangent's poles, the three units.
#include <gtest/gtest.h>

#include "core/decfloat.h"
#include "tests/formula/formula_test_util.h"

namespace {

class Angles : public FormulaTest {
 protected:
  // The formula gives exactly zero (not a tiny value).
  void expect_exact_zero(const std::string& formula) {
    const EvalResult r = eval(formula);
    ASSERT_EQ(r.code, 0u) << formula << " failed at " << r.position;
    const DecFloat* x = r.value.data();
    EXPECT_TRUE(is_zero(x)) << formula << " gave " << show(r.value);
  }
};

TEST_F(Angles, ExactZerosInDegreesAndGrads) {
  for (const char* f : {"sind(180)", "sind(-180)", "sind(720)", "sind(0)", "cosd(90)", "cosd(270)",
                        "cosd(-90)", "tand(180)", "tand(-360)", "sing(200)", "cosg(100)",
                        "cosg(300)", "tang(400)", "sind(1.8e8)"}) {
    expect_exact_zero(f);
  }
  expect_value("cosd(180)", "-1");
  expect_value("sind(90)", "1");
  expect_value("sind(30)", "0.5");
  expect_value("cosd(60)", "0.5");
  expect_value("tand(45)", "1");
  expect_value("tang(50)", "1");
  expect_value("cos(0)", "1");
  expect_value("cosd(0)", "1");
}

TEST_F(Angles, TangentPolesAtTheFunction) {
  expect_error("tand(90)", kFormulaArithmetic, 1);
  expect_error("1+tand(-270)", kFormulaArithmetic, 3);
  expect_error("tang(100)", kFormulaArithmetic, 1);
  expect_error("tan(pi/2)", kFormulaArithmetic, 1);
  expect_error("tan(3*pi/2)", kFormulaArithmetic, 1);
}

TEST_F(Angles, RadiansWithinTheTolerance) {
  for (const char* f : {"sin(pi)", "sin(-pi)", "sin(2*pi)", "cos(pi/2)", "cos(3*pi/2)", "tan(pi)",
                        "sin(1000*pi)"}) {
    expect_exact_zero(f);
  }
  // One unit of the 15th digit off pi is inside the tolerance; far enough off is not.
  expect_exact_zero("sin(3.141592653589794)");
  const EvalResult r = eval("sin(3.14159265358)");
  ASSERT_EQ(r.code, 0u);
  EXPECT_FALSE(is_zero(r.value.data()));
  use(kTypeReal, 60);
  expect_exact_zero("sin(pi)");
  expect_error("tan(pi/2)", kFormulaArithmetic, 1);
}

TEST_F(Angles, ComplexTypeKeepsTheRealRules) {
  use(kTypeComplex);
  const EvalResult r = eval("sind(180)");
  ASSERT_EQ(r.code, 0u);
  EXPECT_TRUE(num_is_zero(r.value.data()));
  expect_error("tand(90)", kFormulaArithmetic, 1);
  expect_value("cos(i)", "1.543080634815244");  // cosh 1 (mpmath)
  expect_value("asind(1)", "90");
  expect_value("argd(-1)", "180");
  expect_value("argd(0-1i)", "-90");
}

TEST_F(Angles, InverseFunctionsInEveryUnit) {
  expect_value("asind(1)", "90");
  expect_value("acosd(0)", "90");
  expect_value("acosd(-1)", "180");
  expect_value("atand(1)", "45");
  expect_value("asing(1)", "100");
  expect_value("acosg(-1)", "200");
  expect_value("atang(-1)", "-50");
  expect_value("asind(0.5)", "30");
  expect_error("acosd(1.5)", kFormulaArithmetic, 10);
}

TEST_F(Angles, OtherTypesHaveNoTrigonometry) {
  use(kTypeUInt);
  expect_error("sind(180)", kFormulaArithmetic, 9);
  use(kTypeRational);
  expect_error("tand(90)", kFormulaArithmetic, 8);
  expect_error("atan(1)", kFormulaArithmetic, 7);
}

TEST_F(Angles, HugeArguments) {
  // Reduced with as many digits of pi as the argument needs (mpmath: sin(10^20), cos(10^1000)).
  expect_value("sin(1e20)", "-0.6452512852657808");
  expect_value("cos(1e1000)", "-0.7570475375314979");
  // 10^30 degrees are exactly 280 degrees on from a whole turn.
  expect_value("sind(1e30)", "-0.9848077530122081");
  expect_error("sin(1e10005)", kFormulaArithmetic, 12);
  expect_error("sind(-1e10005)", kFormulaArithmetic, 14);
}

}  // namespace
