// Special values, statuses, aliasing and the rules of rounding, guard digits and scratch
// memory of the basic operations.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

#include "core/arith.h"
#include "core/constants.h"
#include "tests/core/test_util.h"

namespace {

class ArithTest : public ::testing::Test {
 protected:
  void SetUp() override { arith_reset(); }
  void TearDown() override { arith_reset(); }
};

void from_int(DecFloat* x, std::int64_t v) {
  dec_from_int(x, v);
}

std::string status_and(const DecFloat* x) {
  return std::to_string(g_arith.status) + " " + raw_text(x);
}

}  // namespace

TEST_F(ArithTest, RoundingCarriesAndOverflows) {
  Dec x;
  set_digits(x, "9999999999999999", 3);
  apply_rounding(x, 4999999999999999999ULL);
  EXPECT_EQ(raw_text(x), "9.999999999999999e3");
  apply_rounding(x, kHalfLimb);
  EXPECT_EQ(raw_text(x), "1.000000000000000e4");
  set_precision(40);  // carry through full limbs
  Dec y;
  set_digits(y, std::string(40, '9'), -7, true);
  apply_rounding(y, kHalfLimb);
  EXPECT_EQ(raw_text(y), "-1." + std::string(39, '0') + "e-6");
  EXPECT_EQ(g_arith.status, 0u);
  set_digits(y, std::string(40, '9'), kMaxExponent);
  apply_rounding(y, 9000000000000000000ULL);
  EXPECT_EQ(status_and(y), "200 inf");
}

TEST_F(ArithTest, ExponentLimitsAndFirstErrorWins) {
  Dec x;
  set_digits(x, "5", 0);
  EXPECT_FALSE(set_exponent_checked(x, -kMaxExponent - 1, true));
  EXPECT_EQ(status_and(x), "0 -0");
  EXPECT_TRUE(set_exponent_checked(x, -kMaxExponent, false));
  EXPECT_FALSE(set_exponent_checked(x, kMaxExponent + 1, true));
  EXPECT_EQ(status_and(x), "200 -inf");
  Dec z, q;
  make_zero(z, false);
  dec_div(q, z, z);  // 203 must not replace the first error
  EXPECT_EQ(status_and(q), "200 NaN");
}

TEST_F(ArithTest, AdditionSpecialsAndSignsOfZero) {
  Dec a, b, r;
  from_int(a, 5);
  dec_add_rounded(r, a, a);
  EXPECT_EQ(raw_text(r), "1.000000000000000e1");
  dec_sub_rounded(r, a, a);
  EXPECT_EQ(raw_text(r), "0");
  dec_negate(a);
  dec_sub_rounded(r, a, a);
  EXPECT_EQ(raw_text(r), "-0");
  Dec pz;
  make_zero(pz, false);
  EXPECT_EQ(dec_compare(r, pz, false), 0) << "-0 equals +0";
  // 1 - 0.9999999999999999 is exactly 1e-16
  from_int(a, 1);
  set_digits(b, "9999999999999999", -1);
  dec_sub_rounded(r, a, b);
  EXPECT_EQ(raw_text(r), "1.000000000000000e-16");
  make_infinity(a, false);
  make_infinity(b, true);
  dec_add_rounded(r, a, a);
  EXPECT_EQ(status_and(r), "0 inf");
  dec_add_rounded(r, a, b);
  EXPECT_EQ(status_and(r), "203 NaN");
  clear_status();
  make_undefined(a);
  from_int(b, 1);
  dec_add_rounded(r, a, b);
  EXPECT_EQ(status_and(r), "0 NaN") << "undefined operands propagate silently";
  make_zero(a, false);
  dec_sub_rounded(r, a, a);
  EXPECT_EQ(raw_text(r), "-0") << "0 - 0 takes b with the flipped sign";
}

