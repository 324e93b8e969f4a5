// Hyperbolic functions and their inverses, and the arc sine and arc cosine.
// Statuses: 203 outside the domain (|x| > 1 for asin, acos and atanh, x < 1 for acosh), 200 at
// the poles of atanh (+-1) and when a result passes the exponent range. Undefined operands
// give undefined without status.
#pragma once

#include "core/decfloat.h"

// Kernels at the current precision (callers add guard digits); they return a round_limb.
Word dec_sinh(DecFloat* dst, const DecFloat* x);
Word dec_cosh(DecFloat* dst, const DecFloat* x);

// Correctly rounded (Ziv's loop over the kernels).
void dec_sinh_rounded(DecFloat* dst, const DecFloat* x);
void dec_cosh_rounded(DecFloat* dst, const DecFloat* x);
void dec_tanh(DecFloat* dst, const DecFloat* x);
void dec_asinh(DecFloat* dst, const DecFloat* x);
void dec_acosh(DecFloat* dst, const DecFloat* x);
void dec_atanh(DecFloat* dst, const DecFloat* x);

void dec_asin(DecFloat* dst, const DecFloat* x);
void dec_acos(DecFloat* dst, const DecFloat* x);
