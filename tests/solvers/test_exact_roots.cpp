// Exact solutions: the square part of integers built from known primes, division by a linear
// factor, the 228-character cut, and polynomials expanded here from chosen rational roots
// (integer arithmetic of the test, independent of the rationals under test) whose roots must
// all come back as reduced fractions with their multiplicities.
#include <algorithm>
#include <map>
#include <numeric>
#include <random>

#include "core/thread_scratch.h"
#include "primes/prime_test.h"
#include "solvers/equation_job.h"
#include "solvers/exact_roots.h"
#include "solvers_test_util.h"

namespace {

using u128 = unsigned __int128;

using ExactRootsTest = PageTest;

void set_u128(BigUInt* x, u128 v) {
  x[0] = static_cast<Word>(v);
  x[1] = static_cast<Word>(v >> 64);
}
u128 get_u128(const BigUInt* x) {
  return (static_cast<u128>(x[1]) << 64) | x[0];
}

std::string narrow(const std::u16string& s) {
  std::string out;
  for (char16_t c : s)
    out += c == u'\u2026' ? std::string("...") : std::string(1, static_cast<char>(c));
  return out;
}

std::u16string widen(const std::string& s) {
  return std::u16string(s.begin(), s.end());
}

TEST_F(ExactRootsTest, SquarePartMatchesAKnownFactorisation) {
  // Known primes, small to beyond the cube root of the products formed below.
  const std::uint64_t primes[] = {
      2, 3, 5, 7, 11, 13, 97, 65537, 104729, 999983, 1000003, 1299709, 2147483647, 4294967291ULL};
  std::mt19937_64 rng(12345);
  ScratchScope scope;
  BigUInt* m = scratch_alloc(2);
  BigUInt* a = scratch_alloc(2);
  BigUInt* b = scratch_alloc(2);
  for (int round = 0; round < 300; ++round) {
    // m = a^2 b with b a product of distinct primes: the expected split by construction.
    u128 want_a = 1, want_b = 1;
    for (std::uint64_t p : primes) {
      const int e = static_cast<int>(rng() % 5);
      for (int k = 0; k < e; ++k) {
        const u128 next_b = (k % 2 == 0) ? want_b * p : want_b / p;
        const u128 next_a = (k % 2 == 1) ? want_a * p : want_a;
        const u128 square = next_a * next_a;
        if (next_a > (static_cast<u128>(1) << 40) || square > (~static_cast<u128>(0)) / next_b ||
            square * next_b > (static_cast<u128>(1) << 80)) {
          break;
        }
        want_a = next_a;
        want_b = next_b;
      }
    }
    set_u128(m, want_a * want_a * want_b);
    SquarePart(m, a, b);
    EXPECT_EQ(get_u128(a), want_a) << round;
    EXPECT_EQ(get_u128(b), want_b) << round;
  }
  // Perfect squares and cubes, a product of two primes above the cube root, 0 and 1.
  const struct {
    u128 m, a, b;
  } cases[] = {
      {0, 0, 1},
      {1, 1, 1},
      {static_cast<u128>(4294967291ULL) * 4294967291ULL, 4294967291ULL, 1},
      {static_cast<u128>(1000003) * 1000003 * 1000003, 1000003, 1000003},
      {static_cast<u128>(999983) * 1000003, 1, static_cast<u128>(999983) * 1000003},
      {static_cast<u128>(8) * 27 * 125, 30, 30},
      {static_cast<u128>(1) << 101, static_cast<u128>(1) << 50, 2},
  };
  for (const auto& c : cases) {
    set_u128(m, c.m);
    SquarePart(m, a, b);
    EXPECT_EQ(get_u128(a), c.a);
    EXPECT_EQ(get_u128(b), c.b);
  }
  EXPECT_EQ(math_status(), MathStatus::Ok);
}

// A random prime of about `bits` bits, proven by the prime test.
u128 random_prime(std::mt19937_64& rng, int bits) {
  for (;;) {
    const u128 candidate = (static_cast<u128>(rng()) << 64 | rng()) >> (128 - bits) | 1;
    if (prime_test_u128(candidate, PrimeClock::now() + std::chrono::seconds(10)) ==
        PrimeVerdict::Prime) {
      return candidate;
    }
  }
}

TEST_F(ExactRootsTest, SquarePartAgreesWithTrialDivisionAndReachesLargeFactors) {
  std::mt19937_64 rng(777);
  ScratchScope scope;
  BigUInt* m = scratch_alloc(2);
  BigUInt* a = scratch_alloc(2);
  BigUInt* b = scratch_alloc(2);
  BigUInt* ra = scratch_alloc(2);
  BigUInt* rb = scratch_alloc(2);
  for (int round = 0; round < 300; ++round) {
    // Squares of small numbers times random cofactors keep square factors frequent.
    const u128 square = 1 + rng() % 5000;
    set_u128(m, square * square * (1 + rng() % 40000000));
    SquarePart(m, a, b);
    SquarePartTrialDivision(m, ra, rb);
    EXPECT_EQ(get_u128(a), get_u128(ra)) << round;
    EXPECT_EQ(get_u128(b), get_u128(rb)) << round;
  }
  // Square factors far above the cube root, where trial division would need about 10^9 steps.
  for (int round = 0; round < 6; ++round) {
    const u128 p = random_prime(rng, 34), q = random_prime(rng, 24), r = random_prime(rng, 14);
    set_u128(m, p * p * q * r * r);
    SquarePart(m, a, b);
    EXPECT_EQ(get_u128(a), p * r) << round;
    EXPECT_EQ(get_u128(b), q) << round;
  }
  EXPECT_EQ(math_status(), MathStatus::Ok);
}

RationalPolynomial rational_poly(const std::vector<std::u16string>& high_first) {
  RationalPolynomial p;
  const auto n = static_cast<std::int64_t>(high_first.size()) - 1;
  rational_polynomial_init(p, n);
  for (std::int64_t k = 0; k <= n; ++k) {
    const std::u16string& t = high_first[static_cast<std::size_t>(n - k)];
    rational_parse(rational_coefficient(p, k), t.c_str(), static_cast<std::int64_t>(t.size()), 0);
  }
  return p;
}

std::string coefficients(const RationalPolynomial& p) {
  std::string s;
  for (std::int64_t k = p.degree; k >= 0; --k) {
    s += narrow(rational_text(rational_coefficient(p, k), 0)) + (k > 0 ? " " : "");
  }
  return s;
}

TEST_F(ExactRootsTest, DivideByLinear) {
  // (x - 1)(x - 2)(x + 3) = x^3 - 7x + 6
  const RationalPolynomial p = rational_poly({u"1", u"0", u"-7", u"6"});
  RationalPolynomial q;
  ScratchScope scope;
  Rational* rho = scratch_rational();
  rational_parse(rho, u"2", 1, 0);
  EXPECT_TRUE(DivideByLinear(p, rho, q));
  EXPECT_EQ(coefficients(q), "1 2 -3");  // (x - 1)(x + 3)
  rational_parse(rho, u"-3", 2, 0);
  EXPECT_TRUE(DivideByLinear(p, rho, q));
  EXPECT_EQ(coefficients(q), "1 -3 2");
  rational_parse(rho, u"3/2", 3, 0);
  EXPECT_FALSE(DivideByLinear(p, rho, q));
  // (2x - 3)(x + 1) = 2x^2 - x - 3 at 3/2: the quotient keeps the leading coefficient.
  const RationalPolynomial r = rational_poly({u"2", u"-1", u"-3"});
  EXPECT_TRUE(DivideByLinear(r, rho, q));
  EXPECT_EQ(coefficients(q), "2 2");
  // Overflow on the way is no root, and an earlier status survives the call.
  const RationalPolynomial big = rational_poly({u"1", u"0", u"0", u"0", u"-1"});
  rational_parse(rho, u"18446744073709551616", 20, 0);  // 2^64: rho^2 overflows 128 bits
  set_status(MathStatus::Undefined);
  EXPECT_FALSE(DivideByLinear(big, rho, q));
  EXPECT_EQ(math_status(), MathStatus::Undefined);
  clear_status();
  EXPECT_FALSE(DivideByLinear(big, rho, q));
  EXPECT_EQ(math_status(), MathStatus::Ok);
}

TEST_F(ExactRootsTest, LongTextsAreCut) {
  RootSet roots;
  set_exact_text(roots, 0, std::u16string(228, u'7'));
  EXPECT_EQ(roots.exact[0].size(), 228u);
  EXPECT_EQ(app_error_code(), 0u);
  set_exact_text(roots, 1, std::u16string(229, u'7'));
  EXPECT_EQ(narrow(roots.exact[1]), std::string(227, '7') + "...");
  EXPECT_EQ(app_error_code(), kAppErrorBufferOverflow);
  clear_app_error();

  // Wide rationals (16 limbs): r = A/B and s = C/D of 60 digits each make r + s*sqrt(2) longer
  // than 228 characters. x^2 - 2r x + r^2 - 2 s^2 has exactly these roots.
  biguint_set_limbs(16);
  const std::string A = "123456789012345678901234567890123456789012345678901234567891";
  const std::string B = "987654321098765432109876543210987654321098765432109876543211";
  const std::string C = "111111111122222222223333333333444444444455555555556666666667";
  const std::string D = "777777777788888888889999999999000000000011111111112222222221";
  ScratchScope scope;
  Rational* r = scratch_rational();
  Rational* s = scratch_rational();
  Rational* t = scratch_rational();
  const std::u16string ab = widen(A + "/" + B), cd = widen(C + "/" + D);
  rational_parse(r, ab.c_str(), static_cast<std::int64_t>(ab.size()), 0);
  rational_parse(s, cd.c_str(), static_cast<std::int64_t>(cd.size()), 0);
  RationalPolynomial p;
  rational_polynomial_init(p, 2);
  rational_set_u64(rational_coefficient(p, 2), 1, false);
  rational_mul_u64(rational_coefficient(p, 1), r, 2);
  rational_coefficient(p, 1)[0] = 1;
  rational_mul(rational_coefficient(p, 0), r, r, false);
  rational_mul(t, s, s, false);
  rational_mul_u64(t, t, 2);
  rational_add(rational_coefficient(p, 0), rational_coefficient(p, 0), t, true);
  ASSERT_EQ(math_status(), MathStatus::Ok);
  set_precision(30);
  RootSet roots2;
  roots2.count = 2;
  roots2.digits = 30;
  roots2.values.assign(complex_words_at(30) * kMaxRootDegree, 0);
  ExactQuadratic(p, roots2, 0, 1, 20);
  EXPECT_EQ(app_error_code(), kAppErrorBufferOverflow);
  const std::string full1 = A + "/" + B + "+" + C + "/" + D + "*sqrt(2)";
  const std::string full2 = A + "/" + B + "-" + C + "/" + D + "*sqrt(2)";
  ASSERT_GT(full1.size(), 228u);
  EXPECT_EQ(narrow(roots2.exact[0]), full1.substr(0, 227) + "...");
  EXPECT_EQ(narrow(roots2.exact[1]), full2.substr(0, 227) + "...");
}

struct Fraction {
  std::int64_t num, den;  // den > 0, reduced
  bool operator<(const Fraction& o) const { return num * o.den < o.num * den; }
};

std::string fraction_text(Fraction f) {
  std::string s = std::to_string(f.num);
  if (f.den != 1) s.append(1, '/').append(std::to_string(f.den));
  return s;
}

TEST_F(ExactRootsTest, RandomRationalRootsAreAllIdentified) {
  std::mt19937 rng(20261208);
  std::uniform_int_distribution<int> numerator(-9, 9), denominator(1, 6), coin(0, 3);
  // Irreducible quadratic factors whose roots are known in closed form, listed as the sorted
  // result shows them: real roots among the rational ones, complex ones last.
  struct Quadratic {
    std::int64_t c2, c1, c0;
    double value[2];
    const char* text[2];
  };
  const Quadratic quadratics[] = {
      {1, 0, -2, {-1.4142135623730951, 1.4142135623730951}, {"-sqrt(2)", "sqrt(2)"}},
      {1, 1, 1, {1e9, 1e9 + 1}, {"-1/2-1/2*sqrt(3)*i", "-1/2+1/2*sqrt(3)*i"}},
      {4, 0, -5, {-1.118033988749895, 1.118033988749895}, {"-1/2*sqrt(5)", "1/2*sqrt(5)"}},
  };
  for (int round = 0; round < 60; ++round) {
    const int degree = 3 + round % 8;
    const int extra = round % 3 == 2 ? static_cast<int>(rng() % 3) : -1;  // a quadratic factor
    std::map<Fraction, int> chosen;
    std::vector<std::int64_t> poly{1};  // integer coefficients, constant term first
    auto times_linear = [&poly](std::int64_t c1, std::int64_t c0) {
      std::vector<std::int64_t> next(poly.size() + 1, 0);
      for (std::size_t i = 0; i < poly.size(); ++i) {
        next[i + 1] += c1 * poly[i];
        next[i] += c0 * poly[i];
      }
      poly = next;
    };
    for (int k = extra >= 0 ? 2 : 0; k < degree;) {
      std::int64_t a = numerator(rng), b = denominator(rng);
      const std::int64_t g = std::gcd(a, b);
      a /= g;
      b /= g;
      const int times = std::min(degree - k, coin(rng) == 0 ? 2 + coin(rng) % 2 : 1);
      for (int t = 0; t < times; ++t, ++k) {
        times_linear(b, -a);
        ++chosen[Fraction{a, b}];
      }
    }
    std::vector<std::pair<double, std::string>> expected;  // value, "text*multiplicity"
    for (const auto& [root, times] : chosen) {
      expected.emplace_back(static_cast<double>(root.num) / static_cast<double>(root.den),
                            fraction_text(root) + "*" + std::to_string(times));
    }
    if (extra >= 0) {
      const Quadratic& q = quadratics[extra];
      std::vector<std::int64_t> next(poly.size() + 2, 0);
      for (std::size_t i = 0; i < poly.size(); ++i) {
        next[i + 2] += q.c2 * poly[i];
        next[i + 1] += q.c1 * poly[i];
        next[i] += q.c0 * poly[i];
      }
      poly = next;
      for (int k = 0; k < 2; ++k) {
        expected.emplace_back(q.value[k], std::string(q.text[k]) + "*1");
      }
    }
    std::stable_sort(expected.begin(), expected.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    // Some coefficients are entered divided by the leading one, as fractions.
    const bool monic = round % 2 == 1 && degree <= 6;
    std::vector<std::u16string> cells;
    for (std::size_t k = poly.size(); k-- > 0;) {
      std::int64_t n = poly[k], d = monic ? poly.back() : 1;
      const std::int64_t g = std::gcd(n, d);
      cells.push_back(widen(fraction_text(Fraction{n / g, d / g})));
    }
    EquationRequest request;
    request.degree = degree;
    request.cells = cells;
    request.exact = true;
    request.complex_mode = true;
    request.digits = 15;
    EquationJob job;
    ASSERT_TRUE(StartEquationJob(request, job)) << round;
    EquationWorker(job);
    ASSERT_EQ(app_error_code(), 0u) << round;
    ASSERT_EQ(job.roots.count, static_cast<std::int64_t>(expected.size())) << round;
    for (std::size_t j = 0; j < expected.size(); ++j) {
      EXPECT_EQ(narrow(job.roots.exact[j]) + "*" + std::to_string(job.roots.multiplicity[j]),
                expected[j].second)
          << "round " << round << " root " << j;
    }
    arith_reset();
    thread_scratch_free();
    thread_scratch_init();
  }
}

}  // namespace
