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
  void TearDown() override {
    set_vector_products(true);
    set_vector_karatsuba_pieces(kVectorKaratsubaPieces);
    arith_reset();
  }
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

TEST_F(FastArithTest, ShortProductLiesBetweenItsColumnsAndTheExactProduct) {
  // At most the exact product P and within B^(n - g + 2) of it; by words also at least the
  // column sums from n - g on. Around each switch of the recursion and of the vector path, with
  // operands that make the parts' columns carry or cancel.
  std::mt19937_64 rng(21);
  for (const bool vector : {false, true}) {
    set_vector_products(vector);
    for (std::int64_t n : std::initializer_list<std::int64_t>{
             5, 6, 9, 13, 20, 33, kVectorShortLimbs - 1, kVectorShortLimbs, 57,
             kShortProductLimbs - 1, kShortProductLimbs, kShortProductLimbs + 1, 145, 529, 531}) {
      for (int kind = 0; kind < 3; ++kind) {
        const std::vector<Word> a = random_limbs(rng, n, kind), b = random_limbs(rng, n, 2 - kind);
        std::vector<Word> low(static_cast<std::size_t>(2 * n)), high(low.size()), got(low.size());
        for (const bool square : {false, true}) {
          const Word* bb = square ? a.data() : b.data();
          for (std::int64_t g : {std::int64_t{4}, std::int64_t{7}}) {
            product_columns(low.data(), a.data(), bb, n, n > g ? n - g : 0);
            product_columns(high.data(), a.data(), bb, n, 0);
            for (std::int64_t t : {std::int64_t{6}, std::int64_t{17}, kShortProductLimbs}) {
              limbs_mul_short(got.data(), a.data(), bb, n, g, t);
              const std::string where =
                  "n=" + std::to_string(n) + " g=" + std::to_string(g) + " t=" + std::to_string(t) +
                  " sq=" + std::to_string(square) + " v=" + std::to_string(vector);
              EXPECT_LE(got, high) << where;
              if (!vector_products_available()) {
                EXPECT_GE(got, low) << where;
              }
              // P - V below B^(n - g + 2): its top n + g - 2 limbs are zeros
              std::vector<Word> diff = high;
              EXPECT_EQ(limbs_sub(diff.data(), got.data(), 2 * n), 0u) << where;
              const std::int64_t zeros = n + g - 2 < 2 * n ? n + g - 2 : 2 * n;
              EXPECT_EQ(first_nonzero(diff.data(), 2 * n) >= zeros, true) << where;
            }
          }
        }
      }
    }
  }
  set_vector_products(true);
}

TEST_F(FastArithTest, VectorProductMatchesColumnProduct) {
  // The exact product on the vector path: sizes around the blocks of 15 limbs the operands are
  // re-cut by and the groups of 8 columns, all-nines limbs (every piece 10^15 - 1), runs of
  // zeros and nines, and squares, whose lanes stop at different pairs.
  if (!vector_products_available()) GTEST_SKIP() << "no vector path on this processor";
  std::mt19937_64 rng(31);
  for (std::int64_t n : std::initializer_list<std::int64_t>{
           1,  2,  3,  7,  8,   14,  15,  16,  29,  30,
           31, 45, 46, 61, 100, 315, 316, 529, 530, kVectorMaxLimbs}) {
    for (int kind = 0; kind < 3; ++kind) {
      const std::vector<Word> a = random_limbs(rng, n, kind), b = random_limbs(rng, n, kind % 2);
      std::vector<Word> want(static_cast<std::size_t>(2 * n)), got(want.size());
      product_columns(want.data(), a.data(), b.data(), n, 0);
      // Karatsuba on the pieces forced down to small halves, and at its switch
      for (std::int64_t t : {std::int64_t{8}, std::int64_t{19}, kVectorKaratsubaPieces}) {
        set_vector_karatsuba_pieces(t);
        vector_product(got.data(), a.data(), b.data(), n);
        EXPECT_EQ(got, want) << "n=" << n << " kind=" << kind << " split from " << t;
      }
      set_vector_karatsuba_pieces(kVectorKaratsubaPieces);
      product_columns(want.data(), a.data(), a.data(), n, 0);
      vector_product(got.data(), a.data(), a.data(), n);
      EXPECT_EQ(got, want) << "square n=" << n << " kind=" << kind;
    }
  }
}

