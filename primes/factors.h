// Prime factors and divisors of numbers below 2^128, and the worker body of the prime factor
// page. Factors come out ascending and prime; divisors ascending without duplicates.
#pragma once

#include <cstdint>
#include <vector>

#include "integer/biguint.h"
#include "primes/number_text.h"

inline constexpr int kMaxFactors = 26;  // the product of the first 27 primes exceeds 2^128
inline constexpr std::int64_t kMaxDivisors = 16384;
inline constexpr std::size_t kMaxGeneration = 4096;  // divisors with equally many prime factors

struct FactorList {
  std::int64_t count = 0;  // distinct prime factors; -1 = does not fit
  u128 factor[kMaxFactors] = {};
  std::int64_t multiplicity[kMaxFactors] = {};
};

struct DivisorList {
  std::int64_t count = 0;  // -1 = too many
  std::vector<u128> values;
};

// Trial division over the wheel, the sqrt bound recomputed after each factor. x has N = 2
// limbs; another N gives count -1 and message 9000. A stop leaves the list incomplete with the
// pending message set.
void factorize_trial_division(FactorList& list, const BigUInt* x);
// The same result sooner: trial division by the wheel up to 2^16, then the factor engine splits
// the cofactor into proven primes; the trial division goes on only where that fails.
void factorize(FactorList& list, const BigUInt* x);

// Sorted insertion; an equal entry keeps the new value after it. Past 16384 entries: count -1.
void divisor_insert(DivisorList& list, u128 value);
// All divisors from the factorisation, generation by generation (generation k holds the
// divisors with k prime factors counted with multiplicity); -1 when a generation would exceed
// 4096 records or the list 16384 entries, or a multiplicity is outside 1..255.
void enumerate_divisors(DivisorList& list, const FactorList& factors);

struct FactorsRunParams {
  bool divisors = false;
  bool show_count = false;
  u128 start = 1;
  std::int32_t size = 1;  // below 1 nothing is done
  std::uint32_t flags = 0;
  RunOutput output;
};

// Prints one line per number; ends at the first pending message (3100 overflow, 3101 too many
// factors or divisors, 9000, 9003). Runs at N = 2 and restores N.
void factors_run(const FactorsRunParams& params);
