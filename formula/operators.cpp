// The binary operators and the prefix signs, per type. The left operand's buffer takes the
// result. Factors and divisors that are machine integers go through the cheaper scalar
// operations of their type; the values are the same.
#include "core/arith.h"
#include "core/complex.h"
#include "core/elementary.h"
#include "formula/evaluator.h"
#include "formula/evaluator_internal.h"
#include "formula/formula.h"
#include "formula/tokens.h"
#include "integer/biguint.h"
#include "integer/rational.h"

namespace formula_detail {

void set_undefined(NumValue* r, MathStatus s) {
  switch (NumberType) {
    case kTypeReal:
      make_undefined(r, s);
      break;
    case kTypeComplex:
      cplx_make_undefined(r, s);
      break;
    default:
      num_set_zero(r);
      set_status(s);
  }
}

void not_available(NumValue* r) {
  num_set_zero(r);
  set_status(MathStatus::UnknownNumberType);
}

}  // namespace formula_detail

namespace {

using namespace formula_detail;

bool sign_bit(const NumValue* a) {
  switch (NumberType) {
    case kTypeReal:
      return dec_negative(a);
    case kTypeComplex:
      return dec_negative(cplx_re(a));
    case kTypeRational:
      return rat_negative(a);
    default:
      return false;
  }
}

// r = x * m for a machine word m.
void scale(NumValue* r, const NumValue* x, std::uint64_t m) {
  switch (NumberType) {
    case kTypeReal:
      apply_rounding(r, dec_mul_word(r, x, m));
      break;
    case kTypeComplex:
      cplx_mul_word(r, x, m);
      break;
    case kTypeUInt:
      biguint_mul_u64(r, x, m);
      break;
    case kTypeRational:
      rational_mul_u64(r, x, m);
      break;
    default:
      set_status(MathStatus::UnknownNumberType);
  }
}

void add_sub(NumValue* a, const NumValue* b, bool subtract) {
  switch (NumberType) {
    case kTypeReal:
      apply_rounding(a, dec_add_sub(a, a, b, subtract ? 1 : 0));
      break;
    case kTypeComplex:
      subtract ? cplx_sub(a, a, b) : cplx_add(a, a, b);
      break;
    case kTypeUInt:
      subtract ? biguint_sub(a, a, b) : biguint_add(a, a, b);
      break;
    case kTypeRational:
      rational_add(a, a, b, subtract);
      break;
    default:
      set_status(MathStatus::UnknownNumberType);
  }
}

void multiply(NumValue* a, const NumValue* b) {
  std::uint64_t m;
  if (num_get_u64(&m, a)) {
    const bool negative = sign_bit(a);
    scale(a, b, m);
    if (negative) num_negate(a, a);
    return;
  }
  if (num_get_u64(&m, b)) {
    const bool negative = sign_bit(b);
    scale(a, a, m);
    if (negative) num_negate(a, a);
    return;
  }
  switch (NumberType) {
    case kTypeReal:
      apply_rounding(a, dec_mul(a, a, b));
      break;
    case kTypeComplex:
      cplx_mul(a, a, b);
      break;
    case kTypeUInt:
      biguint_mul(a, a, b);
      break;
    case kTypeRational:
      rational_mul(a, a, b, false);
      break;
    default:
      set_status(MathStatus::UnknownNumberType);
  }
}

void divide(NumValue* a, const NumValue* b) {
  // Each type's division has its own status for a zero divisor (some report an overflow); the
  // formula names the cause the same way in all of them.
  if (num_is_zero(b)) return set_undefined(a, MathStatus::DivisionByZero);
  if (NumberType == kTypeUInt) {
    if (!biguint_div_exact(a, a, b)) g_formula_inexact = 1;
    return;
  }
  std::uint64_t m;
  if (num_get_u64(&m, b)) {
    const bool negative = sign_bit(b);
    num_div_u64(a, a, m);
    if (negative) num_negate(a, a);
    return;
  }
  switch (NumberType) {
    case kTypeReal:
      dec_div_rounded(a, a, b);
      break;
    case kTypeComplex:
      cplx_div(a, a, b);
      break;
    case kTypeRational:
      rational_mul(a, a, b, true);
      break;
    default:
      set_status(MathStatus::UnknownNumberType);
  }
}

void modulo(NumValue* a, const NumValue* b) {
  if (num_is_zero(b)) return set_undefined(a, MathStatus::DivisionByZero);
  switch (NumberType) {
    case kTypeReal:
      dec_divmod(nullptr, a, a, b);
      break;
    case kTypeComplex:
      if (!cplx_is_real(a) || !cplx_is_real(b)) {
        cplx_make_undefined(a, MathStatus::RealArgumentRequired);
      } else {
        dec_divmod(nullptr, cplx_re(a), cplx_re(a), cplx_re(b));
        make_zero(cplx_im(a), false);
      }
      break;
    case kTypeUInt:
      biguint_divmod(nullptr, a, a, b);
      break;
    case kTypeRational:
      rational_divmod(nullptr, a, a, b);
      break;
    default:
      set_status(MathStatus::UnknownNumberType);
  }
}

// 2^n for a machine integer n by the type's power-of-two routine.
void power_of_two(NumValue* r, std::int64_t n) {
  switch (NumberType) {
    case kTypeReal:
      dec_pow2_int(r, n);
      break;
    case kTypeComplex:
      dec_pow2_int(cplx_re(r), n);
      make_zero(cplx_im(r), false);
      break;
    case kTypeUInt:
      biguint_pow2_i64(r, n);
      break;
    case kTypeRational:
      rational_i64_power(r, n, biguint_pow2_i64);
      break;
    default:
      set_status(MathStatus::UnknownNumberType);
  }
}

// base^b for base 2 or 10 and an exponent b that is no machine integer.
void power_of_base(NumValue* r, std::int64_t base, const NumValue* b) {
  const ExpMode mode = base == 2 ? ExpMode::Two : ExpMode::Ten;
  switch (NumberType) {
    case kTypeReal:
      dec_exp10_rounded(r, b, mode);
      break;
    case kTypeComplex:
      if (!cplx_is_real(b)) {
        ScratchScope scope;
        Complex* z = scratch_cplx();
        dec_from_word(cplx_re(z), static_cast<std::uint64_t>(base));
        make_zero(cplx_im(z), false);
        return cplx_pow(r, z, b);
      }
      dec_exp10_rounded(cplx_re(r), cplx_re(b), mode);
      make_zero(cplx_im(r), false);
      break;
    case kTypeUInt:
      base == 2 ? biguint_pow2(r, b) : biguint_pow10(r, b);
      break;
    case kTypeRational:
      rational_int_power(r, b, base == 2 ? biguint_pow2 : biguint_pow10);
      break;
    default:
      set_status(MathStatus::UnknownNumberType);
  }
}

void power(NumValue* a, const NumValue* b) {
  std::int64_t n, base;
  const bool integer_exponent = num_get_i64(&n, b);
  const bool special_base = num_get_i64(&base, a) && (base == 2 || base == 10);
  if (integer_exponent) {
    if (special_base && base == 2) {
      power_of_two(a, n);
    } else if (special_base) {
      num_pow10(a, n);
    } else {
      num_pow_i64(a, a, n);
    }
  } else if (special_base) {
    power_of_base(a, base, b);
  } else {
    num_pow(a, a, b);
  }
}

}  // namespace

void apply_operator(std::uint32_t op, NumValue* left, const NumValue* right) {
  switch (op) {
    case kTokPlus:
      add_sub(left, right, false);
      break;
    case kTokMinus:
      add_sub(left, right, true);
      break;
    case kTokTimes:
      multiply(left, right);
      break;
    case kTokDivide:
      divide(left, right);
      break;
    case kTokPower:
      power(left, right);
      break;
    case kTokMod:
      modulo(left, right);
      break;
    default:
      set_formula_error(kFormulaInternal, 0);
  }
}

void apply_sign(std::uint32_t op, NumValue* value) {
  if (op == kTokMinus) num_negate(value, value);
}
