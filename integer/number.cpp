// The generic operations of the current NumberType.
#include "integer/number.h"

#include <algorithm>
#include <cstring>

#include "core/arith.h"
#include "core/complex.h"
#include "core/elementary.h"
#include "core/text.h"
#include "integer/biguint_internal.h"
#include "integer/biguint_text.h"
#include "integer/rational.h"

namespace {

void unknown_type() {
  set_status(MathStatus::UnknownNumberType);
}

std::int64_t limbs() {
  return BigUIntLimbs;
}

bool uint_fits_word(const BigUInt* a) {
  for (std::int64_t i = 1; i < limbs(); ++i) {
    if (a[i] != 0) return false;
  }
  return true;
}

void uint_set(BigUInt* r, std::uint64_t v) {
  std::memset(r, 0, static_cast<std::size_t>(limbs()) * sizeof(Word));
  r[0] = v;
}

// The value of a real-valued complex number, or undefined and 205.
bool real_part_or_fail(Complex* r, const Complex* a) {
  if (cplx_is_real(a)) return true;
  cplx_make_undefined(r, MathStatus::RealArgumentRequired);
  return false;
}

std::uint64_t magnitude(std::int64_t v) {
  return v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
}

// Both rationals integers with sign 0, for gcd and lcm.
bool plain_integers(const Rational* a, const Rational* b) {
  return rational_is_integer(a) && rational_is_integer(b) && !rat_negative(a) && !rat_negative(b);
}

template <class F>
void rational_integer_op(Rational* r, const Rational* a, const Rational* b, F f) {
  ContextScope saved = ContextScope::isolated_status();
  if (!plain_integers(a, b)) {
    rational_set_zero(r);
    set_status(MathStatus::Undefined);
    return;
  }
  ScratchScope scope;
  BigUInt* v = scratch_alloc(static_cast<std::size_t>(limbs()));
  f(v, rat_num(a), rat_num(b));
  rational_set_zero(r);
  if (!g_arith.status) biguint_copy(rat_num(r), v);
}

}  // namespace

std::size_t num_size() {
  const auto n = static_cast<std::size_t>(g_arith.limb_count);
  const auto nl = static_cast<std::size_t>(limbs());
  switch (NumberType) {
    case kTypeReal:
      return 8 * (n + 1);
    case kTypeComplex:
      return 16 * (n + 1);
    case kTypeUInt:
      return 8 * nl;
    case kTypeRational:
      return 8 * (2 * nl + 1);
    default:
      unknown_type();
      return 0;
  }
}

NumValue* scratch_num() {
  return scratch_alloc(std::max<std::size_t>(num_words(), 1));
}

void num_copy(NumValue* r, const NumValue* a) {
  const std::size_t bytes = num_size();
  if (bytes && r != a) std::memmove(r, a, bytes);
}

void num_set_zero(NumValue* r) {
  switch (NumberType) {
    case kTypeReal:
      make_zero(r, false);
      break;
    case kTypeComplex:
      cplx_make_zero(r, false);
      break;
    case kTypeUInt:
      uint_set(r, 0);
      break;
    case kTypeRational:
      rational_set_zero(r);
      break;
    default:
      unknown_type();
  }
}

void num_set_u64(NumValue* r, std::uint64_t v) {
  switch (NumberType) {
    case kTypeReal:
      apply_rounding(r, dec_from_word(r, v));
      break;
    case kTypeComplex:
      apply_rounding(r, dec_from_word(r, v));
      make_zero(cplx_im(r), false);
      break;
    case kTypeUInt:
      uint_set(r, v);
      break;
    case kTypeRational:
      rational_set_u64(r, v, false);
      break;
    default:
      unknown_type();
  }
}

void num_set_i64(NumValue* r, std::int64_t v) {
  switch (NumberType) {
    case kTypeReal:
    case kTypeComplex:
      num_set_u64(r, magnitude(v));
      if (v < 0) dec_negate(r);
      break;
    case kTypeUInt:
      uint_set(r, v < 0 ? 0 : static_cast<std::uint64_t>(v));
      if (v < 0) set_status(MathStatus::Undefined);
      break;
    case kTypeRational:
      rational_set_u64(r, magnitude(v), v < 0);
      break;
    default:
      unknown_type();
  }
}

