// The refined roots against the iteration at full precision, which they replace, and against the
// roots that the polynomials were built from: close pairs (10^-(P/2) apart), multiple roots and
// coefficients spread over hundreds of decades, at 10, 100 and 750 digits.
#include <cstdlib>
#include <random>

#include "core/arith.h"
#include "solvers/roots_internal.h"
#include "solvers_test_util.h"

namespace {

using roots_detail::magnitude;

// (re10 + im10·i)/10 · 10^shift, plus 10^(shift - P/2) when nudged.
struct Chosen {
  int re10 = 0, im10 = 0;
  int shift = 0;
  bool nudged = false;
  int multiplicity = 1;
};

void value_of(Complex* z, const Chosen& c, std::int64_t p) {
  ScratchScope scope;
  DecFloat* ten = scratch_dec();
  dec_from_int(ten, 10);
  dec_from_int(cplx_re(z), c.re10);
  dec_div_rounded(cplx_re(z), cplx_re(z), ten);
  dec_from_int(cplx_im(z), c.im10);
  dec_div_rounded(cplx_im(z), cplx_im(z), ten);
  roots_detail::shift_exponent(z, c.shift);
  if (c.nudged) {
    DecFloat* d = scratch_dec();
    dec_from_int(d, 1);
    set_exponent_checked(d, c.shift - p / 2);
    dec_add_rounded(cplx_re(z), cplx_re(z), d);
  }
}

// The product of (x - r) over the chosen roots, exact at the current precision.
RootPolynomial expand(const std::vector<Chosen>& roots, std::int64_t p) {
  RootPolynomial poly;
  root_polynomial_init(poly, 0);
  cplx_parse(root_coefficient(poly, 0), u"1", 1, 0);
  ScratchScope scope;
  Complex* r = scratch_cplx();
  Complex* t = scratch_cplx();
  for (const Chosen& c : roots) {
    for (int k = 0; k < c.multiplicity; ++k) {
      value_of(r, c, p);
      RootPolynomial q;
      root_polynomial_init(q, poly.degree + 1);
      for (std::int64_t i = 0; i <= poly.degree; ++i) {
        cplx_add(root_coefficient(q, i + 1), root_coefficient(q, i + 1), root_coefficient(poly, i));
        cplx_mul(t, root_coefficient(poly, i), r);
        cplx_sub(root_coefficient(q, i), root_coefficient(q, i), t);
      }
      poly = q;
    }
  }
  return poly;
}

enum Kind { kClose, kMultiple, kWide };

// Distinct roots of total multiplicity `degree`; conjugate pairs for real coefficients. kClose
// adds a nudged twin to the first root, kMultiple allows multiplicities, kWide spreads the
// sizes over 10^-30 .. 10^30.
std::vector<Chosen> choose(std::mt19937& rng, int degree, bool real_coefficients, Kind kind) {
  std::uniform_int_distribution<int> value(-50, 50), coin(0, 9), shift(-30, 30);
  std::vector<Chosen> roots;
  int left = degree;
  while (left > 0) {
    Chosen c{value(rng), coin(rng) < 5 ? 0 : value(rng), kind == kWide ? shift(rng) : 0};
    if (c.re10 == 0 && c.im10 == 0) continue;
    bool taken = false;
    for (const Chosen& o : roots) {
      taken |= o.shift == c.shift && o.re10 == c.re10 &&
               (o.im10 == c.im10 || (real_coefficients && o.im10 == -c.im10));
    }
    if (taken) continue;
    const bool pair = real_coefficients && c.im10 != 0;
    const int width = pair ? 2 : 1;
    const bool twin = kind == kClose && roots.empty();
    if ((twin ? 2 : 1) * width > left) continue;
    if (kind == kMultiple) {
      while (coin(rng) < 4 && (c.multiplicity + 1) * width <= left) ++c.multiplicity;
    }
    for (int copy = 0; copy < (twin ? 2 : 1); ++copy) {
      c.nudged = copy == 1;
      roots.push_back(c);
      if (pair) roots.push_back({c.re10, -c.im10, c.shift, c.nudged, c.multiplicity});
      left -= width * c.multiplicity;
    }
  }
  return roots;
}

std::string describe(const std::vector<Chosen>& roots) {
  std::string s;
  for (const Chosen& c : roots) {
    s += '(';
    s += std::to_string(c.re10);
    s += ',';
    s += std::to_string(c.im10);
    s += ")e";
    s += std::to_string(c.shift);
    if (c.nudged) s += '+';
    s += '^';
    s += std::to_string(c.multiplicity);
    s += ' ';
  }
  return s;
}

// Solves by both methods; with `reference` the texts must agree. Every chosen root must be
// found to P digits with its multiplicity, and a real one as exactly real.
void check(const std::vector<Chosen>& roots, std::int64_t p, bool reference) {
  // Enough digits for exact coefficients: each term of a sum may lie 2·|shift| + 4 decades
  // apart per root from the largest.
  std::int64_t digits = p + 60;
  for (const Chosen& c : roots) digits += (2 * std::abs(c.shift) + 4) * c.multiplicity;
  set_precision(digits);
  RootPolynomial poly = expand(roots, p);
  std::string what = "P=";
  what += std::to_string(p);
  what += " roots ";
  what += describe(roots);
  RootSet r;
  ApproximateRoots(poly, p, 0, r);
  ASSERT_EQ(app_error_code(), 0u) << what;
  if (reference) {
    RootSet old;
    ApproximateRootsByIteration(poly, p, 0, old);
    ASSERT_EQ(app_error_code(), 0u) << what;
    EXPECT_EQ(roots_text(r), roots_text(old)) << what;
  }
  ASSERT_EQ(r.count, static_cast<std::int64_t>(roots.size())) << what << roots_text(r);
  ScratchScope scope;
  Complex* e = scratch_cplx();
  Complex* d = scratch_cplx();
  for (const Chosen& c : roots) {
    value_of(e, c, p);
    bool found = false;
    for (std::int64_t i = 0; i < r.count && !found; ++i) {
      cplx_sub(d, root_value(r, i), e);
      if (!roots_detail::cplx_is_zero(d) && magnitude(d) > magnitude(e) - p) continue;
      found = true;
      EXPECT_EQ(r.multiplicity[i], c.multiplicity) << what << roots_text(r);
      if (c.im10 == 0) {
        EXPECT_TRUE(cplx_is_real(root_value(r, i))) << what << roots_text(r);
      }
    }
    EXPECT_TRUE(found) << what << " missing " << describe({c}) << ": " << roots_text(r);
  }
}

using RefinedRootsTest = SolverTest;

TEST_F(RefinedRootsTest, ClosePairs) {
  std::mt19937 rng(91);
  for (int degree = 2; degree <= kMaxRootDegree; ++degree) {
    check(choose(rng, degree, true, kClose), 10, true);
    check(choose(rng, degree, false, kClose), 100, degree <= 6);
  }
  // The full-precision iteration takes seconds here beyond degree 3.
  for (int degree = 2; degree <= 4; ++degree) {
    check(choose(rng, degree, degree % 2 == 0, kClose), 750, degree <= 3);
  }
}

TEST_F(RefinedRootsTest, MultipleRoots) {
  std::mt19937 rng(92);
  for (int degree = 2; degree <= kMaxRootDegree; ++degree) {
    check(choose(rng, degree, true, kMultiple), 10, true);
    check(choose(rng, degree, degree % 3 == 0, kMultiple), 100, degree <= 7);
    check(choose(rng, degree, degree % 2 == 0, kMultiple), 750, degree <= 3);
  }
}

TEST_F(RefinedRootsTest, WideRanges) {
  std::mt19937 rng(93);
  for (int degree = 2; degree <= kMaxRootDegree; ++degree) {
    check(choose(rng, degree, true, kWide), 10, true);
    check(choose(rng, degree, degree % 2 == 1, kWide), 100, degree <= 7);
    check(choose(rng, degree, degree % 2 == 0, kWide), 750, degree <= 3);
  }
}

}  // namespace

