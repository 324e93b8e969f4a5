// Basic DecFloat operations at the context precision P. Each returns the P-digit truncated
// result and, where it says so, a round_limb (the first 19 discarded digits, the first one
// exact) that the caller hands to apply_rounding. Truncation is exact: digits kept are the
// digits of the exact result, so guard digits followed by one rounding give the correctly
// rounded value. Statuses: 200 overflow and division by zero, 203 undefined results, 207 a stop
// during integer division. Undefined operands propagate without touching the status.
#pragma once

#include <cstdint>

#include "core/decfloat.h"

// op 0: a + b, op 1: a - b.
Word dec_add_sub(DecFloat* dst, const DecFloat* a, const DecFloat* b, int op);
Word dec_mul(DecFloat* dst, const DecFloat* a, const DecFloat* b);
Word dec_mul_word(DecFloat* dst, const DecFloat* a, std::uint64_t m);
// recip: reciprocal_of(d), or 0 to look it up / compute it.
Word dec_div_word(DecFloat* dst, const DecFloat* a, std::uint64_t d, std::uint64_t recip);
// 1/a with 2 guard digits, rounded.
void dec_reciprocal(DecFloat* dst, const DecFloat* a);
// a / b truncated to P digits; callers use with_guard_digits(3, ...) and apply_rounding.
Word dec_div(DecFloat* dst, const DecFloat* a, const DecFloat* b);
// The same result by long division at every length (the reference of the fast method).
Word dec_div_long(DecFloat* dst, const DecFloat* a, const DecFloat* b);
// Correctly rounded quotient: with_guard_digits(3, dec_div) then apply_rounding.
void dec_div_rounded(DecFloat* dst, const DecFloat* a, const DecFloat* b);
// q = trunc(a / b), r = a - q b, both exact (q truncated to P digits when longer); either
// output may be null.
void dec_divmod(DecFloat* q, DecFloat* r, const DecFloat* a, const DecFloat* b);
// a^m with guard digits, rounded.
void dec_pow_int(DecFloat* dst, const DecFloat* a, std::int64_t m);

// -1, 0, 1. An undefined operand gives 1.
int dec_compare(const DecFloat* a, const DecFloat* b, bool ignore_sign);
int dec_compare_int(const DecFloat* a, std::int64_t v);
int dec_compare_word(const DecFloat* a, std::uint64_t v, bool ignore_sign);
// Compares with the positive number whose digits are `digits` (at most 18) and whose leading
// digit has exponent e.
int dec_compare_short(const DecFloat* a, std::uint64_t digits, std::int64_t e, bool ignore_sign);

void dec_trunc(DecFloat* dst, const DecFloat* a);
void dec_frac(DecFloat* dst, const DecFloat* a);
void dec_round_digits(DecFloat* dst, const DecFloat* a, std::int64_t digits);

Word dec_from_word(DecFloat* dst, std::uint64_t v);
void dec_from_int(DecFloat* dst, std::int64_t v);  // exact for P >= 19, else rounded

inline constexpr std::uint32_t kToWordAllowFraction = 0x200000;
inline constexpr std::uint32_t kToWordAllowNegative = 0x400000;
bool dec_to_word(std::uint64_t* out, const DecFloat* a, std::uint32_t flags);
bool dec_to_int(std::int64_t* out, const DecFloat* a, std::uint32_t flags);

// Convenience for rounded operations (operation followed by apply_rounding).
void dec_add_rounded(DecFloat* dst, const DecFloat* a, const DecFloat* b);
void dec_sub_rounded(DecFloat* dst, const DecFloat* a, const DecFloat* b);
void dec_mul_rounded(DecFloat* dst, const DecFloat* a, const DecFloat* b);