TEST_F(ArithTest, SubtractionBorrowsThroughDigitsBeyondTheRoundLimb) {
  // 1 - 5.0000000000000000000001e-3 at one digit: the true difference is below 0.995, but
  // only when the digits beyond the first 19 discarded ones are remembered.
  set_precision(25);
  Dec a, b, r;
  from_int(a, 1);
  set_digits(b, "5000000000000000000000001", -1);
  set_precision(25);
  dec_sub_rounded(r, a, b);
  EXPECT_EQ(raw_text(r), "4.999999999999999999999999e-1");
  set_precision(1);
  Dec c, d, s;
  from_int(c, 1);
  set_digits(d, "5", -21);
  dec_sub_rounded(s, c, d);
  EXPECT_EQ(raw_text(s), "1e0");
  EXPECT_GE(dec_add_sub(s, c, d, 1), 9999999999999999990ULL)
      << "truncated 0.9 with the round limb of 0.0999...95";
  EXPECT_EQ(raw_text(s), "9e-1");
}

TEST_F(ArithTest, MultiplicationAndDivisionSpecials) {
  Dec a, b, r, z, inf;
  from_int(a, 7);
  make_zero(z, true);
  make_infinity(inf, false);
  dec_div_rounded(r, a, z);
  EXPECT_EQ(status_and(r), "200 -inf");
  clear_status();
  dec_div_rounded(r, z, z);
  EXPECT_EQ(status_and(r), "203 NaN");
  clear_status();
  dec_mul_rounded(r, z, inf);
  EXPECT_EQ(status_and(r), "203 NaN");
  clear_status();
  dec_div_rounded(r, inf, z);
  EXPECT_EQ(status_and(r), "0 -inf");
  dec_div_rounded(r, a, inf);
  EXPECT_EQ(status_and(r), "0 0");
  dec_mul_rounded(r, a, z);
  EXPECT_EQ(status_and(r), "0 -0");
  dec_reciprocal(r, z);
  EXPECT_EQ(status_and(r), "200 -inf");
  clear_status();
  dec_mul_word(r, inf, 0);
  EXPECT_EQ(status_and(r), "203 NaN");
  clear_status();
  dec_div_word(r, z, 0, 0);
  EXPECT_EQ(status_and(r), "203 NaN");
  clear_status();
  dec_div_word(r, a, 0, 0);
  EXPECT_EQ(status_and(r), "200 inf");
}

TEST_F(ArithTest, WordOperationsAgreeWithGeneralOnes) {
  std::mt19937_64 rng(7);
  for (std::int64_t p : {1, 5, 16, 19, 20, 38, 39, 77, 200, 1000}) {
    set_precision(p);
    for (int i = 0; i < 40; ++i) {
      Dec a, w, r1, r2;
      std::string digits = std::to_string(1 + rng() % 9);
      for (std::int64_t j = 1; j < p; ++j) digits.push_back(static_cast<char>('0' + rng() % 10));
      set_digits(a, digits, static_cast<std::int64_t>(rng() % 41) - 20, rng() & 1);
      const std::uint64_t m = i < 20 ? 1 + rng() % 2000 : rng() | 1;
      set_precision(20);
      Dec mw;
      apply_rounding(mw, dec_from_word(mw, m));
      set_precision(p);
      // m as a record of this precision (rounded when P < 20 would change it, so skip those)
      if (dec_from_word(w, m) != 0 || dec_compare_word(w, m, false) != 0) continue;
      apply_rounding(r1, dec_mul_word(r1, a, m));
      dec_mul_rounded(r2, a, w);
      EXPECT_EQ(raw_text(r1), raw_text(r2)) << "mul_word P=" << p << " m=" << m;
      apply_rounding(r1, dec_div_word(r1, a, m, 0));
      dec_div_rounded(r2, a, w);
      EXPECT_EQ(raw_text(r1), raw_text(r2)) << "div_word P=" << p << " m=" << m;
    }
  }
  EXPECT_EQ(g_arith.status, 0u);
}

