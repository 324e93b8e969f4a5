// Polynomials built from chosen roots (multiple roots and conjugate pairs included) must give
// every root back to P digits, with its multiplicity, and real roots as exactly real.
#include <random>

#include "core/arith.h"
#include "solvers_test_util.h"

namespace {

struct Chosen {
  int re10 = 0, im10 = 0;  // tenths
  int multiplicity = 1;
};

std::int64_t magnitude(const Complex* z) {
  std::int64_t e = INT64_MIN / 4;
  if (!is_special(cplx_re(z))) e = dec_exponent(cplx_re(z));
  if (!is_special(cplx_im(z))) e = std::max(e, dec_exponent(cplx_im(z)));
  return e;
}

void set_tenths(Complex* z, int re10, int im10) {
  DecFloat* ten = scratch_dec();
  dec_from_int(ten, 10);
  dec_from_int(cplx_re(z), re10);
  dec_div_rounded(cplx_re(z), cplx_re(z), ten);
  dec_from_int(cplx_im(z), im10);
  dec_div_rounded(cplx_im(z), cplx_im(z), ten);
}

// Coefficients of the product of (x - r) at the current precision (exact: tenths, degree <= 10).
RootPolynomial expand(const std::vector<Chosen>& roots) {
  RootPolynomial p;
  root_polynomial_init(p, 0);
  cplx_parse(root_coefficient(p, 0), u"1", 1, 0);
  ScratchScope scope;
  Complex* r = scratch_cplx();
  Complex* t = scratch_cplx();
  for (const Chosen& c : roots) {
    for (int k = 0; k < c.multiplicity; ++k) {
      set_tenths(r, c.re10, c.im10);
      RootPolynomial q;
      root_polynomial_init(q, p.degree + 1);
      for (std::int64_t i = 0; i <= p.degree; ++i) {
        cplx_add(root_coefficient(q, i + 1), root_coefficient(q, i + 1), root_coefficient(p, i));
        cplx_mul(t, root_coefficient(p, i), r);
        cplx_sub(root_coefficient(q, i), root_coefficient(q, i), t);
      }
      p = q;
    }
  }
  return p;
}

std::vector<Chosen> choose(std::mt19937& rng, int degree, bool real_coefficients) {
  std::uniform_int_distribution<int> value(-50, 50), coin(0, 9);
  std::vector<Chosen> roots;
  int left = degree;
  while (left > 0) {
    Chosen c{value(rng), coin(rng) < 5 ? 0 : value(rng), 1};
    bool taken = false;
    for (const Chosen& o : roots) {
      taken |= o.re10 == c.re10 && (o.im10 == c.im10 || (real_coefficients && o.im10 == -c.im10));
    }
    if (taken) continue;
    const bool pair = real_coefficients && c.im10 != 0;
    const int width = pair ? 2 : 1;
    if (width > left) continue;
    c.multiplicity = 1;
    while (coin(rng) < 3 && (c.multiplicity + 1) * width <= left) ++c.multiplicity;
    roots.push_back(c);
    if (pair) roots.push_back({c.re10, -c.im10, c.multiplicity});
    left -= width * c.multiplicity;
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
    s += ")^";
    s += std::to_string(c.multiplicity);
    s += ' ';
  }
  return s;
}

void check(const std::vector<Chosen>& roots, std::int64_t p) {
  // Enough digits to hold the expanded coefficients exactly.
  set_precision(std::max<std::int64_t>(p, 40));
  RootPolynomial poly = expand(roots);
  RootSet r;
  ApproximateRoots(poly, p, 0, r);
  std::string what = "P=";
  what += std::to_string(p);
  what += " roots ";
  what += describe(roots);
  ASSERT_EQ(app_error_code(), 0u) << what;
  ASSERT_EQ(r.count, static_cast<std::int64_t>(roots.size())) << what << roots_text(r);
  ScratchScope scope;
  Complex* e = scratch_cplx();
  Complex* d = scratch_cplx();
  for (const Chosen& c : roots) {
    set_tenths(e, c.re10, c.im10);
    bool found = false;
    for (std::int64_t i = 0; i < r.count && !found; ++i) {
      cplx_sub(d, root_value(r, i), e);
      const bool close = (is_zero(cplx_re(d)) && is_zero(cplx_im(d))) ||
                         (c.re10 != 0 || c.im10 != 0 ? magnitude(d) <= magnitude(e) - p : false);
      if (!close) continue;
      found = true;
      EXPECT_EQ(r.multiplicity[i], c.multiplicity) << what << roots_text(r);
      if (c.im10 == 0) {
        EXPECT_TRUE(cplx_is_real(root_value(r, i))) << what << roots_text(r);
      }
    }
    EXPECT_TRUE(found) << what << " missing " << c.re10 << "," << c.im10 << ": " << roots_text(r);
  }
}

using RandomRootsTest = SolverTest;

TEST_F(RandomRootsTest, RealCoefficients) {
  std::mt19937 rng(12);
  for (std::int64_t p : {10, 50}) {
    for (int degree = 1; degree <= kMaxRootDegree; ++degree) {
      for (int trial = 0; trial < 4; ++trial) check(choose(rng, degree, true), p);
    }
  }
}

TEST_F(RandomRootsTest, ComplexCoefficients) {
  std::mt19937 rng(34);
  for (std::int64_t p : {10, 50}) {
    for (int degree = 1; degree <= kMaxRootDegree; ++degree) {
      for (int trial = 0; trial < 2; ++trial) check(choose(rng, degree, false), p);
    }
  }
}

TEST_F(RandomRootsTest, FiveHundredDigits) {
  std::mt19937 rng(56);
  for (int degree = 1; degree <= 4; ++degree) check(choose(rng, degree, true), 500);
  check({{-13, 0, 2}, {4, 9, 1}, {4, -9, 1}}, 500);
}

TEST_F(RandomRootsTest, HighMultiplicity) {
  for (std::int64_t p : {5, 10, 50}) {
    check({{-40, 0, 10}}, p);
    check({{7, 0, 5}, {-3, 0, 5}}, p);
    check({{10, 10, 4}, {10, -10, 4}, {-20, 0, 2}}, p);
    check({{0, 0, 3}, {15, 0, 7}}, p);
  }
}

}  // namespace

