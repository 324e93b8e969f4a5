// The built-in functions of one, two and three arguments, per type. Transcendental functions
// of the complex type keep the real function's result inside its real domain and take the
// principal complex value elsewhere; the roots stay real. Integer roots and logarithms of the
// unsigned-integer type give the floor and report in the inexact state whether it was exact.
#include "core/arith.h"
#include "core/complex.h"
#include "core/elementary.h"
#include "core/hyperbolic.h"
#include "formula/evaluator.h"
#include "formula/evaluator_internal.h"
#include "formula/formula.h"
#include "formula/tokens.h"
#include "integer/biguint.h"
#include "integer/rational.h"

namespace {

using namespace formula_detail;

// Sticky: once any operation of the formula has rounded, the result is inexact.
void set_inexact(bool exact) {
  if (!exact) g_formula_inexact = 1;
}

bool is_real_or_complex() {
  return NumberType == kTypeReal || NumberType == kTypeComplex;
}

// A real function of the real and the complex type; the integer types do not have it.
template <class F>
void real_function(NumValue* r, const NumValue* a, F&& f) {
  if (is_real_or_complex()) {
    real_or_real_part(r, a, f);
  } else {
    not_available(r);
  }
}

// The real function where the argument is real(-valued) and inside its real domain; the
// complex function of the complex type everywhere else.
template <class InDomain, class Real, class Cplx>
void extended_function(NumValue* r, const NumValue* a, InDomain in_domain, Real&& real,
                       Cplx&& complex) {
  if (NumberType == kTypeComplex && !(cplx_is_real(a) && in_domain(cplx_re(a)))) {
    return complex(r, a);
  }
  real_function(r, a, real);
}

bool any_real(const DecFloat*) {
  return true;
}
bool non_negative(const DecFloat* x) {
  return !dec_negative(x) || is_zero(x);
}
bool unit_interval(const DecFloat* x) {
  return dec_compare_word(x, 1, true) <= 0;
}
bool at_least_one(const DecFloat* x) {
  return dec_compare_word(x, 1, false) >= 0;
}

// sinh and cosh with the guard digits that the argument's size needs.
void hyperbolic_guarded(DecFloat* r, const DecFloat* x, bool cosine) {
  if (cosine) {
    dec_cosh_rounded(r, x);
  } else {
    dec_sinh_rounded(r, x);
  }
}

// Nearest integer, halves away from zero.
void round_real(DecFloat* r, const DecFloat* a) {
  const std::int64_t e = dec_exponent(a);
  if (is_special(a) || e >= g_arith.precision - 1) return dec_copy(r, a);
  if (e >= 0) return dec_round_digits(r, a, e + 1);
  const bool negative = dec_negative(a);
  if (dec_compare_short(a, 5, -1, true) >= 0) {
    apply_rounding(r, dec_from_word(r, 1));
    dec_set_sign(r, negative);
  } else {
    make_zero(r, negative);
  }
}

void round_rational(Rational* r, const Rational* a) {
  ScratchScope scope;
  Rational* f = scratch_rational();
  Rational* one = scratch_rational();
  rational_frac(f, a);
  rational_trunc(r, a);
  rational_mul_u64(f, f, 2);
  f[0] = 0;
  if (rational_compare_u64(f, 1, false) >= 0) {
    rational_set_u64(one, 1, false);
    rational_add(r, r, one, rat_negative(a));
  }
}

// trunc, frac and round: both parts of a complex value.
template <class F>
void both_parts(NumValue* r, const NumValue* a, F&& f) {
  if (NumberType == kTypeComplex) {
    f(cplx_re(r), cplx_re(a));
    f(cplx_im(r), cplx_im(a));
  } else {
    f(r, a);
  }
}

void trunc_value(NumValue* r, const NumValue* a) {
  switch (NumberType) {
    case kTypeReal:
    case kTypeComplex:
      both_parts(r, a, dec_trunc);
      break;
    case kTypeUInt:
      num_copy(r, a);
      break;
    case kTypeRational:
      rational_trunc(r, a);
      break;
    default:
      set_status(MathStatus::UnknownNumberType);
  }
}

void frac_value(NumValue* r, const NumValue* a) {
  switch (NumberType) {
    case kTypeReal:
    case kTypeComplex:
      both_parts(r, a, dec_frac);
      break;
    case kTypeUInt:
      num_set_zero(r);
      break;
    case kTypeRational:
      rational_frac(r, a);
      break;
    default:
      set_status(MathStatus::UnknownNumberType);
  }
}

void round_value(NumValue* r, const NumValue* a) {
  switch (NumberType) {
    case kTypeReal:
    case kTypeComplex:
      both_parts(r, a, round_real);
      break;
    case kTypeUInt:
      num_copy(r, a);
      break;
    case kTypeRational:
      round_rational(r, a);
      break;
    default:
      set_status(MathStatus::UnknownNumberType);
  }
}

void cube_root(NumValue* r, const NumValue* a) {
  switch (NumberType) {
    case kTypeReal:
    case kTypeComplex:
      real_or_real_part(r, a, dec_cbrt_rounded);
      break;
    case kTypeUInt:
      set_inexact(biguint_root_i64(r, 3, a));
      break;
    case kTypeRational: {
      ScratchScope scope;
      Rational* three = scratch_rational();
      rational_set_u64(three, 3, false);
      rational_root(r, three, a);
      break;
    }
    default:
      set_status(MathStatus::UnknownNumberType);
  }
}

void logarithm(NumValue* r, const NumValue* a, bool decimal) {
  switch (NumberType) {
    case kTypeReal:
    case kTypeComplex:
      extended_function(r, a, non_negative, decimal ? dec_log10_rounded : dec_log2_rounded,
                        decimal ? cplx_log10 : cplx_log2);
      break;
    case kTypeUInt:
      set_inexact(decimal ? biguint_log10(r, a) : biguint_log2(r, a));
      break;
    case kTypeRational:
      rational_exact_log(r, a, decimal ? biguint_log10 : biguint_log2);
      break;
    default:
      set_status(MathStatus::UnknownNumberType);
  }
}

// The k-th of the n complex n-th roots; 0 for z = 0.
void complex_root(NumValue* r, const NumValue* z, std::int64_t n, const NumValue* k_value) {
  std::int64_t k;
  if (!num_get_i64(&k, k_value) || k < 0 || k >= n) {
    return cplx_make_undefined(r, MathStatus::Undefined);
  }
  if (num_is_zero(z)) return cplx_make_zero(r, false);
  cplx_root(r, n, z, k);
}

}  // namespace

