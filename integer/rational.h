// Rational: a sign word and a reduced fraction of two BigUInt of the current limb count N,
// 2N + 1 words: word 0 the sign (bit 0, 1 = negative), words 1..N the numerator, N+1..2N the
// denominator. After every operation the denominator is at least 1, numerator and denominator
// are coprime and zero is 0/1 (its sign is not significant). Every operation may write into one
// of its operands.
//
// Statuses: a failing operation leaves 0/1 with sign 0 and sets 203 unless a more specific code
// came first: 200 a numerator or denominator beyond N limbs, 202 division by zero (0/0 included:
// it is no number), 207 a stop during the binomial product, 300 text that does not fit, 301
// malformed text. Every operation runs with its own status and puts an earlier one back, so the
// earlier error still wins. Cross products are formed at 2N limbs, so N may be at most 1000.
#pragma once

#include <cstddef>
#include <cstdint>

#include "integer/biguint.h"

using Rational = Word;

inline BigUInt* rat_num(Rational* r) { return r + 1; }
inline const BigUInt* rat_num(const Rational* r) { return r + 1; }
inline BigUInt* rat_den(Rational* r) { return r + 1 + BigUIntLimbs; }
inline const BigUInt* rat_den(const Rational* r) { return r + 1 + BigUIntLimbs; }
inline bool rat_negative(const Rational* r) { return (r[0] & 1) != 0; }
inline std::size_t rational_words() { return static_cast<std::size_t>(2 * BigUIntLimbs + 1); }
inline Rational* scratch_rational() { return scratch_alloc(rational_words()); }

void rational_set_zero(Rational* r);  // 0/1, sign 0
void rational_copy(Rational* r, const Rational* a);
void rational_set_u64(Rational* r, std::uint64_t v, bool negative);
bool rational_is_zero(const Rational* a);
bool rational_is_integer(const Rational* a);  // denominator 1

// Divides numerator and denominator (BigUInt of N limbs, in place) by their gcd.
void rational_reduce(BigUInt* num, BigUInt* den);

void rational_add(Rational* r, const Rational* a, const Rational* b, bool subtract);
void rational_mul(Rational* r, const Rational* a, const Rational* b, bool divide);
void rational_mul_u64(Rational* r, const Rational* a, std::uint64_t k);
void rational_div_u64(Rational* r, const Rational* a, std::uint64_t k);
// |q| = floor(|a| / |b|) with the sign of a / b; rem = a - q b, with the sign of a.
void rational_divmod(Rational* q, Rational* rem, const Rational* a, const Rational* b);
void rational_reciprocal(Rational* r, const Rational* a);
void rational_pow(Rational* r, const Rational* base, const Rational* e);
void rational_root(Rational* r, const Rational* n, const Rational* x);  // x^(1/n)
void rational_log(Rational* r, const Rational* base, const Rational* x);
void rational_binomial(Rational* r, const Rational* n, const Rational* k, bool permutations);
void rational_trunc(Rational* r, const Rational* a);
void rational_frac(Rational* r, const Rational* a);

using BigUIntLogFn = bool (*)(BigUInt*, const BigUInt*);
using BigUIntPowFn = void (*)(BigUInt*, const BigUInt*);
using BigUIntPowI64Fn = void (*)(BigUInt*, std::int64_t);
void rational_exact_log(Rational* r, const Rational* a, BigUIntLogFn f);  // log2, log10
void rational_int_power(Rational* r, const Rational* n, BigUIntPowFn f);  // 2^n, 10^n
void rational_i64_power(Rational* r, std::int64_t n, BigUIntPowI64Fn f);

int rational_compare(const Rational* a, const Rational* b, bool magnitude_only);
int rational_compare_u64(const Rational* a, std::uint64_t m, bool m_negative);
// flags: 0x200000 accept a fraction (truncated), 0x400000 accept a negative value (magnitude).
bool rational_to_u64(std::uint64_t* out, const Rational* a, std::uint32_t flags);

void rational_parse(Rational* r, const char16_t* text, std::int64_t length, std::uint32_t flags);
// Without a buffer: the buffer size a caller must provide. Otherwise writes the text into
// buffer (capacity characters plus a terminating zero unless flags hold 0x400000) and returns
// its length; "[$]" and status 300 when it does not fit, "[?]" for a broken record.
std::int64_t rational_format(char16_t* buffer, std::int64_t capacity, const Rational* a,
                             std::uint32_t flags);