namespace {

// The refinement alone, on coefficients at the working precision: it must vouch for simple
// and multiple roots by itself, and decline a pair closer than the target digits can verify
// as one double root, leaving no error behind.
bool refines(const std::vector<std::u16string>& high_first, std::int64_t p) {
  const auto m = static_cast<std::int64_t>(high_first.size()) - 1;
  set_precision(root_working_digits(m, p));
  RootPolynomial poly = poly_of(high_first);
  std::vector<Word> out(cplx_words() * static_cast<std::size_t>(m));
  const bool ok = roots_detail::RefineRoots(poly.words.data(), m, p, out.data());
  EXPECT_EQ(app_error_code(), 0u);
  EXPECT_EQ(g_arith.precision, root_working_digits(m, p));
  return ok;
}

TEST_F(RefinedRootsTest, RefinementVouchesOnlyForWhatItVerifies) {
  EXPECT_TRUE(
      refines({u"1", u"-3", u"2", u"7", u"-5", u"11", u"-13", u"4", u"9", u"-6", u"8"}, 750));
  // (x - 2)^4 (x^6 + x + 1)
  EXPECT_TRUE(
      refines({u"1", u"-8", u"24", u"-32", u"16", u"1", u"-7", u"16", u"-8", u"-16", u"16"}, 750));
  EXPECT_TRUE(refines({u"1", u"0", u"1"}, 100));               // +-i on the imaginary axis
  EXPECT_TRUE(refines({u"1", u"2-2i", u"-1-4i", u"-2"}, 60));  // (x - i)^2 (x + 2)
  // (x - 1)(x - 1 - 10^-60) at 100 digits: one group at a dozen digits, split by the refinement.
  EXPECT_TRUE(refines({u"1", u"-2.000000000000000000000000000000000000000000000000000000000001",
                       u"1.000000000000000000000000000000000000000000000000000000000001"},
                      100));
  // Roots 1, 1 + a, 1 + a + b, 1 + a + b + c with a, b, c = 10^-20, 10^-40, 10^-60: groups
  // within groups within groups, deeper than the refinement goes (coefficients from Python's
  // fractions).
  EXPECT_FALSE(refines(
      {u"1", u"-4.000000000000000000030000000000000000000200000000000000000001",
       u"6.0000000000000000000900000000000000000009000000000000000000070000000000000000000300000"
       u"000000000000001",
       u"-4.000000000000000000090000000000000000001200000000000000000012000000000000000000080000"
       u"000000000000000400000000000000000001",
       u"1.000000000000000000030000000000000000000500000000000000000006000000000000000000050000"
       u"000000000000000300000000000000000001"},
      100));
}

TEST_F(RefinedRootsTest, StopEndsTheRefinement) {
  set_precision(100);
  RootPolynomial poly = poly_of({u"1", u"0", u"3", u"-2"});
  RootSet r;
  set_app_error(kAppErrorStopped);
  ApproximateRoots(poly, 100, 0, r);
  EXPECT_EQ(r.count, -1);
  EXPECT_EQ(app_error_code(), kAppErrorStopped);
  EXPECT_EQ(g_arith.precision, 100);
}

// Roots whose parts are exactly zero, or far below the other part, come out as the iteration at
// full precision gives them.
TEST_F(RefinedRootsTest, SmallAndZeroParts) {
  auto both = [](const std::vector<std::u16string>& coeffs, std::int64_t p) {
    set_precision(p + 10);
    RootPolynomial poly = poly_of(coeffs);
    RootSet fresh, old;
    ApproximateRoots(poly, p, 0, fresh);
    ApproximateRootsByIteration(poly, p, 0, old);
    EXPECT_EQ(roots_text(fresh), roots_text(old));
    return roots_text(fresh);
  };
  EXPECT_EQ(both({u"1", u"0", u"1"}, 30), "-i*1; i*1");
  // x^10 + 1 has +-i among its roots.
  const std::string ten =
      both({u"1", u"0", u"0", u"0", u"0", u"0", u"0", u"0", u"0", u"0", u"1"}, 40);
  EXPECT_NE(ten.find("; -i*1; i*1"), std::string::npos) << ten;
  EXPECT_EQ(both({u"1", u"2-2i", u"-1-4i", u"-2"}, 40), "-2*1; i*2");
  // (x - 1 - 10^-40 i)(x + 3): a real polynomial it is not, and the small part stays.
  EXPECT_EQ(both({u"1", u"2-1e-40i", u"-3-3e-40i"}, 30), "-3*1; 1+(1e-40)i*1");
}

}  // namespace

