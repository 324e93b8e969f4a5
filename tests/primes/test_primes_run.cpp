// The prime number runs of both methods as text, their failures, and the start checks.
#include "integer/biguint_text.h"
#include "primes/primes_run.h"
#include "primes/start_checks.h"
#include "tests/primes/primes_test_util.h"

namespace {

using PrimesRun = PrimesTest;

std::string run(PrimeMethod method, PrimeMode mode, u128 start, std::int64_t size,
                std::uint32_t flags = 0) {
  PrimesRunParams p;
  p.method = method;
  p.mode = mode;
  p.start.assign(65, 0);
  u128_to_limbs(p.start.data(), start);
  p.size = mode == PrimeMode::Interval ? size : kNextPrimeSize;
  p.flags = flags;
  std::u16string out;
  p.output = [&out](std::u16string_view piece) { out += piece; };
  primes_run(p);
  std::string narrow;
  for (char16_t c : out) narrow.push_back(static_cast<char>(c));
  return narrow;
}

constexpr PrimeMethod kMethods[] = {PrimeMethod::Exact, PrimeMethod::Probabilistic};

}  // namespace

TEST_F(PrimesRun, IntervalsNextPrimeAndVerdicts) {
  for (PrimeMethod m : kMethods) {
    SCOPED_TRACE(static_cast<int>(m));
    EXPECT_EQ(
        run(m, PrimeMode::Interval, 10, 10),
        "Prime numbers from 10 to 19:\r\n{ 11, 13, 17, 19 }\r\nNumber of prime numbers: 4\r\n");
    const std::string hundred = run(m, PrimeMode::Interval, 1, 100);
    EXPECT_EQ(hundred.substr(0, 36), "Prime numbers from 1 to 100:\r\n{ 2, 3");
    EXPECT_EQ(hundred.substr(hundred.size() - 39), "89, 97 }\r\nNumber of prime numbers: 25\r\n");
    EXPECT_EQ(run(m, PrimeMode::Interval, 1, 1),
              "Prime numbers from 1 to 1:\r\n{  }\r\nNumber of prime numbers: 0\r\n");
    EXPECT_EQ(run(m, PrimeMode::NextPrime, 2, 0), "Next prime number:\r\n2");
    EXPECT_EQ(run(m, PrimeMode::NextPrime, 24, 0), "Next prime number:\r\n29");
    EXPECT_EQ(run(m, PrimeMode::Test, 997, 0), "997 is a prime number.\r\n");
    EXPECT_EQ(run(m, PrimeMode::Test, 561, 0), "561 is not a prime number.\r\n");
    EXPECT_EQ(run(m, PrimeMode::Test, 255, 0, 16), "FF is not a prime number.\r\n");
    EXPECT_EQ(app_error_code(), 0u);
  }
  // Interval counts agree between the methods around 10^20.
  const u128 start = static_cast<u128>(100000000000000000ULL) * 1000;
  EXPECT_EQ(run(PrimeMethod::Exact, PrimeMode::Interval, start, 1000),
            run(PrimeMethod::Probabilistic, PrimeMode::Interval, start, 1000));
}

TEST_F(PrimesRun, OverflowAndStop) {
  const u128 top = ~static_cast<u128>(0);
  EXPECT_EQ(run(PrimeMethod::Exact, PrimeMode::Interval, top - 5, 10),
            "Prime numbers from 340282366920938463463374607431768211450 to ");
  EXPECT_EQ(app_error_code(), 3000u);
  clear_app_error();
  // No prime lies between the largest prime below 2^128 and 2^128.
  EXPECT_EQ(run(PrimeMethod::Exact, PrimeMode::NextPrime, top - 157, 0), "Next prime number:\r\n");
  EXPECT_EQ(app_error_code(), 3000u);
  clear_app_error();
  set_app_error(kAppErrorStopped);
  EXPECT_EQ(run(PrimeMethod::Exact, PrimeMode::Interval, 10, 10),
            "Prime numbers from 10 to 19:\r\n{ ");
  EXPECT_EQ(run(PrimeMethod::Exact, PrimeMode::Test, 10, 0), "");
  clear_app_error();
  g_cancel_request.store(1);
  EXPECT_EQ(run(PrimeMethod::Probabilistic, PrimeMode::Test, 1009, 0), "");
  EXPECT_EQ(app_error_code(), kAppErrorStopped);
}

TEST_F(PrimesRun, StartChecks) {
  const std::uint32_t read = number_read_flags(false);
  Word x[65] = {};
  EXPECT_TRUE(read_start_number(u" 1'000 ", read, x));
  EXPECT_EQ(x[0], 1000u);
  for (const char16_t* bad : {u"0", u"abc", u"-3", u"1.5", u""}) {
    clear_app_error();
    EXPECT_FALSE(read_start_number(bad, read, x)) << static_cast<int>(bad[0]);
    EXPECT_EQ(app_error_code(), kAppErrorInvalidInput);
    EXPECT_EQ(std::u16string(g_app_error.param1), bad);
  }
  clear_app_error();
  EXPECT_FALSE(read_start_number(u"340282366920938463463374607431768211456", read, x));
  clear_app_error();
  EXPECT_TRUE(read_start_number(u"ff", number_read_flags(true), x));
  EXPECT_EQ(x[0], 255u);
  {
    ContextScope wide(ContextScope::kSizes);
    biguint_set_limbs(65);
    const std::u16string digits(1252, u'9');
    EXPECT_TRUE(read_start_number(digits, read, x));
    const std::u16string longer(3000, u'9');
    EXPECT_FALSE(read_start_number(longer, read, x));
    const std::u16string shown(g_app_error.param1);
    EXPECT_EQ(shown.back(), kEllipsis);
    clear_app_error();
  }
  std::int64_t size = 0;
  EXPECT_TRUE(read_primes_interval_size(u"2147483647", read, size));
  EXPECT_EQ(size, 2147483647);
  EXPECT_FALSE(read_primes_interval_size(u"2147483648", read, size));
  EXPECT_FALSE(read_primes_interval_size(u"0", read, size));
  EXPECT_FALSE(read_primes_interval_size(u"18446744073709551617", read, size));
  std::int32_t count = 0;
  EXPECT_TRUE(read_factors_interval_size(u" \t ", read, count));
  EXPECT_EQ(count, 1);
  EXPECT_TRUE(read_factors_interval_size(u"1000000", read, count));
  EXPECT_EQ(count, 1000000);
  clear_app_error();
  EXPECT_FALSE(read_factors_interval_size(u"1000001", read, count));
  EXPECT_EQ(app_error_code(), kAppErrorInvalidInput);
  EXPECT_EQ(std::u16string(g_app_error.param1), u"1000001");
}