TEST_F(FastArithTest, SplitShortProductRoundsLikeTheExactProduct) {
  // Around the size where dec_mul's short product is split, and at the longest mantissa: the
  // rounded product and the first discarded digit equal those of the exact product (at 2P
  // digits, where it fits). Halves of nines or zeros put the round limb next to the values
  // where the exact product must decide.
  std::mt19937_64 rng(23);
  for (std::int64_t p : std::initializer_list<std::int64_t>{
           19 * (kVectorShortLimbs - 1) + 3, 19 * (kShortProductLimbs - 3) + 1,
           19 * (kShortProductLimbs - 2), 2000, 10005, -2000, -10005}) {
    // negative: the same size by words
    set_vector_products(p > 0);
    p = p < 0 ? -p : p;
    for (int i = 0; i < 16; ++i) {
      set_precision(p);
      Dec a, b, r;
      auto random_digits = [&](char fill) {
        std::string d = std::to_string(1 + rng() % 9);
        for (std::int64_t j = 1; j < p; ++j) {
          d.push_back(fill && j > p / 2 ? fill : static_cast<char>('0' + rng() % 10));
        }
        return d;
      };
      set_digits(a, random_digits(i % 4 == 1 ? '9' : i % 4 == 2 ? '0' : 0), 0);
      set_digits(b, random_digits(i % 4 == 1 ? '9' : 0), 0);
      if (i % 4 == 3) {
        // b = 1 + 10^-(P/2): the product is a + a 10^-(P/2), its tail a's upper half
        std::string d(static_cast<std::size_t>(p / 2 + 1), '0');
        d.front() = d.back() = '1';
        set_digits(b, d, 0);
      }
      const Word rl = dec_mul(r, a, b);
      const std::string got = raw_text(r);
      std::vector<Word> wa(static_cast<std::size_t>(2 * p / 19 + 8)), wb(wa.size()), wr(wa.size());
      realign(wa.data(), 2 * p, a, p);
      realign(wb.data(), 2 * p, b, p);
      Dec want, rest;
      {
        ContextScope exact = ContextScope::precision(2 * p);
        EXPECT_EQ(dec_mul(wr.data(), wa.data(), wb.data()), 0u) << "2P digits hold the product";
      }
      set_precision(p);
      const Word want_rl = realign(want, p, wr.data(), 2 * p);
      EXPECT_EQ(got, raw_text(want)) << "P=" << p << " i=" << i;
      EXPECT_EQ(rl / (kLimbBase / 10), want_rl / (kLimbBase / 10)) << "P=" << p << " i=" << i;
      dec_mul_rounded(r, a, b);
      apply_rounding(want, want_rl);
      EXPECT_EQ(raw_text(r), raw_text(want)) << "P=" << p << " i=" << i;
    }
  }
  set_vector_products(true);
}

