// Factorisation against an independent sieve and the trial division, divisor lists, and the
// text of the prime factor run with its failures.
#include <random>

#include "primes/factors.h"
#include "primes/prime_test.h"
#include "tests/primes/primes_test_util.h"

namespace {

using Factors = PrimesTest;

std::string factors_text(const FactorList& f) {
  std::string s;
  for (std::int64_t i = 0; i < f.count; ++i) {
    if (i > 0) s += ' ';
    s += u128_decimal(f.factor[i]);
    s += '^';
    s += std::to_string(f.multiplicity[i]);
  }
  return s;
}

std::string run_factors(FactorsRunParams p) {
  std::u16string out;
  p.output = [&out](std::u16string_view piece) { out += piece; };
  factors_run(p);
  std::string narrow;
  for (char16_t c : out) narrow.push_back(static_cast<char>(c));
  return narrow;
}

}  // namespace

TEST_F(Factors, AllNumbersUpTo100000AgreeWithSieve) {
  const auto spf = smallest_factor_sieve(100001);
  Word x[2];
  for (std::uint32_t n = 1; n <= 100000; ++n) {
    std::string expected;
    for (std::uint32_t m = n; m > 1;) {
      const std::uint32_t p = spf[m];
      int k = 0;
      while (m % p == 0) {
        m /= p;
        ++k;
      }
      if (!expected.empty()) expected += ' ';
      expected += std::to_string(p);
      expected += '^';
      expected += std::to_string(k);
    }
    FactorList f;
    set(x, n);
    factorize(f, x);
    ASSERT_EQ(factors_text(f), expected) << n;
  }
}

TEST_F(Factors, FastFactorizationAgreesWithTrialDivision) {
  std::mt19937_64 rng(4242);
#ifdef NUMERION_SANITIZE
  const int rounds = 300;
#else
  const int rounds = 3000;
#endif
  Word x[2];
  for (int i = 0; i < rounds; ++i) {
    const u128 n = rng() % 1000000000000ULL + 1;
    set(x, n);
    FactorList fast, slow;
    factorize(fast, x);
    factorize_trial_division(slow, x);
    ASSERT_EQ(factors_text(fast), factors_text(slow)) << u128_decimal(n);
  }
  // Large numbers: products of proven primes come back as those primes.
  const u128 p = 18446744073709551557ULL, q = 4294967291ULL, r = 1000000007ULL;
  for (u128 n : {p * q, p * r * r, q * q * q * r, static_cast<u128>(3) * 3 * p * 65537}) {
    FactorList f;
    set(x, n);
    factorize(f, x);
    u128 product = 1;
    for (std::int64_t i = 0; i < f.count; ++i) {
      EXPECT_EQ(prime_test_u128(f.factor[i], PrimeClock::now() + kProofTimeLimit),
                PrimeVerdict::Prime);
      if (i > 0) {
        EXPECT_LT(f.factor[i - 1], f.factor[i]);
      }
      for (std::int64_t k = 0; k < f.multiplicity[i]; ++k) product *= f.factor[i];
    }
    EXPECT_EQ(product, n) << u128_decimal(n);
  }
}

TEST_F(Factors, WrongLimbCountIsAnInternalError) {
  ContextScope three(ContextScope::kSizes);
  biguint_set_limbs(3);
  Word x[3] = {12, 0, 0};
  FactorList f;
  factorize(f, x);
  EXPECT_EQ(f.count, -1);
  EXPECT_EQ(app_error_code(), kAppErrorInternal);
}

TEST_F(Factors, DivisorListsAndLimits) {
  DivisorList d;
  for (u128 v : {5, 1, 3, 3, 9}) divisor_insert(d, v);
  EXPECT_EQ(d.values, (std::vector<u128>{1, 3, 3, 5, 9}));

  // 2^4 * 3^2 * 5: 30 divisors, each once and ascending.
  FactorList f;
  Word x[2];
  set(x, 720);
  factorize(f, x);
  enumerate_divisors(d, f);
  std::vector<u128> expected;
  for (u128 k = 1; k <= 720; ++k) {
    if (720 % k == 0) expected.push_back(k);
  }
  EXPECT_EQ(d.values, expected);
  EXPECT_EQ(d.count, 30);

  // The product of the first 26 primes has 2^26 divisors: too many.
  FactorList many;
  u128 product = 1;
  const std::uint16_t first[26] = {2,  3,  5,  7,  11, 13, 17, 19, 23, 29, 31, 37, 41,
                                   43, 47, 53, 59, 61, 67, 71, 73, 79, 83, 89, 97, 101};
  for (std::uint16_t p : first) product *= p;
  set(x, product);
  factorize(many, x);
  EXPECT_EQ(many.count, 26);
  enumerate_divisors(d, many);
  EXPECT_EQ(d.count, -1);
}

TEST_F(Factors, RunTexts) {
  FactorsRunParams p;
  p.start = 1;
  p.size = 3;
  EXPECT_EQ(run_factors(p), "1 = Number has no prime factors!\r\n2 = 2\r\n3 = 3\r\n");
  p.start = 12;
  p.size = 1;
  EXPECT_EQ(run_factors(p), "12 = 2^2 * 3\r\n");
  p.start = 1024;
  EXPECT_EQ(run_factors(p), "1024 = 2^10\r\n");
  p.flags = 16;
  EXPECT_EQ(run_factors(p), "400 = 2^A\r\n");
  p.flags = 0;
  p.divisors = true;
  p.show_count = true;
  p.start = 12;
  EXPECT_EQ(run_factors(p), "D 12 = { 1, 2, 3, 4, 6, 12 }  [6]\r\n");
  p.start = 1;
  p.show_count = false;
  EXPECT_EQ(run_factors(p), "D 1 = { 1 }\r\n");
  EXPECT_EQ(app_error_code(), 0u);
  p.divisors = false;
  p.start = (static_cast<u128>(1) << 127) - 1;
  EXPECT_EQ(run_factors(p),
            "170141183460469231731687303715884105727 = "
            "170141183460469231731687303715884105727\r\n");
}

TEST_F(Factors, RunFailures) {
  FactorsRunParams p;
  const u128 top = ~static_cast<u128>(0);
  // Stepping past 2^128 - 1: two lines, then 3100 before a third.
  p.start = top - 1;
  p.size = 3;
  const std::string out = run_factors(p);
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 2);
  EXPECT_EQ(app_error_code(), 3100u);
  // Ending exactly at 2^128 - 1 is no failure.
  clear_app_error();
  p.size = 2;
  run_factors(p);
  EXPECT_EQ(app_error_code(), 0u);
  // Too many divisors names the number.
  const std::uint16_t first[20] = {2,  3,  5,  7,  11, 13, 17, 19, 23, 29,
                                   31, 37, 41, 43, 47, 53, 59, 61, 67, 71};
  u128 product = 1;
  for (std::uint16_t q : first) product *= q;
  p.start = product;
  p.size = 1;
  p.divisors = true;
  EXPECT_EQ(run_factors(p), "");
  EXPECT_EQ(app_error_code(), 3101u);
  EXPECT_EQ(std::u16string(g_app_error.param1), u"557940830126698960967415390");
  // A pending stop prints nothing.
  clear_app_error();
  set_app_error(kAppErrorStopped);
  p.divisors = false;
  EXPECT_EQ(run_factors(p), "");
}
