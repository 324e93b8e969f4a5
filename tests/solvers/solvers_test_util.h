// Shared helpers of the solver tests: a clean context, coefficient parsing and text output.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_error.h"
#include "core/complex.h"
#include "solvers/roots.h"

class SolverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    arith_reset();
    clear_app_error();
  }
  void TearDown() override {
    clear_app_error();
    arith_reset();
  }
};

// The pages' tests: English texts, the thread's scratch area, the real type and 2-limb integers
// on entry, and the same left behind.
class PageTest : public SolverTest {
 protected:
  void SetUp() override;
  void TearDown() override;
};

// Coefficient texts from the highest power down, parsed at the current precision.
RootPolynomial poly_of(const std::vector<std::u16string>& high_first);
// The text of a complex value of `digits` digits.
std::string complex_text(const Complex* z, std::int64_t digits);
// "value*multiplicity" for every entry, separated by "; ".
std::string roots_text(const RootSet& r);