void apply_function1(std::uint32_t code, std::uint32_t position, NumValue* r, const NumValue* a) {
  switch (code) {
    case kFnSqrt:
      if (NumberType == kTypeUInt) return set_inexact(biguint_isqrt(r, a));
      return num_sqrt(r, a);
    case kFnCbrt:
      return cube_root(r, a);
    case kFnLn:
      return extended_function(r, a, non_negative, dec_ln_rounded, cplx_ln);
    case kFnLog2:
      return logarithm(r, a, false);
    case kFnLog10:
      return logarithm(r, a, true);
    case kFnExp:
      return extended_function(
          r, a, any_real,
          [](DecFloat* d, const DecFloat* x) { dec_exp10_rounded(d, x, ExpMode::E); },
          [position](Complex* d, const Complex* z) {
            forward_complex(CplxFn::Exp, 0, position, d, z);
          });
    case kFnAbs:
      return num_abs(r, a);
    case kFnSin:
    case kFnCos:
    case kFnTan:
    case kFnSind:
    case kFnCosd:
    case kFnTand:
    case kFnSing:
    case kFnCosg:
    case kFnTang: {
      const std::uint32_t offset = code - kFnSin;
      const std::uint64_t half_turn = offset < 6 ? 0 : offset < 12 ? 180 : 200;
      static constexpr CplxFn kForward[3] = {CplxFn::Sin, CplxFn::Cos, CplxFn::Tan};
      return extended_function(
          r, a, any_real,
          [&](DecFloat* d, const DecFloat* x) {
            trig_real(static_cast<int>(offset % 3), half_turn, position, d, x);
          },
          [&](Complex* d, const Complex* z) {
            forward_complex(kForward[offset % 3], half_turn, position, d, z);
          });
    }
    case kFnAsin:
    case kFnAcos:
    case kFnAtan:
    case kFnAsind:
    case kFnAcosd:
    case kFnAtand:
    case kFnAsing:
    case kFnAcosg:
    case kFnAtang: {
      const std::uint32_t offset = code - kFnSin;
      const std::uint64_t half_turn = offset < 6 ? 0 : offset < 12 ? 180 : 200;
      static constexpr void (*kInverse[3])(Complex*, const Complex*) = {cplx_asin, cplx_acos,
                                                                        cplx_atan};
      return extended_function(
          r, a, offset % 3 == 2 ? any_real : unit_interval,
          [&](DecFloat* d, const DecFloat* x) {
            inverse_trig_real(static_cast<int>(offset % 3), half_turn, d, x);
          },
          [&](Complex* d, const Complex* z) {
            inverse_complex(kInverse[offset % 3], half_turn, d, z);
          });
    }
    case kFnSinh:
    case kFnCosh:
    case kFnTanh: {
      const CplxFn fn = code == kFnSinh   ? CplxFn::Sinh
                        : code == kFnCosh ? CplxFn::Cosh
                                          : CplxFn::Tanh;
      auto complex = [fn, position](Complex* d, const Complex* z) {
        forward_complex(fn, 0, position, d, z);
      };
      if (code == kFnTanh) return extended_function(r, a, any_real, dec_tanh, complex);
      return extended_function(
          r, a, any_real,
          [code](DecFloat* d, const DecFloat* x) { hyperbolic_guarded(d, x, code == kFnCosh); },
          complex);
    }
    case kFnAsinh:
      return extended_function(r, a, any_real, dec_asinh, cplx_asinh);
    case kFnAcosh:
      return extended_function(r, a, at_least_one, dec_acosh, cplx_acosh);
    case kFnAtanh:
      return extended_function(r, a, unit_interval, dec_atanh, cplx_atanh);
    case kFnFact:
      return num_factorial(r, a);
    case kFnArg:
    case kFnArgd:
    case kFnArgg:
      if (NumberType != kTypeComplex) return set_formula_error(kFormulaNeedsComplex, position);
      complex_arg(code == kFnArg ? 0 : code == kFnArgd ? 180 : 200, cplx_re(r), a);
      make_zero(cplx_im(r), false);
      return;
    case kFnRealp:
    case kFnImagp:
      if (NumberType != kTypeComplex) return set_formula_error(kFormulaNeedsComplex, position);
      dec_copy(cplx_re(r), code == kFnRealp ? cplx_re(a) : cplx_im(a));
      make_zero(cplx_im(r), false);
      return;
    case kFnTrunc:
      return trunc_value(r, a);
    case kFnFrac:
      return frac_value(r, a);
    case kFnRound:
      return round_value(r, a);
    default:
      set_formula_error(kFormulaInternal, 0);
  }
}

