// Trigonometric functions of DecFloat: sine and cosine (one series loop for both), tangent,
// arc tangent by exact rational tangents, the angle of a point, and radian conversions.
// Statuses: 203 for arguments outside the domain (an infinite argument, |x| >= 10^10005 for
// the sine family, or a reduction that would need more than kMaxPiDigits digits of pi).
// Undefined operands give undefined without status.
#pragma once

#include <cstdint>

#include "core/decfloat.h"

// Arguments of sin, cos and tan from 10^kTrigMaxExponent on are refused: their reduction would
// need more digits of pi than any 10,005-digit argument below it.
inline constexpr std::int64_t kTrigMaxExponent = 10005;

// Truncated results at the current precision (callers add guard digits and round). The
// reduction by pi/4 is carried out with as many extra digits as the argument's size and the
// cancellation near a multiple of pi/4 take, so every digit of the result is right.
void dec_sin_cos(DecFloat* sin_out, DecFloat* cos_out, const DecFloat* x);
// sin x / cos x; returns the round_limb of the quotient.
Word dec_tan(DecFloat* dst, const DecFloat* x);
// The same for x in degrees (half_circle 180) or gon (200): reduced exactly in its own unit
// before the conversion, so arguments next to multiples of 45 degrees keep every digit.
void dec_sin_cos_unit(DecFloat* sin_out, DecFloat* cos_out, const DecFloat* x,
                      std::uint64_t half_circle);
Word dec_tan_unit(DecFloat* dst, const DecFloat* x, std::uint64_t half_circle);

// Correctly rounded sin (fn 0), cos (1) or tan (2) of x in radians (half_circle 0), degrees
// (180) or gon (200).
void dec_trig_rounded(DecFloat* dst, const DecFloat* x, int fn, std::uint64_t half_circle);

// Correctly rounded.
void dec_atan(DecFloat* dst, const DecFloat* x);
// The arc tangent truncated at the current precision (for callers with their own guard digits).
Word dec_atan_kernel(DecFloat* dst, const DecFloat* x);
// The angle of the point (x, y) in (-pi, pi], correctly rounded.
void dec_angle(DecFloat* dst, const DecFloat* y, const DecFloat* x);

// Angle units: the half circle u = 180 (degree) or 200 (gon). Rounded, 2 guard digits.
void dec_to_radians(DecFloat* dst, const DecFloat* x, std::uint64_t half_circle);
void dec_from_radians(DecFloat* dst, const DecFloat* x, std::uint64_t half_circle);

// The series of sin and cos (or sinh and cosh) of a small t in one loop, truncated at the
// current precision; either output may be null.
void sin_cos_series(DecFloat* sin_out, DecFloat* cos_out, const DecFloat* t, bool hyperbolic);

// pi/2 and pi at the current precision, truncated (round limb returned).
Word dec_pi(DecFloat* dst);
Word dec_half_pi(DecFloat* dst);
