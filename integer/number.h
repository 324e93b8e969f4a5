// Number values of the current NumberType: the process-wide kind of the values in flight (1 real,
// 2 complex, 10 unsigned integer, 11 rational) and the generic operations that dispatch on it.
// A value is a bare word array whose size follows from the type and the current sizes: a
// DecFloat (n + 1 words), a complex pair (2 (n + 1)), a BigUInt (N) or a Rational (2N + 1).
// Any other type sets 102 and leaves results untouched. Results may alias operands.
//
// Also the conversions between the kinds with explicit sizes, for the solvers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/decfloat.h"
#include "integer/biguint.h"

enum NumberTypeCode : std::uint32_t {
  kTypeNone = 0,
  kTypeReal = 1,
  kTypeComplex = 2,
  kTypeUInt = 10,
  kTypeRational = 11,
};
// NumberType is part of each thread's context (core/decfloat.h).

using NumValue = Word;

std::size_t num_size();  // bytes; 0 and status 102 for an unknown type
inline std::size_t num_words() {
  return num_size() / sizeof(Word);
}
NumValue* scratch_num();  // one value on the scratch stack

void num_copy(NumValue* r, const NumValue* a);
void num_set_zero(NumValue* r);
void num_set_i64(NumValue* r, std::int64_t v);
void num_set_u64(NumValue* r, std::uint64_t v);
bool num_get_u64(std::uint64_t* out, const NumValue* a);
bool num_get_i64(std::int64_t* out, const NumValue* a);
bool num_is_zero(const NumValue* a);
int num_compare(const NumValue* a, const NumValue* b, bool magnitude_only);
int num_compare_i64(const NumValue* a, std::int64_t v);
void num_negate(NumValue* r, const NumValue* a);
void num_abs(NumValue* r, const NumValue* a);
void num_div_u64(NumValue* r, const NumValue* a, std::uint64_t k);
// Rounded for real and complex (division with 3 guard digits); exact for the integer types.
// The unsigned type: a difference below zero sets 200, a quotient is the floor, 0 divisor 202.
void num_add(NumValue* r, const NumValue* a, const NumValue* b);
void num_sub(NumValue* r, const NumValue* a, const NumValue* b);
void num_mul(NumValue* r, const NumValue* a, const NumValue* b);
void num_div(NumValue* r, const NumValue* a, const NumValue* b);
void num_pow(NumValue* r, const NumValue* a, const NumValue* b);
void num_pow_i64(NumValue* r, const NumValue* a, std::int64_t m);
void num_pow10(NumValue* r, std::int64_t m);
void num_sqrt(NumValue* r, const NumValue* a);
void num_factorial(NumValue* r, const NumValue* a);
void num_gcd(NumValue* r, const NumValue* a, const NumValue* b);
void num_lcm(NumValue* r, const NumValue* a, const NumValue* b);
void num_round_digits(NumValue* r, const NumValue* a, std::int64_t digits);
void num_set_pi(NumValue* r);
// Without a buffer: the size in characters a caller must provide. Otherwise the text (buffer
// holds capacity + 1 characters; no terminator with flag 0x400000) and its length; "[$]" with
// status 300 when it does not fit.
std::int64_t num_format(char16_t* buffer, std::int64_t capacity, const NumValue* a,
                        std::uint32_t flags);

// --- conversions between the kinds ---------------------------------------------------------
// x of `limbs` limbs into a DecFloat at the current precision, truncated; returns the round_limb.
Word biguint_to_decfloat(DecFloat* r, const BigUInt* x, std::int64_t limbs);
// The integer part of |x| into r of `limbs` limbs; 200 when it does not fit (r = 0), 203 for
// undefined x.
void decfloat_to_biguint(BigUInt* r, std::int64_t limbs, const DecFloat* x);
// numerator / denominator at the current precision, rounded (2 guard digits).
void rational_to_decfloat(DecFloat* r, const Word* x);
// The same with the precision and limb count set for the call.
void decfloat_to_biguint_sized(BigUInt* r, std::int64_t limbs, const DecFloat* x,
                               std::int64_t digits);
void decfloat_to_rational_sized(Word* r, std::int64_t limbs, const DecFloat* x,
                                std::int64_t digits);
void rational_to_decfloat_sized(DecFloat* r, std::int64_t digits, const Word* x,
                                std::int64_t limbs);
void rational_to_complex_sized(Word* r, std::int64_t digits, const Word* x, std::int64_t limbs);
// pi at the current precision, rounded.
void decfloat_pi(DecFloat* r);
