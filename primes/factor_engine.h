// The factor engine below 2^128: splits a number into proven primes with trial division,
// perfect-power detection, Pollard-Brent rho (64-bit Montgomery below 2^64, 128-bit above, with
// a step budget that reaches factors up to about 10^10) and, for what rho leaves, the
// self-initialising quadratic sieve. The prime factor page and the Pocklington proof use it.
// Every function polls prime_stop_requested() and the deadline at least every few milliseconds.
#pragma once

#include <cstdint>
#include <vector>

#include "primes/prime_test.h"
#include "primes/u128_math.h"

// Long enough for any number below 2^128; the trial division takes over only past it.
inline constexpr std::chrono::milliseconds kFactorTimeLimit{60000};

// r with r^k = n for the largest such k (k >= 2), or 0 when n is no perfect power.
u128 perfect_power_root(u128 n, int& k);
// A nontrivial factor of odd composite n below 2^64 by Brent's rho, 0 when every attempt
// failed or `max_steps` steps passed without a factor (0 = no bound besides the deadline).
std::uint64_t rho64(std::uint64_t n, std::uint64_t max_steps, PrimeClock::time_point deadline);
// The same for n below 2^128.
u128 rho128(u128 n, std::uint64_t max_steps, PrimeClock::time_point deadline);
// A nontrivial factor of odd composite n that is no perfect power, n >= 2^40, by the quadratic
// sieve; 0 at the deadline or a stop.
u128 siqs_factor(u128 n, PrimeClock::time_point deadline);
// A nontrivial (not necessarily prime) factor of composite n >= 4; 0 at the deadline or a stop.
u128 find_factor(u128 n, PrimeClock::time_point deadline);
// Appends the prime factors of n >= 1 with repetition, each proven prime, in no particular
// order. False (with `primes` partly filled) at the deadline or a stop.
bool factor_completely(u128 n, std::vector<u128>& primes, PrimeClock::time_point deadline);
