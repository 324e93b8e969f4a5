// Integer and fractional parts, rounding to a number of digits, and conversion from and to
// machine integers.
#include <cstring>

#include "core/arith.h"
#include "core/limbs.h"

namespace {

// Clears the mantissa digits from position `from` (0 = leading digit) on; returns whether any
// of them was non-zero.
bool clear_digits_from(Word* m, std::int64_t from) {
  const std::int64_t n = g_arith.limb_count;
  const std::int64_t k = g_arith.top_digits;
  bool any = false;
  for (std::int64_t i = 0; i < n; ++i) {
    // digits of limb i occupy positions [start, start + width)
    const std::int64_t width = i == 0 ? k : 19;
    const std::int64_t start = i == 0 ? 0 : k + 19 * (i - 1);
    if (from >= start + width) continue;
    const std::int64_t keep = from > start ? from - start : 0;  // leading digits kept
    Word r;
    const Word q = div_pow10(m[i], static_cast<int>(width - keep), &r);
    any |= r != 0;
    m[i] = q * kPow10[width - keep];
  }
  return any;
}

}  // namespace

void dec_trunc(DecFloat* dst, const DecFloat* a) {
  if (is_special(a)) {
    dec_copy(dst, a);
    return;
  }
  const std::int64_t e = dec_exponent(a);
  if (e < 0) {
    make_zero(dst, dec_negative(a));
    return;
  }
  dec_copy(dst, a);
  if (e >= g_arith.precision - 1) return;
  clear_digits_from(dst + 1, e + 1);
}

void dec_frac(DecFloat* dst, const DecFloat* a) {
  if (is_special(a)) {
    if (is_undefined(a)) {
      make_undefined(dst);
    } else {
      make_zero(dst, dec_negative(a));
    }
    return;
  }
  const std::int64_t e = dec_exponent(a);
  if (e >= g_arith.precision - 1) {
    make_zero(dst, dec_negative(a));
    return;
  }
  if (e < 0) {
    dec_copy(dst, a);
    return;
  }
  ScratchScope scope;
  DecFloat* t = scratch_dec();
  dec_trunc(t, a);
  dec_add_sub(dst, a, t, 1);  // exact: no digit leaves the precision
  if (is_zero(dst)) dec_set_sign(dst, dec_negative(a));
}

void dec_round_digits(DecFloat* dst, const DecFloat* a, std::int64_t digits) {
  if (is_special(a) || digits >= g_arith.precision) {
    dec_copy(dst, a);
    return;
  }
  if (digits < 1) digits = 1;
  dec_copy(dst, a);
  Word* m = dst + 1;
  // The first dropped digit decides: >= 5 rounds the magnitude up.
  const std::int64_t k = g_arith.top_digits;
  const bool up = mantissa_digit(m, digits) >= 5;
  clear_digits_from(m, digits);
  if (!up) return;
  // Add one unit at position digits - 1 and let the carry ripple.
  const DigitPlace unit = digit_place(digits - 1);
  const std::int64_t ulimb = unit.limb;
  const int upos = unit.below;
  Word carry = kPow10[upos];
  for (std::int64_t i = ulimb; i >= 1 && carry; --i) {
    m[i] += carry;
    carry = 0;
    if (m[i] >= kLimbBase) {
      m[i] -= kLimbBase;
      carry = 1;
    }
  }
  if (carry) m[0] += carry;
  if (m[0] >= kPow10[k]) {
    m[0] = kPow10[k - 1];
    const std::int64_t e = dec_exponent(dst);
    set_exponent_checked(dst, e >= kMaxExponent ? kMaxExponent + 1 : e + 1);
  }
}

Word dec_from_word(DecFloat* dst, std::uint64_t v) {
  if (v == 0) {
    make_zero(dst, false);
    return 0;
  }
  Word lo;
  const Word hi = div_limb_base(0, v, &lo);
  const Word src[2] = {hi, lo};
  std::int64_t digits;
  const Word rl = take_leading_digits(dst, src, 2, &digits);
  set_exponent_checked(dst, digits - 1, false);
  return rl;
}

void dec_from_int(DecFloat* dst, std::int64_t v) {
  const std::uint64_t mag =
      v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
  apply_rounding(dst, dec_from_word(dst, mag));
  if (v < 0) dec_set_sign(dst, true);
}

bool dec_to_word(std::uint64_t* out, const DecFloat* a, std::uint32_t flags) {
  *out = 0;
  if (is_special(a)) {
    if (!is_zero(a)) return false;
    return !dec_negative(a) || (flags & kToWordAllowNegative);
  }
  if (dec_negative(a) && !(flags & kToWordAllowNegative)) return false;
  const std::int64_t e = dec_exponent(a);
  if (e >= 20) return false;
  if (e < 0) return (flags & kToWordAllowFraction) != 0;
  // Integer part: the first e + 1 digits, accumulated in 128 bits to detect overflow.
  const std::int64_t p = g_arith.precision;
  const std::int64_t k = g_arith.top_digits;
  u128 value = 0;
  bool fraction = false;
  for (std::int64_t i = 0; i < g_arith.limb_count; ++i) {
    const std::int64_t width = i == 0 ? k : 19;
    const std::int64_t start = i == 0 ? 0 : k + 19 * (i - 1);
    const std::int64_t int_digits = e + 1 - start;  // digits of this limb in the integer part
    if (int_digits <= 0) {
      fraction |= a[1 + i] != 0;
      continue;
    }
    if (int_digits >= width) {
      value = value * kPow10[width] + a[1 + i];
    } else {
      Word r;
      const Word q = div_pow10(a[1 + i], static_cast<int>(width - int_digits), &r);
      value = value * kPow10[int_digits] + q;
      fraction |= r != 0;
    }
  }
  // Digits of the integer part beyond P are zeros.
  for (std::int64_t i = p; i <= e; ++i) value *= 10;
  if (fraction && !(flags & kToWordAllowFraction)) return false;
  if (value > static_cast<u128>(~std::uint64_t{0})) return false;
  *out = static_cast<std::uint64_t>(value);
  return true;
}

bool dec_to_int(std::int64_t* out, const DecFloat* a, std::uint32_t flags) {
  *out = 0;
  std::uint64_t mag;
  if (!dec_to_word(&mag, a, flags | kToWordAllowNegative)) return false;
  if (dec_negative(a)) {
    if (mag > (std::uint64_t{1} << 63)) return false;
    *out = static_cast<std::int64_t>(0 - mag);
    return true;
  }
  if (mag > static_cast<std::uint64_t>(INT64_MAX)) return false;
  *out = static_cast<std::int64_t>(mag);
  return true;
}
