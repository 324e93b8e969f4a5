// Sine, cosine and tangent where the reduction needs more digits of pi than the table holds:
// next to multiples of pi/2 at 6,000 and 10,005 digits, and arguments up to 10^10004
// (tests/data/gen_trig_long.py). Every result must be the correctly rounded one.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <thread>
#include <vector>

#include "core/arith.h"
#include "core/constants.h"
#include "core/trig.h"
#include "tests/core/test_util.h"

TEST(TrigLongReference, CorrectlyRoundedNextToMultiplesAndForHugeArguments) {
  std::ifstream file(NUMERION_TEST_DATA "/trig_long.txt");
  ASSERT_TRUE(file);
  std::string line;
  int cases = 0;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    LineReader in(line);
    const std::string fn = in.word();
    const std::int64_t p = std::stoll(in.word());
#ifdef NUMERION_SANITIZE
    if (p > 2000) continue;  // the sanitizers make the largest precisions too slow
#endif
    arith_reset();
    set_precision(p);
    Dec x, want, got;
    in.number(x);
    in.word();  // "="
    in.number(want);
    dec_trig_rounded(got, x, fn == "sin" ? 0 : fn == "cos" ? 1 : 2, 0);
    ++cases;
    EXPECT_EQ(raw_text(got).substr(0, 60), raw_text(want).substr(0, 60))
        << fn << " P=" << p << " x=" << raw_text(x).substr(0, 40) << "...e" << dec_exponent(x);
    EXPECT_TRUE(raw_text(got) == raw_text(want)) << fn << " P=" << p << " differs in a late digit";
    EXPECT_EQ(g_arith.status, 0u);
    EXPECT_EQ(scratch_used_words(), 0u);
  }
#ifdef NUMERION_SANITIZE
  EXPECT_GT(cases, 40);
#else
  EXPECT_GT(cases, 60);
#endif
  arith_reset();
}

TEST(TrigLong, RefusedOnlyBeyondTheLongestReduction) {
  arith_reset();
  Dec x, r;
  set_digits(x, "1", kTrigMaxExponent - 1);
  dec_trig_rounded(r, x, 0, 0);
  EXPECT_FALSE(is_special(r));
  EXPECT_EQ(g_arith.status, 0u);
  set_digits(x, "1", kTrigMaxExponent);
  dec_trig_rounded(r, x, 1, 0);
  EXPECT_TRUE(is_undefined(r));
  EXPECT_EQ(math_status(), MathStatus::Undefined);
  arith_reset();
  dec_trig_rounded(r, x, 2, 180);  // and in degrees, though their reduction would be exact
  EXPECT_TRUE(is_undefined(r));
  EXPECT_EQ(math_status(), MathStatus::Undefined);
  // Degrees are reduced exactly in their own unit, however large: 10^30 = 280 mod 360.
  arith_reset();
  set_digits(x, "1", 30);
  Dec want;
  dec_trig_rounded(r, x, 0, 180);
  set_digits(x, "28", 2);
  dec_trig_rounded(want, x, 0, 180);
  EXPECT_EQ(raw_text(r), raw_text(want));
  arith_reset();
}

TEST(TrigLong, ComputedPiAgreesWithTheTable) {
  // The computed digits against the table's, over the table's whole length, on a fresh thread
  // (the digits are kept per thread).
  std::string table, computed;
  std::thread([&] {
    arith_reset();
    set_precision_shape(19 * static_cast<std::int64_t>(kConstantLimbs));
    // Records longer than Dec holds.
    std::vector<Word> a(kConstantLimbs + 2), b(kConstantLimbs + 2);
    load_constant(a.data(), kConstPiQuarter);
    load_computed_pi_quarter(b.data());
    table = raw_text(a.data());
    computed = raw_text(b.data());
    arith_reset();
  }).join();
  EXPECT_GT(table.size(), 10000u);
  EXPECT_TRUE(table == computed)
      << "first difference at character "
      << std::mismatch(table.begin(), table.end(), computed.begin(), computed.end()).first -
             table.begin();
}
