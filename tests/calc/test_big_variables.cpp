// The largest variable states the dialog can create: 100 values of the maximal length.
#include "tests/calc/calc_test_util.h"

namespace {

std::string sum_of_all(const std::vector<UserVariable>& vars) {
  std::string f;
  for (const UserVariable& v : vars) {
    if (!f.empty()) f.push_back('+');
    f.append(u8(v.name));
  }
  return f;
}

}  // namespace

TEST_F(CalcTest, HundredLongestVariables) {
  std::vector<UserVariable> vars;
  int digit_sum = 0;
  for (int n = 0; n < 100; ++n) {
    const int k = n % 9 + 1;
    digit_sum += k;
    std::u16string value(static_cast<std::size_t>(kMaxValueLength), u'0');
    value[0] = static_cast<char16_t>(u'0' + k);
    vars.push_back({default_variable_name(vars), value});
  }
  ASSERT_EQ(digit_sum, 496);  // the sum is 496 * 10^88660
  EXPECT_EQ(calc(sum_of_all(vars), vars), "4.96e+88662");
  calc_set_precision(state, 10000);
  EXPECT_EQ(calc(sum_of_all(vars), vars), "4.96e+88662");
}

TEST_F(CalcTest, HundredLargeIntegers) {
  calc_set_number_type(state, kTypeUInt);
  std::vector<UserVariable> vars;
  for (int n = 0; n < 100; ++n) {
    std::u16string value(19990, u'0');
    value.insert(value.begin(), u'1');
    vars.push_back({default_variable_name(vars), value});
  }
  const std::string sum = calc(sum_of_all(vars), vars);
  ASSERT_EQ(sum.size(), 19993u);  // 100 * 10^19990
  EXPECT_EQ(sum.substr(0, 4), "1000");
  EXPECT_EQ(state.result_digit_count, 19993);
}

TEST_F(CalcTest, DeepFormulasWithLongVariablesFitOrFailCleanly) {
  calc_set_number_type(state, kTypeUInt);
  std::vector<UserVariable> vars;
  for (int n = 0; n < 100; ++n) {
    std::u16string value(19990, u'0');
    value.insert(value.begin(), u'1');
    vars.push_back({default_variable_name(vars), value});
  }
  // Every variable cached and a deep operator stack of 20,000-digit values: the thread's block
  // grows with the value size, so deep nesting fits; what does not fit the evaluation stack
  // ends with an error, never a wrong number.
  auto nested = [&](int levels) {
    std::string f;
    for (int n = 0; n < levels; ++n) f += "1+(";
    return f + sum_of_all(vars);
  };
  const std::string fits = calc(nested(15), vars);
  EXPECT_EQ(fits.size(), 19993u);
  EXPECT_EQ(fits.substr(fits.size() - 3), "015");
  EXPECT_EQ(calc(nested(60), vars).rfind("error ", 0), 0u);
}
