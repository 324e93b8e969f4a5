// Integer quotient and remainder, digit by digit: q = trunc(a / b), r = a - q b, both exact
// (q keeps its first P digits when it has more). The loop runs once per integer digit of the
// quotient and polls the stop request.
#include <cstring>

#include "core/arith.h"
#include "core/limbs.h"

namespace {

void set_both_undefined(DecFloat* q, DecFloat* r, MathStatus status) {
  if (q) make_undefined(q, status);
  if (r) make_undefined(r, status);
}

// Writes digit d at position pos (0 = leading) of a P-digit mantissa in limbs m (n limbs).
void put_digit(Word* m, std::int64_t pos, Word d) {
  const std::int64_t k = g_arith.top_digits;
  if (pos < k) {
    m[0] += d * kPow10[k - 1 - pos];
  } else {
    const std::int64_t i = 1 + (pos - k) / 19;
    m[i] += d * kPow10[18 - (pos - k) % 19];
  }
}

// x = x y mod B for w-limb values below B; bs is B from its first non-zero limb (bl limbs).
void mul_mod(Word* x, const Word* y, std::int64_t w, const Word* bs, std::int64_t bl) {
  ScratchScope scope;
  Word* prod = scratch_alloc(static_cast<std::size_t>(2 * w));
  Word* quot = scratch_alloc(static_cast<std::size_t>(2 * w - bl + 1));
  Word* r = scratch_alloc(static_cast<std::size_t>(bl));
  product_columns(prod, x, y, w, 0);
  limbs_divide(quot, prod, 2 * w, bs, bl, r);
  std::memset(x, 0, static_cast<std::size_t>(w) * sizeof(Word));
  std::memcpy(x + (w - bl), r, static_cast<std::size_t>(bl) * sizeof(Word));
}

// rem = rem 10^s mod B: the remainder after s more quotient digits that are not stored, by
// square-and-multiply instead of s digit steps. False when stopped.
bool shift_remainder(Word* rem, std::int64_t w, const Word* b, std::uint64_t s) {
  ScratchScope scope;
  const std::int64_t lead = first_nonzero(b, w);
  const Word* bs = b + lead;
  const std::int64_t bl = w - lead;
  Word* acc = scratch_alloc(static_cast<std::size_t>(w));
  Word* base = scratch_alloc(static_cast<std::size_t>(w));
  Word* quot = scratch_alloc(static_cast<std::size_t>(w + 1));
  Word* r = scratch_alloc(static_cast<std::size_t>(bl));
  std::memset(base, 0, static_cast<std::size_t>(w) * sizeof(Word));
  base[w - 1] = 10;
  limbs_divide(quot, base, w, bs, bl, r);  // 10 mod B
  std::memset(base, 0, static_cast<std::size_t>(w) * sizeof(Word));
  std::memcpy(base + (w - bl), r, static_cast<std::size_t>(bl) * sizeof(Word));
  std::memset(acc, 0, static_cast<std::size_t>(w) * sizeof(Word));
  acc[w - 1] = 1;
  if (bl == 1 && bs[0] == 1) acc[w - 1] = 0;  // everything is 0 mod 1
  for (; s; s >>= 1) {
    if (cancel_requested()) return false;
    if (s & 1) mul_mod(acc, base, w, bs, bl);
    if (s > 1) mul_mod(base, base, w, bs, bl);
  }
  mul_mod(rem, acc, w, bs, bl);
  return true;
}

}  // namespace

