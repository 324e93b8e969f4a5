// Test helpers for the formula engine: a fixture that sets the number type and sizes and owns
// the thread's scratch block, and evaluation of a formula into an owned value.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/decfloat.h"
#include "core/text.h"
#include "core/thread_scratch.h"
#include "formula/evaluator.h"
#include "formula/formula.h"
#include "integer/biguint.h"
#include "integer/number.h"

// The thread's scratch position, read and set through a pointer the compiler must keep: GCC 12
// with UBSan reports a false null pointer for repeated inline thread-local accesses.
std::uint8_t* scratch_position();
void set_scratch_position(std::uint8_t* p);

// UTF-8 (ASCII and the Greek letters of the tests) to UTF-16.
std::u16string u16(const std::string& s);
std::string u8(const std::u16string& s);

struct EvalResult {
  std::uint32_t code = 0;
  std::uint32_t position = 0;
  std::uint32_t cause = 0;
  std::uint8_t inexact = 0;
  std::vector<Word> value;
};

// The value of `text` as a literal of the current type (the expected side of a comparison).
std::vector<Word> literal(const std::string& text);
// The value in the type's own text form, for failure messages.
std::string show(const std::vector<Word>& v);

class FormulaTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // NumberType, precision in digits and BigUInt limbs (rationals and unsigned integers).
  void use(std::uint32_t type, std::int64_t digits = 16, std::int64_t limbs = 4);

  EvalResult eval(const std::string& text, const VariableTable* vars = nullptr,
                  std::uint32_t flags = kAllowGrouping);
  EvalResult eval16(const std::u16string& text, const VariableTable* vars = nullptr,
                    std::uint32_t flags = kAllowGrouping);

  // The formula evaluates without error to the literal `expected`.
  void expect_value(const std::string& formula, const std::string& expected,
                    const VariableTable* vars = nullptr);
  // The formula fails with the code at the 1-based position.
  void expect_error(const std::string& formula, std::uint32_t code, std::uint32_t position,
                    const VariableTable* vars = nullptr);
};

// A variable table over owned strings.
class Vars {
 public:
  Vars& add(const std::string& name, const std::string& value);
  const VariableTable* table();

 private:
  std::vector<std::u16string> names_, values_;
  VariableTable table_;
};