TEST_F(FastArithTest, SplitShortProductDefersToTheExactProductAtTies) {
  // a = x 2^m and b = y 5^m have dense limbs, but their product x y 10^m ends in m zeros: with
  // m = P - 2 it has P or P + 1 significant digits, so the exact round limb is 0 or (x ending
  // in 5, y odd) exactly 5 10^18, the two values the short product's error cannot settle.
  std::mt19937_64 rng(29);
  for (std::int64_t p : std::initializer_list<std::int64_t>{
           19 * kVectorShortLimbs + 2, 19 * kShortProductLimbs - 40, 19 * kShortProductLimbs + 7,
           3000, 10005, -3000, -10005}) {
    // negative: the same size by words
    set_vector_products(p > 0);
    p = p < 0 ? -p : p;
    set_precision(p);
    const std::int64_t m = p - 2;
    Dec two_m, five_m;
    from_digits_short(two_m, 1);
    from_digits_short(five_m, 1);
    for (std::int64_t k = 0; k < m; k += 27) {
      const int e = static_cast<int>(m - k < 27 ? m - k : 27);
      Word p5 = 1;
      for (int j = 0; j < e; ++j) p5 *= 5;
      ASSERT_EQ(dec_mul_word(two_m, two_m, Word{1} << e), 0u);
      ASSERT_EQ(dec_mul_word(five_m, five_m, p5), 0u);
    }
    const std::int64_t dx = p - (dec_exponent(two_m) + 1), dy = p - (dec_exponent(five_m) + 1);
    for (int i = 0; i < 6; ++i) {
      auto random_digits = [&](std::int64_t len, char last) {
        std::string d = std::to_string(1 + rng() % 9);
        while (static_cast<std::int64_t>(d.size()) < len) {
          d.push_back(static_cast<char>('0' + rng() % 10));
        }
        d.back() = last;
        return d;
      };
      Dec x, y, a, b, r;
      set_digits(x, random_digits(dx, '5'), dx - 1);
      set_digits(y, random_digits(dy, '7'), dy - 1);
      ASSERT_EQ(dec_mul(a, x, two_m), 0u);
      ASSERT_EQ(dec_mul(b, y, five_m), 0u);
      const Word rl = dec_mul(r, a, b);
      const std::string got = raw_text(r);
      std::vector<Word> wa(static_cast<std::size_t>(2 * p / 19 + 8)), wb(wa.size()), wr(wa.size());
      realign(wa.data(), 2 * p, a, p);
      realign(wb.data(), 2 * p, b, p);
      {
        ContextScope exact = ContextScope::precision(2 * p);
        ASSERT_EQ(dec_mul(wr.data(), wa.data(), wb.data()), 0u);
      }
      Dec want;
      const Word want_rl = realign(want, p, wr.data(), 2 * p);
      ASSERT_TRUE(want_rl == 0 || want_rl == kHalfLimb) << "P=" << p << " i=" << i;
      EXPECT_EQ(rl, want_rl) << "P=" << p << " i=" << i;
      EXPECT_EQ(got, raw_text(want)) << "P=" << p << " i=" << i;
    }
  }
  set_vector_products(true);
}

TEST_F(FastArithTest, OneLimbProductIsTheExactProductCut) {
  // Mantissas of one limb (P <= 19): digits and round limb against the exact product at 2P
  // digits, for the smallest and largest mantissas and for products on either side of 10^(2P-1),
  // where the product gains its last digit.
  std::mt19937_64 rng(37);
  for (std::int64_t p = 1; p <= 19; ++p) {
    set_precision(p);
    if (g_arith.limb_count != 1) continue;
    const Word lo = kPow10[p - 1], span = 9 * lo;  // mantissas lo .. lo + span - 1
    // floor(sqrt(10) 10^(p-1)): its square is just below 10^(2p-1), the next one above
    Word root = static_cast<Word>(3.1622776601683795 * static_cast<double>(lo));
    while (static_cast<u128>(root) * root >= static_cast<u128>(kPow10[p]) * lo) --root;
    while (static_cast<u128>(root + 1) * (root + 1) < static_cast<u128>(kPow10[p]) * lo) ++root;
    std::vector<std::pair<Word, Word>> cases = {
        {lo, lo},     {lo + span - 1, lo + span - 1}, {lo, lo + span - 1},
        {root, root}, {root + 1, root + 1},           {root, root + 1}};
    for (int i = 0; i < 40; ++i) cases.push_back({lo + rng() % span, lo + rng() % span});
    for (const auto& [x, y] : cases) {
      Dec a, b, r;
      set_digits(a, std::to_string(x), static_cast<std::int64_t>(rng() % 21) - 10);
      set_digits(b, std::to_string(y), static_cast<std::int64_t>(rng() % 21) - 10, x % 2 == 1);
      const Word rl = dec_mul(r, a, b);
      // at 2P digits but at least two limbs, so that the reference takes the general path
      const std::int64_t q = 2 * p > 20 ? 2 * p : 20;
      std::vector<Word> wa(8), wb(8), wr(8);
      realign(wa.data(), q, a, p);
      realign(wb.data(), q, b, p);
      {
        ContextScope exact = ContextScope::precision(q);
        ASSERT_EQ(dec_mul(wr.data(), wa.data(), wb.data()), 0u);
      }
      Dec want;
      const Word want_rl = realign(want, p, wr.data(), q);
      EXPECT_EQ(rl, want_rl) << "P=" << p << " " << x << " * " << y;
      EXPECT_EQ(raw_text(r), raw_text(want)) << "P=" << p << " " << x << " * " << y;
    }
  }
}

