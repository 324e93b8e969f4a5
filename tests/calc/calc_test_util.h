// A fixture that starts the arithmetic, texts and error records as the program does, and runs
// a formula through the calculator into the result field's text.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calc/calculator.h"
#include "calc/variables.h"

std::u16string u16(const std::string& s);
std::string u8(const std::u16string& s);

class CalcTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The result field after "=", or "error <app code> <formula code>@<position>".
  std::string calc(const std::string& formula, const std::vector<UserVariable>& vars = {});
  std::string field() const { return u8(state.result_field); }

  CalculatorState state;
  bool fell_back = false;
};
