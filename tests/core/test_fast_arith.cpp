// The fast methods of long operands against the plain ones they replace: Karatsuba and the
// square's columns against the column product, at and around the sizes where they switch.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "core/arith.h"
#include "core/elementary.h"
#include "core/elementary_internal.h"
#include "core/limbs.h"
#include "tests/core/test_util.h"

namespace {

class FastArithTest : public ::testing::Test {
 protected:
  void SetUp() override { arith_reset(); }
  void TearDown() override { arith_reset(); }
};

// Random limbs; kind 1 gives all limbs 10^19 - 1 (every sum carries), kind 2 long runs of
// zeros and nines.
std::vector<Word> random_limbs(std::mt19937_64& rng, std::int64_t n, int kind) {
  std::vector<Word> v(static_cast<std::size_t>(n));
  for (Word& w : v) {
    if (kind == 1) {
      w = kLimbBase - 1;
    } else if (kind == 2) {
      w = rng() % 3 == 0 ? 0 : kLimbBase - 1 - rng() % 2;
    } else {
      w = rng() % kLimbBase;
    }
  }
  return v;
}

void from_digits_short(DecFloat* x, std::uint64_t v) {
  apply_rounding(x, dec_from_word(x, v));
}

}  // namespace

TEST_F(FastArithTest, KaratsubaMatchesColumnProduct) {
  std::mt19937_64 rng(5);
  for (std::int64_t n : std::initializer_list<std::int64_t>{
           1, 2, 3, 4, 5, 7, 8, 9, 16, 17, 39, 40, 41, 47, 48, 49, 81, 97, 160, 531}) {
    for (int kind = 0; kind < 3; ++kind) {
      const std::vector<Word> a = random_limbs(rng, n, kind), b = random_limbs(rng, n, kind % 2);
      std::vector<Word> want(static_cast<std::size_t>(2 * n)), got(want.size());
      product_columns(want.data(), a.data(), b.data(), n, 0);
      for (std::int64_t t : {std::int64_t{4}, std::int64_t{9}, kKaratsubaLimbs}) {
        limbs_mul_karatsuba(got.data(), a.data(), b.data(), n, t);
        EXPECT_EQ(got, want) << "n=" << n << " threshold=" << t << " kind=" << kind;
      }
      limbs_mul(got.data(), a.data(), b.data(), n);
      EXPECT_EQ(got, want) << "n=" << n;
      // squares: the recursion and the columns that sum each cross product once
      product_columns(want.data(), a.data(), a.data(), n, 0);
      for (std::int64_t t : {std::int64_t{4}, std::int64_t{9}, kKaratsubaSquareLimbs}) {
        limbs_mul_karatsuba(got.data(), a.data(), a.data(), n, t);
        EXPECT_EQ(got, want) << "square n=" << n << " threshold=" << t << " kind=" << kind;
      }
      for (std::int64_t low : {std::int64_t{0}, n - 4 > 0 ? n - 4 : 0}) {
        product_columns(want.data(), a.data(), a.data(), n, low);
        square_columns(got.data(), a.data(), n, low);
        EXPECT_EQ(got, want) << "square columns n=" << n << " from " << low;
      }
    }
  }
}

TEST_F(FastArithTest, SquareEqualsProductOfACopy) {
  // dec_mul takes the square's path when both operands are one record; the result and its
  // round limb must be those of the general product, including the rare full recomputation.
  std::mt19937_64 rng(9);
  for (std::int64_t p :
       std::initializer_list<std::int64_t>{16, 76, 77, 95, 96, 760, 912, 1000, 10005}) {
    set_precision(p);
    for (int i = 0; i < 20; ++i) {
      Dec a, c, r1, r2;
      std::string d = std::to_string(1 + rng() % 9);
      for (std::int64_t j = 1; j < p; ++j) {
        d.push_back(i % 4 == 1 && j > p / 2 ? (i % 8 == 1 ? '9' : '0')
                                            : static_cast<char>('0' + rng() % 10));
      }
      set_digits(a, d, 0);
      dec_copy(c, a);
      const Word rl1 = dec_mul(r1, a, a);
      const Word rl2 = dec_mul(r2, a, c);
      EXPECT_EQ(rl1, rl2) << "P=" << p;
      EXPECT_EQ(raw_text(r1), raw_text(r2)) << "P=" << p;
    }
  }
}

TEST_F(FastArithTest, NewtonQuotientMatchesLongDivision) {
  // Same digits and round limb as the long division, around the switch and at the top, with
  // quotients that end in long runs of nines or zeros (exact quotients, near-exact ones).
  std::mt19937_64 rng(13);
  for (std::int64_t p :
       std::initializer_list<std::int64_t>{19 * (kNewtonDivLimbs - 1), 19 * kNewtonDivLimbs - 5,
                                           19 * kNewtonDivLimbs + 1, 1000, 2001, 10005}) {
    set_precision(p);
    for (int i = 0; i < 12; ++i) {
      Dec a, b, q1, q2;
      auto random_digits = [&] {
        std::string d = std::to_string(1 + rng() % 9);
        for (std::int64_t j = 1; j < p; ++j) d.push_back(static_cast<char>('0' + rng() % 10));
        return d;
      };
      set_digits(b, random_digits(), static_cast<std::int64_t>(rng() % 7) - 3);
      if (i % 3 == 0) {
        // a = b * c exactly (c short): the quotient is c, the round limb 0
        Dec c;
        from_digits_short(c, 1 + rng() % 999999);
        dec_mul(a, b, c);
      } else if (i % 3 == 1) {
        // a = b * c rounded: quotients next to an exact value
        Dec c;
        set_digits(c, random_digits().substr(0, static_cast<std::size_t>(p / 2)), 0);
        dec_mul_rounded(a, b, c);
      } else {
        set_digits(a, random_digits(), static_cast<std::int64_t>(rng() % 7) - 3);
      }
      if (i % 4 == 3) dec_negate(a);
      const Word rl1 = dec_div(q1, a, b);
      const Word rl2 = dec_div_long(q2, a, b);
      EXPECT_EQ(rl1, rl2) << "P=" << p << " i=" << i;
      EXPECT_EQ(raw_text(q1), raw_text(q2)) << "P=" << p << " i=" << i;
      // aliasing: the quotient into the divisor
      dec_copy(q1, b);
      dec_div(q1, a, q1);
      EXPECT_EQ(raw_text(q1), raw_text(q2));
    }
  }
}

