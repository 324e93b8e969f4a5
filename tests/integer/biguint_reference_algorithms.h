// The straightforward algorithms that define the BigUInt results, kept as executable references:
// the library uses faster exact methods (long division with a normalised divisor, Newton roots,
// Montgomery powers, Lehmer's gcd, chunked text conversion), and the tests compare the two on
// random operands. Each reference follows its definition step by step, with the public BigUInt
// operations as building blocks, and keeps the same status rules.
#pragma once

#include <cstdint>
#include <string>

#include "core/text.h"
#include "integer/biguint.h"

namespace biguint_reference {

// Quotient digit by digit in hexadecimal, each digit found by binary search among the multiples
// 1..15 of b, at a working width of floor((bits(b) + 67) / 64) limbs.
void divmod(BigUInt* q, BigUInt* r, const BigUInt* a, const BigUInt* b);
// Limb by limb from the top with the normalised reciprocal estimate and a correction loop.
void divmod_u64(BigUInt* q, std::uint64_t* rem, const BigUInt* a, std::uint64_t d,
                std::uint64_t recip);
// Bit-wise binary search for the largest candidate whose square (k-th power) is at most a.
bool isqrt(BigUInt* r, const BigUInt* a);
bool root(BigUInt* r, std::int64_t k, const BigUInt* a);
// Square-and-multiply from the least significant exponent bit.
void pow(BigUInt* r, const BigUInt* a, std::int64_t e);
// Left-to-right square-and-multiply at 2N limbs, each product reduced by division.
void powmod(BigUInt* r, const BigUInt* base, const BigUInt* e, const BigUInt* m);
// Euclid with remainders.
void gcd(BigUInt* r, const BigUInt* a, const BigUInt* b);
// Repeated division by the base (base >= 3).
bool log(BigUInt* r, const BigUInt* base, const BigUInt* a);
void factorial(BigUInt* r, std::uint64_t n);
// Multiply by base + i, divide by i, at N limbs throughout (so a product that exceeds N limbs
// before the division reports an overflow).
void binomial(BigUInt* r, const BigUInt* n, const BigUInt* k, bool permutations);

// Text: per-digit accumulation (result * base + digit, or * 10 per exponent unit) and digit
// extraction by shifts or division by 10^19.
void parse(BigUInt* result, const char16_t* text, std::int64_t length, std::uint32_t flags);
std::u16string format(const BigUInt* value, std::uint32_t flags);

}  // namespace biguint_reference
