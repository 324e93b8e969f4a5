// Helpers shared by the evaluator's files.
#pragma once

#include <cstdint>

#include "core/complex.h"
#include "core/complex_functions.h"
#include "core/decfloat.h"
#include "integer/number.h"

namespace formula_detail {

// The undefined value of the current type with status s (first error wins); the integer types
// have no undefined value and get 0.
void set_undefined(NumValue* r, MathStatus s);

// An operation the current type does not have: 0 and status 102.
void not_available(NumValue* r);

// Applies a real function f(dst, x) to a real value, or to the real part of a real-valued
// complex value (imaginary part +0; a non-real argument gives undefined and 205).
template <class F>
void real_or_real_part(NumValue* r, const NumValue* a, F&& f) {
  if (NumberType == kTypeComplex) {
    if (!cplx_is_real(a)) return cplx_make_undefined(r, MathStatus::RealArgumentRequired);
    f(cplx_re(r), cplx_re(a));
    make_zero(cplx_im(r), false);
  } else {
    f(r, a);
  }
}

// f(dst, a, b) for two real values, or the real parts of two real-valued complex values.
template <class F>
void real_or_real_part2(NumValue* r, const NumValue* a, const NumValue* b, F&& f) {
  if (NumberType == kTypeComplex) {
    cplx_apply_real2(r, a, b, f);
  } else {
    f(r, a, b);
  }
}

// The trigonometric functions with their angle rule. fn: 0 sin, 1 cos, 2 tan; half_turn: 0 for
// radians, 180 for degrees, 200 for grads. A pole of the tangent sets error 10203 at position.
void trig_real(int fn, std::uint64_t half_turn, std::uint32_t position, DecFloat* r,
               const DecFloat* x);
// fn: 0 asin, 1 acos, 2 atan; the result in the unit of half_turn.
void inverse_trig_real(int fn, std::uint64_t half_turn, DecFloat* r, const DecFloat* x);
// exp, sinh, cosh, tanh, or sin, cos, tan in the unit of half_turn, of a complex argument. The
// part whose sine and cosine enter follows the angle rule: on a multiple of the quarter turn they
// are exact; tanh at an odd multiple of i pi/2 (tan of a real odd multiple is the real rule's)
// sets error 10203 at position.
void forward_complex(CplxFn fn, std::uint64_t half_turn, std::uint32_t position, Complex* r,
                     const Complex* z);
// A complex inverse function f, both parts of its result in the unit of half_turn.
void inverse_complex(void (*f)(Complex*, const Complex*), std::uint64_t half_turn, Complex* r,
                     const Complex* z);
// The angle of the point (re, im) in the unit of half_turn.
void complex_arg(std::uint64_t half_turn, DecFloat* r, const Complex* z);

}  // namespace formula_detail
