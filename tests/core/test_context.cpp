#include <gtest/gtest.h>

#include <thread>

#include "core/arith.h"
#include "core/decfloat.h"
#include "tests/core/test_util.h"

class ContextTest : public ::testing::Test {
 protected:
  void SetUp() override { arith_reset(); }
};

TEST_F(ContextTest, PrecisionShapes) {
  set_precision(19);
  EXPECT_EQ(g_arith.limb_count, 1);
  EXPECT_EQ(g_arith.top_digits, 19);
  set_precision(20);
  EXPECT_EQ(g_arith.limb_count, 2);
  EXPECT_EQ(g_arith.top_digits, 1);
  set_precision(10005);
  EXPECT_EQ(g_arith.limb_count, 527);
  EXPECT_EQ(g_arith.top_digits, 11);
  EXPECT_EQ(g_arith.status, 0u);
  set_precision(0);
  EXPECT_EQ(g_arith.precision, 10005);
  EXPECT_EQ(math_status(), MathStatus::InvalidSetting);
  clear_status();
  set_precision(10006);
  EXPECT_EQ(g_arith.precision, 10005);
  EXPECT_EQ(math_status(), MathStatus::InvalidSetting);
}

TEST_F(ContextTest, SmokeArithmetic) {
  Dec a, b, c;
  dec_from_int(a, 1);
  dec_from_int(b, 3);
  dec_div_rounded(c, a, b);
  EXPECT_EQ(raw_text(c), "3.333333333333333e-1");
  dec_from_int(a, 2);
  dec_div_rounded(c, a, b);
  EXPECT_EQ(raw_text(c), "6.666666666666667e-1");
  dec_mul_rounded(c, c, b);
  EXPECT_EQ(raw_text(c), "2.000000000000000e0");
  dec_add_rounded(c, a, b);
  EXPECT_EQ(raw_text(c), "5.000000000000000e0");
  dec_sub_rounded(c, b, a);
  EXPECT_EQ(raw_text(c), "1.000000000000000e0");
}

TEST_F(ContextTest, ContextScopeRestoresWhatItNames) {
  set_precision(50);
  BigUIntLimbs = 7;
  NumberType = 2;
  {
    ContextScope guard = ContextScope::guard(38);
    EXPECT_EQ(g_arith.precision, 88);
    EXPECT_EQ(g_arith.limb_count, 5);
    EXPECT_EQ(g_arith.top_digits, 12);
    scratch_alloc(100);
    ContextScope sizes(ContextScope::kSizes | ContextScope::kType);
    BigUIntLimbs = 3;
    NumberType = 11;
  }
  EXPECT_EQ(g_arith.precision, 50);
  EXPECT_EQ(g_arith.top_digits, 12);
  EXPECT_EQ(scratch_used_words(), 0u);  // the guard scope took back its temporaries
  EXPECT_EQ(BigUIntLimbs, 7);
  EXPECT_EQ(NumberType, 2u);
  {
    // Trimming keeps k, so a record read at fewer limbs is its own truncation.
    ContextScope trim = ContextScope::trim(1);
    EXPECT_EQ(g_arith.precision, 31);
    EXPECT_EQ(g_arith.top_digits, 12);
  }
  EXPECT_EQ(g_arith.precision, 50);
  // An isolated status: the scope's own failure is visible inside, the earlier one wins after.
  set_status(MathStatus::Overflow);
  {
    ContextScope isolated = ContextScope::isolated_status();
    EXPECT_EQ(math_status(), MathStatus::Ok);
    set_status(MathStatus::DivisionByZero);
  }
  EXPECT_EQ(math_status(), MathStatus::Overflow);
  clear_status();
  {
    ContextScope isolated = ContextScope::isolated_status();
    set_status(MathStatus::DivisionByZero);
  }
  EXPECT_EQ(math_status(), MathStatus::DivisionByZero);
  clear_status();
  BigUIntLimbs = 2;
  NumberType = 0;
}

TEST_F(ContextTest, EachThreadHasItsOwnContextAndArena) {
  set_precision(40);
  set_status(MathStatus::Overflow);
  Word* here = scratch_alloc(10);
  std::thread other([&] {
    // A new thread starts from the constant initial context, with an empty arena of its own.
    EXPECT_EQ(g_arith.precision, 16);
    EXPECT_EQ(g_arith.status, 0u);
    EXPECT_EQ(scratch_used_words(), 0u);
    Word* mine = scratch_alloc(10);
    EXPECT_NE(mine, here);
    // Exhausting this arena flags only this thread.
    while (math_status() == MathStatus::Ok) scratch_alloc(kScratchMaxRequest);
    EXPECT_EQ(math_status(), MathStatus::InternalLimit);
    set_precision(10005);
  });
  other.join();
  EXPECT_EQ(g_arith.precision, 40);
  EXPECT_EQ(math_status(), MathStatus::Overflow);
  EXPECT_EQ(scratch_used_words(), 10u);
  clear_status();
}