bool num_get_u64(std::uint64_t* out, const NumValue* a) {
  *out = 0;
  switch (NumberType) {
    case kTypeComplex:
      if (!cplx_is_real(a)) return false;
      [[fallthrough]];
    case kTypeReal:
      return dec_to_word(out, a, kToWordAllowNegative);
    case kTypeUInt:
      if (!uint_fits_word(a)) return false;
      *out = a[0];
      return true;
    case kTypeRational:
      return rational_to_u64(out, a, 0x400000);
    default:
      unknown_type();
      return false;
  }
}

bool num_get_i64(std::int64_t* out, const NumValue* a) {
  *out = 0;
  switch (NumberType) {
    case kTypeComplex:
      if (!cplx_is_real(a)) return false;
      [[fallthrough]];
    case kTypeReal:
      return dec_to_int(out, a, 0);
    case kTypeUInt:
      if (!uint_fits_word(a) || a[0] >= (std::uint64_t{1} << 63)) return false;
      *out = static_cast<std::int64_t>(a[0]);
      return true;
    case kTypeRational: {
      std::uint64_t m;
      if (!rational_to_u64(&m, a, 0x400000)) return false;
      const bool neg = rat_negative(a) && m != 0;
      if (neg ? m > (std::uint64_t{1} << 63) : m >= (std::uint64_t{1} << 63)) return false;
      *out = neg ? static_cast<std::int64_t>(0 - m) : static_cast<std::int64_t>(m);
      return true;
    }
    default:
      unknown_type();
      return false;
  }
}

bool num_is_zero(const NumValue* a) {
  switch (NumberType) {
    case kTypeReal:
      return is_zero(a);
    case kTypeComplex:
      return is_zero(cplx_re(a)) && is_zero(cplx_im(a));
    case kTypeUInt:
      return biguint_is_zero(a);
    case kTypeRational:
      return rational_is_zero(a);
    default:
      unknown_type();
      return false;
  }
}

int num_compare(const NumValue* a, const NumValue* b, bool magnitude_only) {
  switch (NumberType) {
    case kTypeReal:
      return dec_compare(a, b, magnitude_only);
    case kTypeComplex:
      return cplx_compare(a, b, magnitude_only);
    case kTypeUInt:
      return biguint_compare(a, b);
    case kTypeRational:
      return rational_compare(a, b, magnitude_only);
    default:
      unknown_type();
      return 0;
  }
}

int num_compare_i64(const NumValue* a, std::int64_t v) {
  switch (NumberType) {
    case kTypeReal:
      return dec_compare_int(a, v);
    case kTypeComplex:
      return cplx_is_real(a) ? dec_compare_int(a, v) : 1;
    case kTypeUInt:
      if (v < 0 || !uint_fits_word(a)) return 1;
      return a[0] < static_cast<std::uint64_t>(v) ? -1 : (a[0] > static_cast<std::uint64_t>(v));
    case kTypeRational:
      return rational_compare_u64(a, magnitude(v), v < 0);
    default:
      unknown_type();
      return 0;
  }
}

void num_negate(NumValue* r, const NumValue* a) {
  switch (NumberType) {
    case kTypeReal:
      dec_copy(r, a);
      dec_negate(r);
      break;
    case kTypeComplex:
      cplx_copy(r, a);
      dec_negate(cplx_re(r));
      dec_negate(cplx_im(r));
      break;
    case kTypeRational:
      rational_copy(r, a);
      r[0] = rat_negative(a) ? 0 : 1;
      break;
    default:
      unknown_type();
  }
}

void num_abs(NumValue* r, const NumValue* a) {
  switch (NumberType) {
    case kTypeReal:
      dec_copy(r, a);
      dec_abs(r);
      break;
    case kTypeComplex:
      cplx_abs(r, a);
      break;
    case kTypeUInt:
      biguint_copy(r, a);
      break;
    case kTypeRational:
      rational_copy(r, a);
      r[0] = 0;
      break;
    default:
      unknown_type();
  }
}

void num_div_u64(NumValue* r, const NumValue* a, std::uint64_t k) {
  switch (NumberType) {
    case kTypeReal:
      apply_rounding(r, dec_div_word(r, a, k, 0));
      break;
    case kTypeComplex: {
      const bool real = is_zero(cplx_im(a));
      apply_rounding(cplx_re(r), dec_div_word(cplx_re(r), cplx_re(a), k, 0));
      if (real) {
        make_zero(cplx_im(r), false);
      } else {
        apply_rounding(cplx_im(r), dec_div_word(cplx_im(r), cplx_im(a), k, 0));
      }
      break;
    }
    case kTypeRational:
      rational_div_u64(r, a, k);
      break;
    default:
      unknown_type();
  }
}