void apply_function2(std::uint32_t code, std::uint32_t position, NumValue* r, const NumValue* a,
                     const NumValue* b) {
  switch (code) {
    case kFnRoot:
      switch (NumberType) {
        case kTypeReal:
        case kTypeComplex:
          return real_or_real_part2(r, a, b, dec_root_rounded);
        case kTypeUInt:
          return set_inexact(biguint_root(r, a, b));
        case kTypeRational:
          return rational_root(r, a, b);
        default:
          return set_status(MathStatus::UnknownNumberType);
      }
    case kFnSqrtc:
    case kFnCbrtc:
      if (NumberType != kTypeComplex) return set_formula_error(kFormulaNeedsComplex, position);
      return complex_root(r, a, code == kFnSqrtc ? 2 : 3, b);
    case kFnNcr:
    case kFnNpr: {
      const bool perm = code == kFnNpr;
      switch (NumberType) {
        case kTypeReal:
        case kTypeComplex:
          return real_or_real_part2(r, a, b,
                                    [perm](DecFloat* d, const DecFloat* n, const DecFloat* k) {
                                      dec_binomial_rounded(d, n, k, perm);
                                    });
        case kTypeUInt:
          return biguint_binomial(r, a, b, perm);
        case kTypeRational:
          return rational_binomial(r, a, b, perm);
        default:
          return set_status(MathStatus::UnknownNumberType);
      }
    }
    case kFnLogx:
      switch (NumberType) {
        case kTypeReal:
          return dec_logx_rounded(r, a, b);
        case kTypeComplex:
          return cplx_logx(r, a, b);
        case kTypeUInt:
          return set_inexact(biguint_log(r, a, b));
        case kTypeRational:
          return rational_log(r, a, b);
        default:
          return set_status(MathStatus::UnknownNumberType);
      }
    case kFnGcd:
      return num_gcd(r, a, b);
    case kFnLcm:
      return num_lcm(r, a, b);
    default:
      set_formula_error(kFormulaInternal, 0);
  }
}

void apply_function3(std::uint32_t code, std::uint32_t position, NumValue* r, const NumValue* a,
                     const NumValue* b, const NumValue* c) {
  switch (code) {
    case kFnRootc: {
      if (NumberType != kTypeComplex) return set_formula_error(kFormulaNeedsComplex, position);
      std::int64_t n;
      if (!num_get_i64(&n, b) || n < 1) return cplx_make_undefined(r, MathStatus::Undefined);
      return complex_root(r, a, n, c);
    }
    case kFnPowmod:
      if (NumberType != kTypeUInt) return set_formula_error(kFormulaNotAvailable, position);
      return biguint_powmod(r, a, b, c);
    default:
      set_formula_error(kFormulaInternal, 0);
  }
}