namespace {

// Coefficients over 500 decades: the iteration from its fixed start values runs out of sweeps
// at 30 digits for both, the refinement (whose first approximations start on the circles of the
// Newton polygon) finds every root. References from
//   python3 -c 'import mpmath as mp; mp.mp.dps = 80
//   c = [mp.mpf(x) for x in "-4e-197 -8e232 8e283 -2e115 -4e-137 3e101".split()]
//   for z in mp.polyroots(c, maxsteps=5000, extraprec=4000): print(mp.nstr(z, 40))'
// and the same for the second polynomial; its pure imaginary pair has a real part near 5e-223,
// 209 decades below the root, which counts as rounding noise at these digits.
TEST_F(RefinedRootsTest, CoefficientsOverHundredsOfDecades) {
  struct Case {
    std::vector<std::u16string> coeffs;
    std::vector<std::pair<const char16_t*, const char16_t*>> roots;
  };
  const std::vector<Case> cases = {
      {{u"-4e-197", u"-8e232", u"8e283", u"-2e115", u"-4e-137", u"3e101"},
       {{u"-1.553616252976929433438831213761193181427e-61", u"0"},
        {u"-2e429", u"0"},
        {u"7.768081264884647167194156068805965907137e-62",
         u"-1.34547114281041189337177420260765672772e-61"},
        {u"7.768081264884647167194156068805965907137e-62",
         u"1.34547114281041189337177420260765672772e-61"},
        {u"1e51", u"0"}}},
      {{u"5e-202", u"8e-250", u"-1e125", u"-6e274", u"2e-11", u"8e292", u"-8e-174", u"7e265"},
       {{u"-1.414213562373065048801688723255103923968e163", u"0"},
        {u"-6.0000000000000000000000000108e149", u"0"},
        {u"-1154700538.379251529018297561003914911295", u"0"},
        {u"0", u"-2.958039891549808021283664145780808524208e-14"},
        {u"0", u"2.958039891549808021283664145780808524208e-14"},
        {u"1154700538.379251529018297561003914911295", u"0"},
        {u"1.414213562373125048801688723255103923968e163", u"0"}}},
  };
  const std::int64_t p = 30;
  for (const Case& c : cases) {
    const auto n = static_cast<std::int64_t>(c.coeffs.size()) - 1;
    set_precision(root_working_digits(n, p));
    RootPolynomial poly = poly_of(c.coeffs);
    RootSet r, old;
    if (n == 5) {  // the other one takes long to fail
      ApproximateRootsByIteration(poly, p, 0, old);
      EXPECT_EQ(app_error_code(), 2001u);
      clear_app_error();
    }
    ApproximateRoots(poly, p, 0, r);
    ASSERT_EQ(app_error_code(), 0u);
    ASSERT_EQ(r.count, n) << roots_text(r);
    ScratchScope scope;
    Complex* want = scratch_cplx();
    Complex* d = scratch_cplx();
    for (const auto& [re, im] : c.roots) {
      dec_parse(cplx_re(want), re, -1, 0);
      dec_parse(cplx_im(want), im, -1, 0);
      bool found = false;
      for (std::int64_t i = 0; i < r.count && !found; ++i) {
        cplx_sub(d, root_value(r, i), want);
        found = roots_detail::cplx_is_zero(d) || magnitude(d) <= magnitude(want) - p + 1;
        // Exactly real and exactly imaginary where the reference is.
        if (found) {
          EXPECT_EQ(cplx_is_real(root_value(r, i)), is_zero(cplx_im(want)));
          EXPECT_EQ(is_zero(cplx_re(root_value(r, i))), is_zero(cplx_re(want)));
        }
      }
      EXPECT_TRUE(found) << complex_text(want, p) << " in " << roots_text(r);
    }
  }
}

}  // namespace
