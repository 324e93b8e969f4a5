// Precedence and signs, errors and their positions, variables, the stack limit.
#include <gtest/gtest.h>

#include <string>

#include "core/decfloat.h"
#include "formula/formula.h"
#include "tests/formula/formula_test_util.h"

namespace {

class ParserTest : public FormulaTest {};

TEST_F(ParserTest, PrecedenceAndAssociativity) {
  expect_value("-2^2", "-4");
  expect_value("2^3^2", "512");
  expect_value("(2^3)^2", "64");
  expect_value("-2+3", "1");
  expect_value("1-2-3", "-4");
  expect_value("2*3+4*5", "26");
  expect_value("2+3*4^2", "50");
  expect_value("100/10/5", "2");
  expect_value("2*3^2*2", "36");
  expect_value("17 mod 5 * 2", "4");
  expect_value("2*17 mod 5", "4");
  expect_value("1+17 mod 5", "3");
  expect_value("2^2 mod 3", "1");
  expect_value("-(2)", "-2");
  expect_value("+(2)", "2");
  expect_value("-2*3", "-6");
  expect_value("(-2)^2", "4");
  expect_value("-(-(-1))", "-1");
  expect_value("((((7))))", "7");
  expect_value("2*(3+4)", "14");
  expect_value("sqrt(16)+1", "5");
  expect_value("-sqrt(16)", "-4");
  expect_value("root(3; 2*4)", "2");
  expect_value("  1 +  2  ", "3");
  expect_value("pi-π", "0");
}

TEST_F(ParserTest, SignsOnlyAtTheStartOfAnOperand) {
  expect_error("2*-3", kFormulaSyntax, 3);
  expect_error("2^-1", kFormulaSyntax, 3);
  expect_error("2--3", kFormulaSyntax, 3);
  expect_error("--3", kFormulaSyntax, 2);
  expect_error("*3", kFormulaSyntax, 1);
  expect_error("mod 3", kFormulaSyntax, 1);
  expect_value("2*(-3)", "-6");
  expect_value("sqrt(-4+8)", "2");
  expect_value("root(3;-8)", "-2");
}

TEST_F(ParserTest, UnexpectedEnd) {
  expect_error("", kFormulaUnexpectedEnd, 1);
  expect_error("   ", kFormulaUnexpectedEnd, 4);
  expect_error("2+", kFormulaUnexpectedEnd, 3);
  expect_error("(2", kFormulaUnexpectedEnd, 3);
  expect_error("sin", kFormulaUnexpectedEnd, 4);
  expect_error("sin(", kFormulaUnexpectedEnd, 5);
  expect_error("-", kFormulaUnexpectedEnd, 2);
  expect_error("root(2;", kFormulaUnexpectedEnd, 8);
}

TEST_F(ParserTest, SyntaxErrorsAndPositions) {
  expect_error(")", kFormulaSyntax, 1);
  expect_error("()", kFormulaSyntax, 2);
  // A stray ")" is reported where it stands.
  expect_error("2)", kFormulaUnmatchedParen, 2);
  expect_error("1+2)", kFormulaUnmatchedParen, 4);
  expect_error("1+(2+3))", kFormulaUnmatchedParen, 8);
  expect_error("gcd(4;6) * 2 )", kFormulaUnmatchedParen, 14);
  expect_error("2(3)", kFormulaSyntax, 2);
  expect_error("2 3", kFormulaSyntax, 3);
  expect_error("2 pi", kFormulaSyntax, 3);
  expect_error("sin 2", kFormulaSyntax, 5);
  expect_error("sin+2", kFormulaSyntax, 4);
  expect_error("1\t+2", kFormulaSyntax, 2);
  expect_error(".5", kFormulaSyntax, 1);
  expect_error("1 000", kFormulaSyntax, 3);
  expect_error("1+2#", kFormulaSyntax, 4);
  expect_error("(1;2)", kFormulaSyntax, 3);
  expect_error("2*(1;2)", kFormulaSyntax, 5);
  expect_error("1;2", kFormulaSyntax, 1);
  expect_error("sin(1);2", kFormulaSyntax, 1);
  expect_error("root(;2)", kFormulaSyntax, 6);
  expect_error("root(1;)", kFormulaSyntax, 8);
  expect_error("root(1;2;)", kFormulaSyntax, 10);
}

TEST_F(ParserTest, ParameterCounts) {
  expect_error("sin(1;2)", kFormulaParamCount, 1);
  expect_error("root(2)", kFormulaParamCount, 1);
  expect_error("1+root(2;3;4)", kFormulaParamCount, 3);
  expect_error("gcd(1;2;3;4)", kFormulaParamCount, 1);
  expect_error("powmod(1;2;3;4;5)", kFormulaParamCount, 1);
}

TEST_F(ParserTest, ArithmeticFailuresAtTheirToken) {
  // The division is done when the end arrives, just behind the text.
  expect_error("1/0", kFormulaArithmetic, 4);
  expect_error("1/0+1", kFormulaArithmetic, 4);
  expect_error("(1/0)", kFormulaArithmetic, 5);
  expect_error("sqrt(-1)", kFormulaArithmetic, 8);
  expect_error("ln(0)*2", kFormulaArithmetic, 5);
  expect_error("2+1e999999999999999999999", kFormulaBadNumber, 3);
  expect_error("1.2.3", kFormulaBadNumber, 1);
  expect_error("1+1e5e3", kFormulaBadNumber, 3);
  expect_error("0x1F", kFormulaBadNumber, 1);
  expect_error("2+0x", kFormulaBadNumber, 3);
  expect_error("1e-", kFormulaBadNumber, 1);
}

TEST_F(ParserTest, StackOfFiftyEntries) {
  // 25 powers need 51 entries.
  std::string chain = "2";
  for (int i = 0; i < 25; ++i) chain += "^2";
  expect_error(chain, kFormulaStackFull, 1);
  // 24 powers fit: the value is far too large, which is an overflow at the end.
  std::string shorter = "1";
  for (int i = 0; i < 24; ++i) shorter += "^1";
  expect_value(shorter, "1");
  expect_error(std::string(50, '(') + "1" + std::string(50, ')'), kFormulaStackFull, 1);
  expect_value(std::string(49, '(') + "1" + std::string(49, ')'), "1");
}

TEST_F(ParserTest, Variables) {
  Vars v;
  v.add("ans", "").add("x", "2.5").add("α1", "-3").add("_y", "1e3").add("x", "99").add("X", "7");
  expect_value("x*2", "5", v.table());
  expect_value("x+x+x", "7.5", v.table());
  expect_value("α1^2", "9", v.table());
  expect_value("_y/X", "142.8571428571429", v.table());  // 1000/7 rounded half up
  expect_error("ans+1", kFormulaUnknownVariable, 1, v.table());
  expect_error("2*e", kFormulaUnknownVariable, 3, v.table());
  expect_error("y", kFormulaUnknownVariable, 1, v.table());
  expect_error("x", kFormulaUnknownVariable, 1, nullptr);
  expect_error("x x", kFormulaSyntax, 3, v.table());

  Vars bad;
  bad.add("a", "1+2").add("b", "12abc").add("c", "0x10");
  expect_error("1+a", kFormulaBadVariableValue, 3, bad.table());
  expect_error("b", kFormulaBadVariableValue, 1, bad.table());
  expect_error("c", kFormulaBadVariableValue, 1, bad.table());
}

TEST_F(ParserTest, VariableCacheHoldsOneHundred) {
  Vars v;
  std::string formula;
  for (int i = 0; i < 101; ++i) {
    std::string name = "v";
    name += std::to_string(i);
    v.add(name, std::to_string(i));
    if (i > 0) formula += '+';
    formula += name;
  }
  // 100 distinct variables are fine; used twice they are converted once.
  const std::string hundred = formula.substr(0, formula.rfind('+'));
  expect_value(hundred, "4950", v.table());
  expect_value(hundred + "+" + hundred, "9900", v.table());
  expect_error(formula, kFormulaInternal, 0, v.table());
}

TEST_F(ParserTest, ResultAndStateAfterErrors) {
  const EvalResult ok = eval("2+3");
  EXPECT_EQ(ok.code, 0u);
  const EvalResult bad = eval("2+");
  EXPECT_EQ(bad.code, kFormulaUnexpectedEnd);
  EXPECT_TRUE(num_is_zero(bad.value.data()));
  // A new evaluation clears the previous error.
  EXPECT_EQ(eval("1").code, 0u);
  // A null text reads as empty.
  std::vector<Word> result(num_words(), 0);
  FormulaContext ctx;
  ctx.result = result.data();
  evaluate_formula(ctx);
  EXPECT_EQ(g_formula_error.code, kFormulaUnexpectedEnd);
  // Without a number type the caller has made a mistake: an internal error, no crash.
  NumberType = kTypeNone;
  EXPECT_EQ(eval("1").code, kFormulaInternal);
  NumberType = kTypeReal;
}

TEST_F(ParserTest, CancelledCalculation) {
  std::atomic<std::uint8_t> stop{1};
  g_arith.cancel_flag = &stop;
  use(kTypeUInt, 16, 8);
  const EvalResult r = eval("1+powmod(3; 1000; 7)");
  g_arith.cancel_flag = &g_cancel_request;
  EXPECT_EQ(r.code, kFormulaCancelled);
  EXPECT_EQ(r.position, 0u);
}

}  // namespace
