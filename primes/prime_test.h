// Prime tests. Two exact tests: the trial division over the wheel (the reference, slow beyond
// about 20 digits) and prime_test_exact, which decides every number below 2^128 with a proof
// (trial division, Miller-Rabin with 13 bases below 3.3e24, above that Baillie-PSW and a
// Pocklington certificate from the partly factored n - 1) and goes on with trial division only
// when no proof turns up within a few seconds. Two probable-prime tests: the two Euler tests
// after trial division (the reference, fooled by some composites) and prime_test_probabilistic,
// which adds a strong base-2 and a strong Lucas test (Baillie-PSW).
//
// BigUInt arguments have the current N limbs; N must not exceed kMaxPrimeLimbs. The tests poll
// prime_stop_requested(); a stopped test answers Unknown (or "composite" where only two answers
// exist, with the status or the pending message telling the caller that nothing was decided).
// biguint_powmod may set 207 through cancel_flag.
#pragma once

#include <chrono>
#include <cstdint>

#include "integer/biguint.h"
#include "primes/u128_math.h"

inline constexpr std::int64_t kExactLimbs = 2;
inline constexpr std::int64_t kProbabilisticLimbs = 65;
inline constexpr std::int64_t kMaxPrimeLimbs = kProbabilisticLimbs;

enum class PrimeVerdict : std::uint8_t { Prime, Composite, Unknown };

// The pending application message (the window's Stop sets 9003) or the cancel request.
bool prime_stop_requested();

// --- reference tests ---------------------------------------------------------------------------
// Trial division by the wheel divisors up to floor(sqrt(x)); Unknown when stopped, and with status
// 203 when the square root does not fit 64 bits.
PrimeVerdict prime_test_trial_division(const BigUInt* x);
// Jacobi symbol (a/n) for odd n by the binary algorithm; 0 when a and n have a common factor.
int jacobi_symbol(const BigUInt* a, const BigUInt* n);
// Euler tests for odd x > 3: x passes when b^((x-1)/2) = (b/x) mod x.
bool euler_test_base2(const BigUInt* x);
bool euler_test_base3(const BigUInt* x);
// Table lookup below 1009, trial division by the small primes, then both Euler tests.
// 0 passes as prime, 1 composite.
int prime_test_euler(const BigUInt* x);

// --- Baillie-PSW ---------------------------------------------------------------------------------
// For odd x > 2 without small factors.
bool strong_probable_prime_base2(const BigUInt* x);
// Strong Lucas test with Selfridge's parameters (P = 1, D the first of 5, -7, 9, ... with
// (D/x) = -1); false for perfect squares.
bool strong_lucas_probable_prime(const BigUInt* x);
// The Euler test followed by the strong base-2 and strong Lucas tests. 0 prime, 1 composite.
int prime_test_probabilistic(const BigUInt* x);

// --- fast exact test below 2^128
// ------------------------------------------------------------------
using PrimeClock = std::chrono::steady_clock;
inline constexpr std::chrono::milliseconds kProofTimeLimit{3000};
// Prime or Composite with a proof; Unknown when the deadline passes or a stop is requested.
PrimeVerdict prime_test_u128(u128 n, PrimeClock::time_point deadline);
bool strong_probable_prime_u128(const Montgomery& m, u128 base);
bool strong_lucas_u128(u128 n);
// prime_test_u128 with kProofTimeLimit, then trial division when no proof was found. x at N = 2.
PrimeVerdict prime_test_exact(const BigUInt* x);
