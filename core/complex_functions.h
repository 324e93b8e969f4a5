// Elementary functions of complex numbers: exponential, logarithms, general power,
// circular and hyperbolic functions and their inverses.
//
// Every part of a result is within one unit in the last place of the working precision
// (the kernels run with guard digits and take differences of nearly equal values where they
// are exact), and a part that is exactly zero comes out as +0. A real-valued argument inside
// the domain of the real function gets the real function's result and +0i.
//
// Principal branches; on a branch cut the value is the limit from the side reached turning
// counter-clockwise around the finite end of the cut, and the sign of a zero part plays no
// role:
//   ln z, log10, log2, logx, z^w   cut (-inf, 0], values from above (Im ln z in (-pi, pi])
//   asin, acos, atanh              cuts (-inf, -1) and (1, inf): from above left of -1,
//                                  from below right of 1
//   acosh                          cut (-inf, 1), values from above
//   atan, asinh                    cuts (-i inf, -i) and (i, i inf): from the left below -i,
//                                  from the right above i
// Undefined parts give the undefined value without status; infinite parts give it with 203.
#pragma once

#include <cstdint>

#include "core/complex.h"

void cplx_exp(Complex* dst, const Complex* z);
// ln 0 is -inf with status 200.
void cplx_ln(Complex* dst, const Complex* z);
void cplx_log10(Complex* dst, const Complex* z);
void cplx_log2(Complex* dst, const Complex* z);
// ln z / ln b; b = 0 or 1 is undefined (203), z = 0 a pole (200).
void cplx_logx(Complex* dst, const Complex* b, const Complex* z);
// exp(w ln z) for any w; 0^w: as the real power for a real-valued w, else undefined (203).
// A real-valued z on the negative axis with a real-valued w takes its angle exactly.
void cplx_pow_general(Complex* dst, const Complex* z, const Complex* w);

void cplx_sin(Complex* dst, const Complex* z);
void cplx_cos(Complex* dst, const Complex* z);
void cplx_tan(Complex* dst, const Complex* z);
void cplx_sinh(Complex* dst, const Complex* z);
void cplx_cosh(Complex* dst, const Complex* z);
void cplx_tanh(Complex* dst, const Complex* z);

void cplx_asin(Complex* dst, const Complex* z);
void cplx_acos(Complex* dst, const Complex* z);
void cplx_atan(Complex* dst, const Complex* z);
void cplx_asinh(Complex* dst, const Complex* z);
void cplx_acosh(Complex* dst, const Complex* z);
void cplx_atanh(Complex* dst, const Complex* z);

// The kernel of the forward functions for callers that know the sine and cosine of one part
// exactly or better than the core would (angle units, multiples of the quarter turn). For exp,
// sinh, cosh and tanh the argument is t + ib with s = sin b, c = cos b; for sin, cos and tan
// it is b + it. Runs at the current precision; parts truncated, a few units in the last place.
enum class CplxFn { Exp, Sinh, Cosh, Tanh, Sin, Cos, Tan };
void cplx_elementary_kernel(DecFloat* re, DecFloat* im, CplxFn fn, const DecFloat* t,
                            const DecFloat* s, const DecFloat* c);
// Guard digits the forward kernels want above the working precision.
inline constexpr std::int64_t kComplexGuardDigits = 10;