TEST_F(ArithTest, ShortProductAgreesWithExactProduct) {
  // The product at P digits must equal the exact product (computed at 2P digits, where it
  // fits) rounded once to P.
  std::mt19937_64 rng(11);
  for (std::int64_t p : {96, 97, 150, 400, 1000}) {
    for (int i = 0; i < 60; ++i) {
      set_precision(p);
      Dec a, b, r;
      auto random_digits = [&](bool nines) {
        std::string d = std::to_string(1 + rng() % 9);
        for (std::int64_t j = 1; j < p; ++j) {
          d.push_back(nines && j > p / 2 ? '9' : static_cast<char>('0' + rng() % 10));
        }
        return d;
      };
      set_digits(a, random_digits(i % 3 == 0), 0);
      set_digits(b, random_digits(i % 5 == 0), 0);
      dec_mul_rounded(r, a, b);
      const std::string got = raw_text(r);
      std::vector<Word> wa(static_cast<std::size_t>(2 * p / 19 + 8)), wb(wa.size()), wr(wa.size());
      realign(wa.data(), 2 * p, a, p);
      realign(wb.data(), 2 * p, b, p);
      set_precision(2 * p);
      const Word rl = dec_mul(wr.data(), wa.data(), wb.data());
      EXPECT_EQ(rl, 0u) << "2P digits hold the product";
      Dec back;
      set_precision(p);
      convert_precision(back, p, wr.data(), 2 * p);
      EXPECT_EQ(got, raw_text(back)) << "P=" << p;
    }
  }
}

TEST_F(ArithTest, IntegerDivision) {
  Dec a, b, q, r;
  set_precision(40);
  set_digits(a, "1", 30);
  from_int(b, 7);
  set_precision(16);
  Dec a16;
  set_digits(a16, "1", 30);
  Dec b16;
  from_int(b16, 7);
  dec_divmod(q, r, a16, b16);
  EXPECT_EQ(raw_text(q), "1.428571428571428e29");
  EXPECT_EQ(raw_text(r), "1.000000000000000e0");
  // aliasing: quotient into a, remainder into b
  dec_divmod(a16, b16, a16, b16);
  EXPECT_EQ(raw_text(a16), "1.428571428571428e29");
  EXPECT_EQ(raw_text(b16), "1.000000000000000e0");
  // signs: the remainder takes the dividend's sign
  from_int(a, -17);
  from_int(b, 5);
  dec_divmod(q, r, a, b);
  EXPECT_EQ(raw_text(q), "-3.000000000000000e0");
  EXPECT_EQ(raw_text(r), "-2.000000000000000e0");
  dec_divmod(q, nullptr, b, a);
  EXPECT_EQ(raw_text(q), "-0");
  Dec z;
  make_zero(z, false);
  dec_divmod(q, r, a, z);
  EXPECT_EQ(status_and(q) + " " + raw_text(r), "203 NaN NaN");
  clear_status();
  g_cancel_request.store(1);
  dec_divmod(q, r, a, b);
  EXPECT_EQ(status_and(q) + " " + raw_text(r), "207 NaN NaN");
}

TEST_F(ArithTest, IntegerPowers) {
  Dec a, r, z;
  make_zero(z, false);
  dec_pow_int(r, z, 0);
  EXPECT_EQ(raw_text(r), "1.000000000000000e0");
  dec_pow_int(r, z, -1);
  EXPECT_EQ(status_and(r), "203 NaN");
  clear_status();
  from_int(a, -2);
  dec_pow_int(r, a, 3);
  EXPECT_EQ(raw_text(r), "-8.000000000000000e0");
  from_int(a, 2);
  dec_pow_int(r, a, -2);
  EXPECT_EQ(raw_text(r), "2.500000000000000e-1");
  dec_pow_int(r, a, INT64_MIN);  // 2^-(2^63) ~ 10^-(2.78e18) is still representable
  EXPECT_EQ(dec_exponent(r), -2776511644261678567);
  from_int(a, 10);
  dec_pow_int(r, a, INT64_MIN);
  EXPECT_EQ(status_and(r), "0 0") << "10^-(2^63) underflows silently";
  dec_pow_int(r, a, INT64_MAX);
  EXPECT_EQ(status_and(r), "200 inf");
  clear_status();
  make_infinity(a, true);
  dec_pow_int(r, a, 0);
  EXPECT_EQ(status_and(r), "203 NaN");
  clear_status();
  dec_pow_int(r, a, 3);
  EXPECT_EQ(raw_text(r), "-inf");
  dec_pow_int(r, a, -2);
  EXPECT_EQ(raw_text(r), "0");
}

