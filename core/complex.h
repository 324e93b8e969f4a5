// Complex numbers: two DecFloat records back to back, the real part first (2 (n + 1) words).
// A value is real-valued when its imaginary part is zero (either sign); the complex undefined
// value is undefined + 0i. Operations that need real numbers fail with status 205 on a
// non-real operand; invalid root branches, non-integer exponents of a non-real base and bad
// digit counts give 203; text that cannot be parsed 301, text that does not fit 300.
//
// Products and quotients are formed from exact products of the parts and rounded once, so a
// part that cancels (ac - bd close to zero) keeps every digit right.
#pragma once

#include <cstdint>

#include "core/decfloat.h"
#include "core/text.h"

using Complex = Word;  // Complex* points at the real part's header

inline DecFloat* cplx_re(Complex* z) {
  return z;
}
inline const DecFloat* cplx_re(const Complex* z) {
  return z;
}
inline DecFloat* cplx_im(Complex* z) {
  return z + dec_words();
}
inline const DecFloat* cplx_im(const Complex* z) {
  return z + dec_words();
}
inline std::size_t cplx_words() {
  return 2 * static_cast<std::size_t>(dec_words());
}
inline Complex* scratch_cplx() {
  return scratch_alloc(cplx_words());
}
inline bool cplx_is_real(const Complex* z) {
  return is_zero(cplx_im(z));
}

void cplx_copy(Complex* dst, const Complex* src);
void cplx_make_undefined(Complex* z, MathStatus status);
void cplx_make_zero(Complex* z, bool negative);
// Real value into a complex one (+0i).
void cplx_from_real(Complex* z, const DecFloat* re);
void cplx_convert_precision(Complex* dst, std::int64_t dst_digits, const Complex* src,
                            std::int64_t src_digits);

// Rounded results.
void cplx_add(Complex* dst, const Complex* a, const Complex* b);
void cplx_sub(Complex* dst, const Complex* a, const Complex* b);
void cplx_mul(Complex* dst, const Complex* a, const Complex* b);
void cplx_mul_word(Complex* dst, const Complex* a, std::uint64_t m);
void cplx_div(Complex* dst, const Complex* a, const Complex* b);
void cplx_reciprocal(Complex* dst, const Complex* a);
// Integer quotient and remainder of real-valued operands; either output may be null.
void cplx_divmod(Complex* q, Complex* r, const Complex* a, const Complex* b);
void cplx_pow_int(Complex* dst, const Complex* z, std::int64_t m);
void cplx_round_digits(Complex* dst, const Complex* z, std::int64_t digits);

// sqrt(a^2 + b^2) of real values, truncated (callers add guard digits).
Word dec_hypot(DecFloat* dst, const DecFloat* a, const DecFloat* b);
// |z| + 0i, rounded (3 guard digits).
void cplx_abs(Complex* dst, const Complex* z);
// The k-th of the n n-th roots of z (1 <= n < 2^61, 0 <= k < n, else 203): the principal
// argument theta in (-pi, pi] gives the angles (theta + 2 pi k) / n. Rounded.
void cplx_root(Complex* dst, std::int64_t n, const Complex* z, std::int64_t k);
// z^w: the real power where both are real-valued and it is defined, square-and-multiply for a
// machine-integer w, else the principal value exp(w ln z) (complex_functions.h). Rounded.
void cplx_pow(Complex* dst, const Complex* z, const Complex* w);

// Both real-valued: dec_compare of the real parts (magnitude_only ignores signs). Otherwise
// an equality test (0 equal, 1 not), and magnitude_only gives 1 with status 205.
int cplx_compare(const Complex* a, const Complex* b, bool magnitude_only);

// A real two-argument function f(dst, a, b) (rounding its result) applied to real-valued
// operands, +0i; a non-real operand gives the undefined value and status 205.
template <class F>
void cplx_apply_real2(Complex* dst, const Complex* a, const Complex* b, F&& f) {
  if (!cplx_is_real(a) || !cplx_is_real(b)) {
    cplx_make_undefined(dst, MathStatus::RealArgumentRequired);
    return;
  }
  f(cplx_re(dst), cplx_re(a), cplx_re(b));
  make_zero(cplx_im(dst), false);
}

// Text a+bi. A sign inside the parentheses of the imaginary part combines with the separating
// sign: "3+(-2)i" is 3 - 2i and "3-(-2)i" is 3 + 2i.
void cplx_parse(Complex* dst, const char16_t* text, std::int64_t length, std::uint32_t flags);
// Without a buffer: the size in bytes a caller must provide. Otherwise the text (terminated
// unless flags hold kNestedFormat) and its length in characters; "[$]" and status 300 when it
// does not fit.
inline constexpr std::uint32_t kNestedFormat = 0x400000;
std::int64_t cplx_format(char16_t* buffer, std::int64_t capacity, const Complex* z,
                         std::uint32_t flags);