TEST_F(FastArithTest, SquaresByWordsEqualProductsOfACopy) {
  // Without the vector path, squares switch to the split short product later than products
  // (kShortSquareLimbs): on either side of that and at the longest mantissa, the square and
  // the product of a copy give the same digits and round limb, with the halves of nines that
  // send the rounding to the exact product.
  std::mt19937_64 rng(41);
  set_vector_products(false);
  for (std::int64_t p : std::initializer_list<std::int64_t>{19 * (kShortSquareLimbs - 3),
                                                            19 * (kShortSquareLimbs - 1), 10005}) {
    set_precision(p);
    for (int i = 0; i < 6; ++i) {
      Dec a, c, r1, r2;
      std::string d = std::to_string(1 + rng() % 9);
      for (std::int64_t j = 1; j < p; ++j) {
        d.push_back(i % 2 == 1 && j > p / 2 ? '9' : static_cast<char>('0' + rng() % 10));
      }
      set_digits(a, d, 0);
      dec_copy(c, a);
      const Word rl1 = dec_mul(r1, a, a);
      const Word rl2 = dec_mul(r2, a, c);
      EXPECT_EQ(rl1, rl2) << "P=" << p << " i=" << i;
      EXPECT_EQ(raw_text(r1), raw_text(r2)) << "P=" << p << " i=" << i;
    }
  }
}

TEST_F(FastArithTest, SumsAreTheTruncatedExactSums) {
  // Sums and differences in one pass over the shifted operand: the kept digits and the first
  // digit of the round limb are those of the exact result (computed at P + d + 40 digits),
  // for shifts of whole limbs, of limbs and digits, and past the top limb of the other
  // operand, with carries through runs of nines and borrows through runs of zeros.
  std::mt19937_64 rng(23);
  for (std::int64_t p : {20, 38, 39, 57, 95, 100, 380, 1000}) {
    const std::int64_t n = (p + 18) / 19;
    for (std::int64_t d :
         {std::int64_t{0}, std::int64_t{1}, std::int64_t{18}, std::int64_t{19}, std::int64_t{20},
          std::int64_t{38}, 19 * (n - 1), 19 * n - 1, p - 1, p, p + 5}) {
      for (int i = 0; i < 6; ++i) {
        set_precision(p);
        // kinds: random, all nines, zeros after two digits, zeros up to a last digit 7 (digits
        // beyond an all-zero round limb that a difference must borrow for)
        auto digits = [&](int kind) {
          std::string s = std::to_string(1 + rng() % 9);
          for (std::int64_t j = 1; j < p; ++j) {
            const bool zero = (kind == 2 && j > 2) || (kind == 3 && j < p - 1);
            s.push_back(kind == 1 ? '9' : zero ? '0' : char('0' + rng() % 10));
          }
          if (kind == 3 && p > 1) s.back() = '7';
          return s;
        };
        Dec a, b, got, exact_small;
        set_digits(a, digits(i % 3), 0, false);
        set_digits(b, digits(i % 2 == 0 ? 3 : (i + 1) % 3), -d, i % 2 == 1);
        const Word rl = dec_add_sub(got, a, b, i >= 3 ? 1 : 0);
        const std::int64_t q = p + d + 40;
        std::vector<Word> wa(static_cast<std::size_t>(q / 19 + 3)), wb(wa.size()), ws(wa.size());
        realign(wa.data(), q, a, p);
        realign(wb.data(), q, b, p);
        Word exact_rl;
        {
          ContextScope wide = ContextScope::precision(q);
          dec_add_sub(ws.data(), wa.data(), wb.data(), i >= 3 ? 1 : 0);
        }
        exact_rl = realign(exact_small, p, ws.data(), q);
        EXPECT_EQ(raw_text(got), raw_text(exact_small)) << "P=" << p << " d=" << d << " i=" << i;
        EXPECT_EQ(rl / kPow10[18], exact_rl / kPow10[18]) << "P=" << p << " d=" << d << " i=" << i;
      }
    }
  }
}