TEST_F(ArithTest, Comparisons) {
  Dec a, b;
  set_digits(a, "1", 10);
  EXPECT_EQ(dec_compare_short(a, 1, 10, false), 0);
  EXPECT_EQ(dec_compare_short(a, 11, 10, false), -1);
  EXPECT_EQ(dec_compare_short(a, 9, 9, false), 1);
  EXPECT_EQ(dec_compare_short(a, 1000000000000000000ULL, 0, false), 1);
  EXPECT_EQ(g_arith.status, 203u);
  clear_status();
  from_int(a, -3);
  EXPECT_EQ(dec_compare_int(a, -3), 0);
  EXPECT_EQ(dec_compare_int(a, -4), 1);
  EXPECT_EQ(dec_compare_word(a, 3, false), -1);
  EXPECT_EQ(dec_compare_word(a, 3, true), 0);
  set_precision(3);
  from_int(b, 12345);  // rounds to 1.23e4, below the integer 12345
  EXPECT_EQ(dec_compare_int(b, 12300), 0);
  EXPECT_EQ(dec_compare_int(b, 12301), -1);
  EXPECT_EQ(dec_compare_int(b, INT64_MIN), 1);
  Dec inf, nan;
  make_infinity(inf, true);
  make_undefined(nan);
  EXPECT_EQ(dec_compare(inf, b, false), -1);
  EXPECT_EQ(dec_compare(nan, b, false), 1);
  EXPECT_EQ(dec_compare(b, nan, false), 1);
  EXPECT_EQ(dec_compare(inf, inf, false), 0);
}

TEST_F(ArithTest, PartsAndConversions) {
  Dec a, r;
  set_digits(a, "123456789", 4, true);  // -12345.6789
  dec_trunc(r, a);
  EXPECT_EQ(raw_text(r), "-1.234500000000000e4");
  dec_frac(r, a);
  EXPECT_EQ(raw_text(r), "-6.789000000000000e-1");
  EXPECT_FALSE(is_integer(a));
  dec_round_digits(r, a, 7);
  EXPECT_EQ(raw_text(r), "-1.234568000000000e4");
  set_digits(a, "99995", 0);
  dec_round_digits(r, a, 4);
  EXPECT_EQ(raw_text(r), "1.000000000000000e1");
  set_digits(a, "25", 0);
  std::uint64_t w;
  std::int64_t i;
  EXPECT_FALSE(dec_to_word(&w, a, 0));
  EXPECT_TRUE(dec_to_word(&w, a, kToWordAllowFraction));
  EXPECT_EQ(w, 2u);
  EXPECT_FALSE(is_integer(a));
  EXPECT_TRUE(is_even(a));
  set_precision(20);
  set_digits(a, "18446744073709551615", 19);
  EXPECT_TRUE(dec_to_word(&w, a, 0));
  EXPECT_EQ(w, 18446744073709551615ULL);
  set_digits(a, "18446744073709551616", 19);
  EXPECT_FALSE(dec_to_word(&w, a, 0));
  EXPECT_EQ(w, 0u);
  set_digits(a, "9223372036854775808", 18, true);
  EXPECT_TRUE(dec_to_int(&i, a, 0));
  EXPECT_EQ(i, INT64_MIN);
  dec_negate(a);
  EXPECT_FALSE(dec_to_int(&i, a, 0));
  EXPECT_FALSE(dec_to_word(&w, a, 0) && dec_negative(a));
  Dec mz;
  make_zero(mz, true);
  EXPECT_FALSE(dec_to_word(&w, mz, 0));
  EXPECT_TRUE(dec_to_word(&w, mz, kToWordAllowNegative));
  set_precision(3);
  set_digits(a, "7", 25);  // 7e25: integer and even at three digits
  EXPECT_TRUE(is_integer(a));
  EXPECT_TRUE(is_even(a));
  set_digits(a, "137", 2);
  EXPECT_FALSE(is_even(a));
}