void num_add(NumValue* r, const NumValue* a, const NumValue* b) {
  switch (NumberType) {
    case kTypeReal:
      return dec_add_rounded(r, a, b);
    case kTypeComplex:
      return cplx_add(r, a, b);
    case kTypeUInt:
      return biguint_add(r, a, b);
    case kTypeRational:
      return rational_add(r, a, b, false);
    default:
      unknown_type();
  }
}

void num_sub(NumValue* r, const NumValue* a, const NumValue* b) {
  switch (NumberType) {
    case kTypeReal:
      return dec_sub_rounded(r, a, b);
    case kTypeComplex:
      return cplx_sub(r, a, b);
    case kTypeUInt:
      return biguint_sub(r, a, b);
    case kTypeRational:
      return rational_add(r, a, b, true);
    default:
      unknown_type();
  }
}

void num_mul(NumValue* r, const NumValue* a, const NumValue* b) {
  switch (NumberType) {
    case kTypeReal:
      return dec_mul_rounded(r, a, b);
    case kTypeComplex:
      return cplx_mul(r, a, b);
    case kTypeUInt:
      return biguint_mul(r, a, b);
    case kTypeRational:
      return rational_mul(r, a, b, false);
    default:
      unknown_type();
  }
}

void num_div(NumValue* r, const NumValue* a, const NumValue* b) {
  switch (NumberType) {
    case kTypeReal:
      return dec_div_rounded(r, a, b);
    case kTypeComplex:
      return cplx_div(r, a, b);
    case kTypeUInt:
      return biguint_divmod(r, nullptr, a, b);
    case kTypeRational:
      return rational_mul(r, a, b, true);
    default:
      unknown_type();
  }
}

void num_pow(NumValue* r, const NumValue* a, const NumValue* b) {
  switch (NumberType) {
    case kTypeReal:
      dec_pow_rounded(r, a, b);
      break;
    case kTypeComplex:
      cplx_pow(r, a, b);
      break;
    case kTypeUInt:
      biguint_pow(r, a, b);
      break;
    case kTypeRational:
      rational_pow(r, a, b);
      break;
    default:
      unknown_type();
  }
}

void num_pow_i64(NumValue* r, const NumValue* a, std::int64_t m) {
  switch (NumberType) {
    case kTypeReal:
      dec_pow_int(r, a, m);
      break;
    case kTypeComplex:
      cplx_pow_int(r, a, m);
      break;
    case kTypeUInt:
      biguint_pow_i64(r, a, m);
      break;
    case kTypeRational: {
      ContextScope saved = ContextScope::isolated_status();
      ScratchScope scope;
      Rational* t = scratch_rational();
      rational_copy(t, a);
      const std::uint64_t am = magnitude(m);
      const std::int64_t e =
          am > static_cast<std::uint64_t>(INT64_MAX) ? INT64_MAX : static_cast<std::int64_t>(am);
      biguint_pow_i64(rat_num(t), rat_num(t), e);
      biguint_pow_i64(rat_den(t), rat_den(t), e);
      t[0] = rat_negative(a) && (m & 1) && !rational_is_zero(a) ? 1 : 0;
      if (m < 0 && !g_arith.status) rational_reciprocal(t, t);
      if (g_arith.status) {
        rational_set_zero(r);
        return;
      }
      rational_copy(r, t);
      break;
    }
    default:
      unknown_type();
  }
}

void num_pow10(NumValue* r, std::int64_t m) {
  switch (NumberType) {
    case kTypeReal:
    case kTypeComplex:
      dec_from_word(r, 1);
      set_exponent_checked(r, m, false);
      if (NumberType == kTypeComplex) make_zero(cplx_im(r), false);
      break;
    case kTypeUInt:
      biguint_pow10_i64(r, m);
      break;
    case kTypeRational:
      rational_i64_power(r, m, biguint_pow10_i64);
      break;
    default:
      unknown_type();
  }
}

void num_sqrt(NumValue* r, const NumValue* a) {
  switch (NumberType) {
    case kTypeReal:
      dec_sqrt_rounded(r, a);
      break;
    case kTypeComplex:
      if (real_part_or_fail(r, a)) {
        dec_sqrt_rounded(cplx_re(r), cplx_re(a));
        make_zero(cplx_im(r), false);
      }
      break;
    case kTypeRational: {
      ContextScope saved = ContextScope::isolated_status();
      ScratchScope scope;
      Rational* t = scratch_rational();
      rational_set_zero(t);
      const bool ok = !(rat_negative(a) && !rational_is_zero(a)) &&
                      biguint_isqrt(rat_num(t), rat_num(a)) &&
                      biguint_isqrt(rat_den(t), rat_den(a));
      if (!ok) {
        rational_set_zero(r);
        set_status(MathStatus::Undefined);
        return;
      }
      rational_copy(r, t);
      break;
    }
    default:
      unknown_type();
  }
}

