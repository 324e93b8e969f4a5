// Operators and functions of every type against values computed by Python
// (tests/data/gen_formula.py).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "tests/formula/formula_test_util.h"

namespace {

class ReferenceValues : public FormulaTest {};

TEST_F(ReferenceValues, EveryTypeAgainstPython) {
  std::ifstream in(NUMERION_TEST_DATA "/formula.txt");
  ASSERT_TRUE(in) << "missing tests/data/formula.txt";
  std::string line;
  int count = 0;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string type, size, formula, expected;
    std::getline(fields, type, '\t');
    std::getline(fields, size, '\t');
    std::getline(fields, formula, '\t');
    std::getline(fields, expected, '\t');
    const std::int64_t n = std::stoll(size);
    if (type == "real") use(kTypeReal, n);
    if (type == "complex") use(kTypeComplex, n);
    if (type == "uint") use(kTypeUInt, 16, n);
    if (type == "rational") use(kTypeRational, 16, n);
    SCOPED_TRACE(type + " " + size + ": " + formula);
    expect_value(formula, expected);
    ++count;
  }
  EXPECT_GT(count, 250);
}

}  // namespace
