// Comparisons. Machine integers are turned into a short mantissa aligned like a record of the
// current precision and compared the same way.
#include "core/arith.h"
#include "core/limbs.h"

namespace {

// Order of |x| against the positive number with mantissa limbs m (n limbs, k top digits) and
// exponent e; x normal.
int compare_magnitude(const DecFloat* x, const Word* m, std::int64_t e) {
  const std::int64_t ex = dec_exponent(x);
  if (ex != e) return ex < e ? -1 : 1;
  return limbs_compare(x + 1, m, g_arith.limb_count);
}

// Compares a with a positive value given as an integer (up to 19 + 19 digits in two words,
// hi * 10^19 + lo) scaled by 10^shift. Returns the order of a against +value, or of |a|.
int compare_with_integer(const DecFloat* a, Word hi, Word lo, bool value_negative, bool ignore_sign,
                         std::int64_t shift) {
  const bool zero_value = hi == 0 && lo == 0;
  const bool an = ignore_sign ? false : dec_negative(a);
  const bool vn = ignore_sign ? false : value_negative;
  if (is_undefined(a)) return 1;
  if (is_zero(a)) {
    if (zero_value) return 0;
    return vn ? 1 : -1;
  }
  if (is_infinity(a)) return an ? -1 : 1;
  if (zero_value) return an ? -1 : 1;
  if (an != vn) return an ? -1 : 1;
  ScratchScope scope;
  DecFloat* v = scratch_dec();
  const Word src[2] = {hi, lo};
  std::int64_t digits;
  const Word rl = take_leading_digits(v, src, 2, &digits);
  int c = compare_magnitude(a, v + 1, digits - 1 + shift);
  // Digits of the value beyond P make it larger than its truncation.
  if (c == 0 && rl != 0) c = -1;
  return an ? -c : c;
}

}  // namespace

int dec_compare(const DecFloat* a, const DecFloat* b, bool ignore_sign) {
  if (is_undefined(a) || is_undefined(b)) return 1;
  const bool an = ignore_sign ? false : dec_negative(a);
  const bool bn = ignore_sign ? false : dec_negative(b);
  const bool az = is_zero(a), bz = is_zero(b);
  if (az && bz) return 0;
  if (az) return bn ? 1 : -1;
  if (bz) return an ? -1 : 1;
  const bool ai = is_infinity(a), bi = is_infinity(b);
  if (ai || bi) {
    if (ai && bi && an == bn) return 0;
    if (ai) return an ? -1 : 1;
    return bn ? 1 : -1;
  }
  if (an != bn) return an ? -1 : 1;
  int c = compare_magnitude(a, b + 1, dec_exponent(b));
  return an ? -c : c;
}

int dec_compare_int(const DecFloat* a, std::int64_t v) {
  const std::uint64_t mag =
      v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
  Word lo;
  const Word hi = div_limb_base(0, mag, &lo);
  return compare_with_integer(a, hi, lo, v < 0, false, 0);
}

int dec_compare_word(const DecFloat* a, std::uint64_t v, bool ignore_sign) {
  Word lo;
  const Word hi = div_limb_base(0, v, &lo);
  return compare_with_integer(a, hi, lo, false, ignore_sign, 0);
}

int dec_compare_short(const DecFloat* a, std::uint64_t digits, std::int64_t e, bool ignore_sign) {
  if (digits >= kPow10[18]) {
    set_status(MathStatus::Undefined);
    return 1;
  }
  if (digits == 0) return compare_with_integer(a, 0, 0, false, ignore_sign, 0);
  // digits d1 d2 ... with the leading one at exponent e: the integer has digit_count digits.
  return compare_with_integer(a, 0, digits, false, ignore_sign, e - (digit_count(digits) - 1));
}
