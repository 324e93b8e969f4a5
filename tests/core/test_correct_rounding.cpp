// Ziv's loop on values placed next to a rounding boundary: an attempt at P + g digits carries an
// error of up to its bound in the last place, and the loop must retry until the guard digits
// decide, or take the midpoint for the midpoint.
#include <gtest/gtest.h>

#include <string>

#include "core/arith.h"
#include "core/correct_rounding.h"
#include "tests/core/test_util.h"

namespace {

// An attempt that knows the exact value (digits, leading exponent 0) and misses it by `error`
// units in the last of the P + g places, in the given direction.
struct FakeKernel {
  std::string exact;
  std::uint64_t error;
  bool low;
  int calls = 0;
  std::int64_t last_g = 0;

  void operator()(DecFloat* wide, std::int64_t g) {
    ++calls;
    last_g = g;
    ScratchScope scope;
    ContextScope gp = ContextScope::guard(g);
    set_digits(wide, exact, 0);
    DecFloat* e = scratch_dec();
    dec_from_word(e, error);
    set_exponent_checked(e, -(g_arith.precision - 1) + dec_exponent(e));
    dec_add_sub(wide, wide, e, low ? 1 : 0);
  }
};

std::string rounded_by_ziv(FakeKernel& k, std::int64_t g, std::uint64_t bound) {
  Dec r;
  round_by_ziv(r, g, ErrorBound{bound, 0}, [&](DecFloat* wide, std::int64_t gg) { k(wide, gg); });
  return raw_text(r);
}

}  // namespace

TEST(ZivLoop, RetriesUntilTheGuardDigitsDecide) {
  arith_reset();
  // 1.234 5000000000000000000001 at four digits: up, but only 22 digits past the midpoint.
  const std::string above = "12345" + std::string(20, '0') + "1";
  // ... and 1.234 4999999999999999999999: down.
  const std::string below = "12344" + std::string(20, '9') + "9";
  set_precision(4);
  for (bool low : {false, true}) {
    FakeKernel up{above, 3, low};
    EXPECT_EQ(rounded_by_ziv(up, 5, 4), "1.235e0");
    EXPECT_GT(up.calls, 2);
    EXPECT_GE(up.last_g, 23);
    FakeKernel down{below, 3, low};
    EXPECT_EQ(rounded_by_ziv(down, 5, 4), "1.234e0");
    EXPECT_GE(down.last_g, 23);
  }
  // Far from the midpoint one attempt is enough.
  FakeKernel easy{"12341", 3, true};
  EXPECT_EQ(rounded_by_ziv(easy, 5, 4), "1.234e0");
  EXPECT_EQ(easy.calls, 1);
  EXPECT_EQ(scratch_used_words(), 0u);
}

TEST(ZivLoop, ExactMidpointRoundsUpAfterTheLastAttempt) {
  arith_reset();
  set_precision(4);
  // The attempts never leave the midpoint's neighbourhood, from below or above.
  for (bool low : {false, true}) {
    FakeKernel k{"12345", 1, low};
    EXPECT_EQ(rounded_by_ziv(k, 5, 2), "1.235e0");
    EXPECT_EQ(k.last_g, 4 + kZivSlack);
  }
}

TEST(ZivLoop, DecisionThresholds) {
  arith_reset();
  set_precision(4);
  auto decided = [](const std::string& digits, std::int64_t g, std::uint64_t bound) {
    ScratchScope scope;
    ContextScope gp = ContextScope::guard(g);
    DecFloat* w = scratch_dec();
    set_digits(w, digits, 0);
    return rounding_decided(w, 4, bound);
  };
  // g = 3: 1.234|504 is 4 units of the last place above the midpoint.
  EXPECT_TRUE(decided("1234504", 3, 3));
  EXPECT_FALSE(decided("1234504", 3, 4));
  EXPECT_TRUE(decided("1234495", 3, 4));
  EXPECT_FALSE(decided("1234497", 3, 3));
  EXPECT_TRUE(decided("1234300", 3, 99));
  // Far past the 19 digits of a round limb: 30 guard digits, 4 of them apart from the midpoint.
  const std::string zeros(25, '0'), nines(25, '9');
  EXPECT_FALSE(decided("12345" + zeros + "0100", 30, 100));
  EXPECT_TRUE(decided("12345" + zeros + "0101", 30, 100));
  EXPECT_TRUE(decided("12345" + zeros.substr(1) + "10000", 30, 100));
  EXPECT_FALSE(decided("12344" + nines + "9900", 30, 100));
  EXPECT_TRUE(decided("12344" + nines + "9899", 30, 100));
  // A bound as large as the guard digits can hold never decides.
  EXPECT_FALSE(decided("12340", 1, 5));
}