namespace {

// Random integer coefficients: every solve succeeds, and the roots with their multiplicities
// reproduce the sum -c_(n-1)/c_n and the product (-1)^n c_0/c_n (Vieta) to about P digits.
TEST_F(RandomRootsTest, IntegerCoefficientsSatisfyVieta) {
  std::mt19937 rng(78);
  std::uniform_int_distribution<int> coef(-99, 99);
  for (std::int64_t p : {10, 50}) {
    for (int degree = 1; degree <= kMaxRootDegree; ++degree) {
      for (int trial = 0; trial < 2; ++trial) {
        std::vector<std::u16string> texts;
        for (int k = 0; k <= degree; ++k) {
          int c = coef(rng);
          if ((k == 0 || k == degree) && c == 0) c = 1;
          const std::string t = std::to_string(c);
          texts.emplace_back(t.begin(), t.end());
        }
        set_precision(p + 20);
        RootPolynomial poly = poly_of(texts);
        RootSet r;
        ApproximateRoots(poly, p, 0, r);
        ASSERT_GE(r.count, 1) << "P=" << p << " degree " << degree << " error " << app_error_code();
        ScratchScope scope;
        Complex* sum = scratch_cplx();
        Complex* prod = scratch_cplx();
        Complex* want = scratch_cplx();
        cplx_make_zero(sum, false);
        cplx_parse(prod, u"1", 1, 0);
        std::int64_t total = 0;
        for (std::int64_t i = 0; i < r.count; ++i) {
          for (std::int64_t k = 0; k < r.multiplicity[i]; ++k) {
            cplx_add(sum, sum, root_value(r, i));
            cplx_mul(prod, prod, root_value(r, i));
          }
          total += r.multiplicity[i];
        }
        EXPECT_EQ(total, degree);
        const Complex* top = root_coefficient(poly, degree);
        cplx_div(want, root_coefficient(poly, degree - 1), top);
        cplx_add(want, want, sum);  // sum + c_(n-1)/c_n should vanish
        EXPECT_LE(magnitude(want), magnitude(top) + 3 - (p - 3)) << complex_text(want, p + 20);
        cplx_div(want, root_coefficient(poly, 0), top);
        if (degree % 2 == 1)
          cplx_add(want, want, prod);
        else
          cplx_sub(want, want, prod);
        EXPECT_LE(magnitude(want), magnitude(prod) + 3 - (p - 3)) << complex_text(want, p + 20);
      }
    }
  }
}

}  // namespace
