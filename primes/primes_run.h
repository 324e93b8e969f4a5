// The worker bodies of the prime number page: the test verdict, the next prime, and the primes
// of an interval, for the exact method (2 limbs) and the probabilistic one (65 limbs). The text
// goes to the output callback piece by piece; the loops poll prime_stop_requested() between
// numbers. At the end a leftover status becomes the pending message: 207 gives 9003, 300 9002,
// 400 9000, any other 3000; a cancel request without a message gives 9003.
#pragma once

#include <cstdint>
#include <vector>

#include "integer/biguint.h"
#include "primes/number_text.h"

enum class PrimeMethod : std::uint32_t { Exact = 1, Probabilistic = 2 };
enum class PrimeMode : std::uint32_t { Interval = 1, NextPrime = 2, Test = 3 };

inline constexpr std::int64_t kNextPrimeSize = 2147483647;

struct PrimesRunParams {
  PrimeMethod method = PrimeMethod::Exact;
  PrimeMode mode = PrimeMode::Test;
  std::vector<Word> start;  // the number x, at least as many limbs as the method's N
  std::int64_t size = 1;    // interval size; kNextPrimeSize in the other modes
  std::uint32_t flags = 0;  // text flags for writing numbers
  RunOutput output;
};

inline std::int64_t primes_method_limbs(PrimeMethod method) {
  return method == PrimeMethod::Exact ? 2 : 65;
}

// Runs at the method's N (restored afterwards); clears the status when it ends.
void primes_run(const PrimesRunParams& params);
void primes_run_exact(const PrimesRunParams& params);
void primes_run_probabilistic(const PrimesRunParams& params);

// The page's mapping of a leftover status; `overflow_code` for the other statuses.
void finish_run_status(std::uint32_t overflow_code);