TEST_F(ArithTest, PrecisionChangesAndGuardDigits) {
  // Widening appends zeros, narrowing returns them; a guarded division rounds once.
  for (std::int64_t p : {1, 18, 19, 20, 37, 38, 57, 1000}) {
    for (std::int64_t g : {0, 1, 3, 18, 19, 20, 38}) {
      set_precision(p);
      Dec a, back;
      from_int(a, 7);
      dec_reciprocal(a, a);
      std::vector<Word> wide(static_cast<std::size_t>(dec_words() + 3));
      widen(wide.data(), a, g);
      EXPECT_EQ(narrow(back, wide.data(), g), 0u);
      EXPECT_EQ(raw_text(back), raw_text(a)) << p << " " << g;
    }
  }
  set_precision(16);
  Dec one, three, r;
  from_int(one, 1);
  from_int(three, 3);
  apply_rounding(r, with_guard_digits(3, dec_div, r, one, three));
  EXPECT_EQ(raw_text(r), "3.333333333333333e-1");
  EXPECT_EQ(g_arith.precision, 16);
  EXPECT_EQ(scratch_used_words(), 0u);
}

TEST_F(ArithTest, PiQuarterTableMatchesItsDigits) {
  std::ifstream f(NUMERION_TEST_DATA "/../../tools/data/constants.txt");
  ASSERT_TRUE(f);
  std::string name, digits;
  std::int64_t e = 0;
  std::string line;
  while (std::getline(f, line)) {
    if (line.rfind("pi/4 ", 0) == 0) {
      std::istringstream in(line);
      in >> name >> e >> digits;
    }
  }
  ASSERT_GE(digits.size(), 10100u);
  for (std::int64_t p : {1, 16, 19, 20, 100, 1000, 10005}) {
    set_precision(p);
    Dec x;
    const Word rl = load_constant(x, kConstPiQuarter);
    Dec want;
    set_digits(want, digits, e);
    EXPECT_EQ(raw_text(x), raw_text(want)) << p;
    EXPECT_EQ(rl, std::stoull(digits.substr(static_cast<std::size_t>(p), 19))) << p;
  }
  set_precision(16);
  Dec x;
  apply_rounding(x, load_constant(x, kConstPiQuarter));
  EXPECT_EQ(raw_text(x), "7.853981633974483e-1");
}

TEST_F(ArithTest, ScratchStackStaysBoundedAndReportsExhaustion) {
  set_precision(10005);
  Dec a, b, r, q;
  from_int(a, 2);
  from_int(b, 3);
  scratch_reset_high_water();
  dec_div_rounded(r, a, b);
  dec_pow_int(q, r, -1234567);
  dec_divmod(q, r, a, b);
  dec_reciprocal(r, b);
  EXPECT_EQ(scratch_used_words(), 0u);
  EXPECT_LT(scratch_high_water_words(), kScratchWords / 8);
  EXPECT_EQ(g_arith.status, 0u);
  // Exhaustion: the operation still writes only memory we own and flags status 400.
  Word* hog = scratch_alloc(kScratchWords - 100);
  ASSERT_NE(hog, nullptr);
  dec_mul_rounded(r, a, b);
  EXPECT_EQ(g_arith.status, 400u);
  arith_reset();
}