void dec_divmod(DecFloat* q, DecFloat* r, const DecFloat* a, const DecFloat* b) {
  const bool sa = dec_negative(a);
  const bool sq = sa != dec_negative(b);
  if (is_undefined(a) || is_undefined(b)) {
    if (q) make_undefined(q);
    if (r) make_undefined(r);
    return;
  }
  if (is_zero(a) && !is_special(b)) {
    if (q) make_zero(q, sq);
    if (r) make_zero(r, sa);
    return;
  }
  if (is_special(a) || is_special(b)) {
    set_both_undefined(q, r, MathStatus::Undefined);
    return;
  }
  const std::int64_t n = g_arith.limb_count;
  const std::int64_t p = g_arith.precision;
  const std::int64_t ea = dec_exponent(a), eb = dec_exponent(b);
  const int mant_cmp = limbs_compare(a + 1, b + 1, n);
  if (ea < eb || (ea == eb && mant_cmp < 0)) {
    if (r) dec_copy(r, a);
    if (q) make_zero(q, sq);
    return;
  }
  // Number of integer digits of the quotient.
  const std::int64_t digits = ea - eb + (mant_cmp >= 0 ? 1 : 0);

  ScratchScope scope;
  const std::int64_t w = n + 1;  // one extra leading limb: 9 b and 10 R fit
  Word* mult = scratch_alloc(static_cast<std::size_t>(10 * w));  // mult + i w = i b, i = 0..9
  Word* rem = scratch_alloc(static_cast<std::size_t>(w));
  Word* qm = scratch_alloc(static_cast<std::size_t>(n));
  std::memset(mult, 0, static_cast<std::size_t>(w) * sizeof(Word));
  for (int i = 1; i <= 9; ++i) {
    std::memcpy(mult + i * w, mult + (i - 1) * w, static_cast<std::size_t>(w) * sizeof(Word));
    Word c = 0;
    for (std::int64_t j = w - 1; j >= 0; --j) {
      const Word bj = j >= 1 ? b[j] : 0;
      mult[i * w + j] = limb_add(mult[i * w + j], bj, &c);
    }
  }
  rem[0] = 0;
  std::memcpy(rem + 1, a + 1, static_cast<std::size_t>(n) * sizeof(Word));
  std::memset(qm, 0, static_cast<std::size_t>(n) * sizeof(Word));
  // When a's mantissa is below b's, the first digit already needs a shifted remainder.
  bool shift = mant_cmp < 0;
  // Digits beyond P are not stored; when there are many, the remainder skips them at once.
  constexpr std::int64_t kShortcut = 64;
  const std::int64_t steps = digits - p > kShortcut ? p : digits;
  for (std::int64_t t = 0; t < steps; ++t) {
    if (cancel_requested()) {
      set_both_undefined(q, r, MathStatus::Cancelled);
      return;
    }
    if (shift) limbs_mul_word(rem, w, 10, 0);
    shift = true;
    // Largest multiple not above the remainder: 5, then 3 or 7, then the neighbours.
    auto le = [&](int i) { return limbs_compare(mult + i * w, rem, w) <= 0; };
    int d;
    if (le(5)) {
      if (le(7)) {
        d = le(9) ? 9 : (le(8) ? 8 : 7);
      } else {
        d = le(6) ? 6 : 5;
      }
    } else {
      if (le(3)) {
        d = le(4) ? 4 : 3;
      } else {
        d = le(2) ? 2 : (le(1) ? 1 : 0);
      }
    }
    if (d) limbs_sub(rem, mult + d * w, w);
    if (t < p) put_digit(qm, t, static_cast<Word>(d));
  }
  if (steps < digits &&
      !shift_remainder(rem, w, mult + w, static_cast<std::uint64_t>(digits - steps))) {
    set_both_undefined(q, r, MathStatus::Cancelled);
    return;
  }
  if (q) {
    std::memcpy(q + 1, qm, static_cast<std::size_t>(n) * sizeof(Word));
    if (!set_exponent_checked(q, digits - 1, sq)) make_undefined(q, MathStatus::Undefined);
  }
  if (r) {
    std::int64_t rdigits;
    const Word* rsrc = rem;
    // The remainder is below b: it has at most P digits and is exact.
    const Word unused = take_leading_digits(r, rsrc, w, &rdigits);
    (void)unused;
    if (rdigits == 0) {
      make_zero(r, sa);
    } else {
      // Its unit is b's last digit, 10^(eb - P + 1).
      set_exponent_checked(r, eb - p + rdigits, sa);
    }
  }
}
