// Small helpers shared by the root finders: magnitudes of complex values, indexing of arrays
// of complex records at the current precision, and the check for a stop or recorded error.
#pragma once
#include <algorithm>
#include <climits>
#include <cstdint>

#include "app/app_error.h"
#include "core/complex.h"

namespace roots_detail {

inline constexpr std::int64_t kNoExponent = INT64_MIN / 4;

inline bool cplx_is_zero(const Complex* z) {
  return is_zero(cplx_re(z)) && is_zero(cplx_im(z));
}

// Exponent of the leading digit of the larger part; kNoExponent for 0. So 10^e <= |z| and
// |z| < 1.5·10^(e+1).
inline std::int64_t magnitude(const Complex* z) {
  std::int64_t e = kNoExponent;
  if (!is_special(cplx_re(z))) e = dec_exponent(cplx_re(z));
  if (!is_special(cplx_im(z))) e = std::max(e, dec_exponent(cplx_im(z)));
  return e;
}

inline Complex* at(Complex* base, std::int64_t i) {
  return base + static_cast<std::size_t>(i) * cplx_words();
}
inline const Complex* at(const Complex* base, std::int64_t i) {
  return base + static_cast<std::size_t>(i) * cplx_words();
}

// A recorded error, or the user's stop turned into one.
inline bool interrupted() {
  if (cancel_requested()) set_app_error(kAppErrorStopped);
  return app_error_code() != 0;
}

// z·10^d for the non-zero parts.
void shift_exponent(Complex* z, std::int64_t d);

// Divides c_0..c_(m-1) by c_m, sets c_m to 1 and substitutes x = 10^e·y with 10^e near the
// geometric mean of the roots' sizes; returns e. The roots of the result times 10^e are the
// roots of c.
std::int64_t make_monic_scaled(Complex* c, std::int64_t m);

// DurandKerner from start values on the circles that the Newton polygon of c gives, for first
// approximations: roots far apart in size are reached in a few sweeps.
bool DurandKernerSpread(const Complex* c, std::int64_t m, std::int64_t target, Complex* roots);

// Roots of c_0..c_m (2 <= m <= 10, c_0 != 0, records at the current precision, left
// unchanged) found at a few digits and refined one by one by Newton's method at doubling
// precision. True when every root is verified to `target` digits: out then holds the m roots
// rounded to `target` digits, a k-fold root k times. False when some root could not be
// verified; no error is recorded then unless the user stopped.
bool RefineRoots(const Complex* c, std::int64_t m, std::int64_t target, Complex* out);

}  // namespace roots_detail
