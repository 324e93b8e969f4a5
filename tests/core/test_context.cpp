#include <gtest/gtest.h>

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