void num_factorial(NumValue* r, const NumValue* a) {
  switch (NumberType) {
    case kTypeReal:
      dec_factorial_rounded(r, a);
      break;
    case kTypeComplex:
      if (real_part_or_fail(r, a)) {
        dec_factorial_rounded(cplx_re(r), cplx_re(a));
        make_zero(cplx_im(r), false);
      }
      break;
    case kTypeUInt:
      biguint_factorial(r, a);
      break;
    case kTypeRational: {
      ContextScope saved = ContextScope::isolated_status();
      ScratchScope scope;
      BigUInt* v = scratch_alloc(static_cast<std::size_t>(limbs()));
      const bool ok = rational_is_integer(a) && !(rat_negative(a) && !rational_is_zero(a));
      if (ok) biguint_factorial(v, rat_num(a));
      rational_set_zero(r);
      if (!ok) {
        set_status(MathStatus::Undefined);
      } else if (!g_arith.status) {
        biguint_copy(rat_num(r), v);
      }
      break;
    }
    default:
      unknown_type();
  }
}

void num_gcd(NumValue* r, const NumValue* a, const NumValue* b) {
  switch (NumberType) {
    case kTypeReal:
      dec_gcd(r, a, b);
      break;
    case kTypeComplex:
      cplx_apply_real2(r, a, b, dec_gcd);
      break;
    case kTypeUInt:
      biguint_gcd(r, a, b);
      break;
    case kTypeRational:
      rational_integer_op(r, a, b, biguint_gcd);
      break;
    default:
      unknown_type();
  }
}

void num_lcm(NumValue* r, const NumValue* a, const NumValue* b) {
  switch (NumberType) {
    case kTypeReal:
      dec_lcm_rounded(r, a, b);
      break;
    case kTypeComplex:
      cplx_apply_real2(r, a, b, dec_lcm_rounded);
      break;
    case kTypeUInt:
      biguint_lcm(r, a, b);
      break;
    case kTypeRational:
      rational_integer_op(r, a, b, biguint_lcm);
      break;
    default:
      unknown_type();
  }
}

void num_round_digits(NumValue* r, const NumValue* a, std::int64_t digits) {
  switch (NumberType) {
    case kTypeReal:
      if (digits < 1) {
        make_undefined(r, MathStatus::Undefined);
      } else {
        dec_round_digits(r, a, digits);
      }
      break;
    case kTypeComplex:
      cplx_round_digits(r, a, digits);
      break;
    default:
      unknown_type();
  }
}

void num_set_pi(NumValue* r) {
  switch (NumberType) {
    case kTypeReal:
      decfloat_pi(r);
      break;
    case kTypeComplex:
      decfloat_pi(r);
      make_zero(cplx_im(r), false);
      break;
    default:
      unknown_type();
  }
}

std::int64_t num_format(char16_t* buffer, std::int64_t capacity, const NumValue* a,
                        std::uint32_t flags) {
  const bool terminate = (flags & 0x400000) == 0;
  switch (NumberType) {
    case kTypeComplex: {
      if (!buffer) return cplx_format(nullptr, 0, a, flags);
      // The complex formatter counts its terminator inside the capacity.
      return cplx_format(buffer, capacity + (terminate ? 1 : 0), a, flags);
    }
    case kTypeRational:
      return rational_format(buffer, capacity, a, flags);
    case kTypeReal:
    case kTypeUInt: {
      if (!buffer) {
        return NumberType == kTypeReal ? dec_text_size(flags) : biguint_text_size(flags);
      }
      TextSink sink{0, std::max<std::int64_t>(capacity, 0), buffer};
      if (NumberType == kTypeReal) {
        dec_format(sink, a, flags & ~std::uint32_t{0x400000});
      } else {
        biguint_format(sink, a, flags & ~std::uint32_t{0x400000});
      }
      const std::int64_t len = sink_length_or_overflow_mark(sink);
      if (terminate) buffer[len] = 0;
      return len;
    }
    default:
      unknown_type();
      if (buffer && terminate) buffer[0] = 0;
      return 0;
  }
}