TEST_F(FastArithTest, SquareRootIsTheTruncatedRoot) {
  // At every length, by the root with remainder and from the switch on by Newton's, the P
  // digits s satisfy s^2 <= x < (s + ulp)^2, checked with exact products at 2P + 2 digits; the
  // rounded root equals the plain iteration's; perfect squares give their root with a zero
  // round limb, and one unit below a perfect square the root stays below it.
  std::mt19937_64 rng(17);
  for (std::int64_t p : std::initializer_list<std::int64_t>{
           1, 2, 5, 18, 19, 20, 38, 39, 57, 100, 380, 19 * (kNewtonSqrtLimbs - 1),
           19 * kNewtonSqrtLimbs - 3, 19 * kNewtonSqrtLimbs + 2, 1000, 4000, 10005}) {
    for (int i = 0; i < 8; ++i) {
      set_precision(p);
      Dec x, s, r1, r2;
      std::string d = std::to_string(1 + rng() % 9);
      for (std::int64_t j = 1; j < p; ++j) d.push_back(static_cast<char>('0' + rng() % 10));
      set_digits(x, d, static_cast<std::int64_t>(rng() % 9) - 4);
      const bool square = i >= 6 && p >= 4;
      if (square) {
        set_digits(x, d.substr(0, static_cast<std::size_t>(p / 2 - 1)), 3);
        dec_mul(x, x, x);  // exact: a square of P/2 - 1 digits
        if (i == 6) {
          // one unit in the last place less: the root lies just below the square's root
          Dec one_ulp;
          dec_from_word(one_ulp, 1);
          set_exponent_checked(one_ulp, dec_exponent(x) - (p - 1), false);
          dec_add_sub(x, x, one_ulp, 1);
        }
      }
      const Word rl = dec_sqrt(s, x);
      if (square && i == 7) {
        EXPECT_EQ(rl, 0u) << "P=" << p;
      }
      apply_rounding(r1, with_guard_digits(kSqrtGuardDigits, dec_sqrt, r1, x));
      apply_rounding(r2, with_guard_digits(kSqrtGuardDigits, dec_sqrt_plain, r2, x));
      EXPECT_EQ(raw_text(r1), raw_text(r2)) << "P=" << p << " i=" << i;
      // s + ulp: add one unit in the last place
      Dec up, one_ulp;
      dec_from_word(one_ulp, 1);
      set_exponent_checked(one_ulp, dec_exponent(s) - (p - 1), false);
      dec_add_sub(up, s, one_ulp, 0);
      const std::int64_t q = 2 * p + 2;
      std::vector<Word> ws(static_cast<std::size_t>(q / 19 + 4)), wu(ws.size()), wx(ws.size());
      realign(ws.data(), q, s, p);
      realign(wu.data(), q, up, p);
      realign(wx.data(), q, x, p);
      ContextScope exact = ContextScope::precision(q);  // beyond the largest setting at P = 10005
      EXPECT_EQ(dec_mul(ws.data(), ws.data(), ws.data()), 0u);
      EXPECT_EQ(dec_mul(wu.data(), wu.data(), wu.data()), 0u);
      EXPECT_LE(dec_compare(ws.data(), wx.data(), false), 0) << "P=" << p << " i=" << i;
      EXPECT_GT(dec_compare(wu.data(), wx.data(), false), 0) << "P=" << p << " i=" << i;
    }
  }
}

TEST_F(FastArithTest, ShortPathsWriteTheirOwnSign) {
  // The one-limb paths write into a record that may still hold a negative number (the
  // calculator's stack reuses them): every result must carry its own sign.
  for (std::int64_t p : {1, 9, 16, 18, 19}) {
    set_precision(p);
    Dec four, two, r, want;
    from_digits_short(four, 4);
    from_digits_short(two, 2);
    auto stale = [&] {
      from_digits_short(r, 7);
      dec_negate(r);
    };
    stale();
    dec_sqrt_rounded(r, four);
    EXPECT_FALSE(dec_negative(r)) << "sqrt P=" << p;
    EXPECT_EQ(dec_compare(r, two, false), 0) << "sqrt P=" << p;
    stale();
    dec_mul_rounded(r, two, two);
    EXPECT_EQ(dec_compare(r, four, false), 0) << "mul P=" << p;
    stale();
    dec_div_rounded(r, four, two);
    EXPECT_EQ(dec_compare(r, two, false), 0) << "div P=" << p;
    stale();
    dec_add_rounded(r, two, two);
    EXPECT_EQ(dec_compare(r, four, false), 0) << "add P=" << p;
    stale();
    dec_sub_rounded(r, four, two);
    EXPECT_EQ(dec_compare(r, two, false), 0) << "sub P=" << p;
  }
}
