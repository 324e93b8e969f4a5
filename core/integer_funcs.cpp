// Binomial coefficients and permutation counts as step-by-step products, gcd by Euclid's
// algorithm and lcm through it.
//
// ncr(n; k) = prod_{i=1..r} (b + i) / i and npr(n; k) = prod_{i=1..r} (b + i) with b = n - k
// and r = k, or (combinations of a non-negative integer n) the shorter symmetric count r = n - k,
// b = k. Each step truncates once or twice, so the kernel adds digits(r) + 2 digits. Statuses:
// 203 for operands outside the domains (a non-integer or negative k, infinite operands,
// gcd of non-positive or fractional numbers), 207 for a stop request in the product (polled
// each step) or in an integer division of Euclid's algorithm.
#include "core/elementary_internal.h"

using namespace elem;

Word dec_binomial(DecFloat* dst, const DecFloat* n, const DecFloat* k, bool perm) {
  if (is_undefined(n) || is_undefined(k)) {
    make_undefined(dst);
    return 0;
  }
  if (is_zero(k)) {
    if (is_infinity(n)) {
      make_undefined(dst, MathStatus::Undefined);
    } else {
      dec_one(dst);
    }
    return 0;
  }
  // k counts chosen elements: a non-negative integer (a fractional k would need the gamma
  // function, which this product does not give).
  if (is_special(k) || dec_negative(k) || !is_integer(k)) {
    make_undefined(dst, MathStatus::Undefined);
    return 0;
  }
  if (is_zero(n)) {
    make_zero(dst, dec_negative(n) && !is_even(k));
    return 0;
  }
  if (is_special(n)) {
    make_undefined(dst, MathStatus::Undefined);
    return 0;
  }
  ScratchScope scope;
  DecFloat* d = scratch_dec();
  dec_add_sub(d, n, k, 1);
  const DecFloat* base = d;
  const DecFloat* count = k;
  if (!dec_negative(n) && is_integer(n)) {
    if (dec_compare(k, n, false) > 0) {
      make_zero(dst, false);
      return 0;
    }
    if (!perm && dec_compare(d, k, false) < 0) {
      base = k;
      count = d;
    }
  }
  std::uint64_t r;
  if (!dec_to_word(&r, count, 0)) {
    make_undefined(dst, MathStatus::Undefined);
    return 0;
  }
  if (r == 0) {
    dec_one(dst);
    return 0;
  }
  return with_guard_digits(
      digit_count(r) + 2,
      [r, perm](DecFloat* p, const DecFloat* b, const DecFloat*) {
        ScratchScope s;
        DecFloat* t = scratch_dec();
        dec_one(p);
        for (std::uint64_t i = 1; i <= r; ++i) {
          if (cancel_requested()) {
            make_undefined(p, MathStatus::Cancelled);
            break;
          }
          dec_from_word(t, i);
          dec_add_sub(t, b, t, 0);
          dec_mul(p, p, t);
          if (!perm) dec_div_word(p, p, i, 0);
          if (is_special(p)) break;  // 0 once a factor vanished, or beyond the range
        }
        return Word{0};
      },
      dst, base, base);
}

void dec_binomial_rounded(DecFloat* dst, const DecFloat* n, const DecFloat* k, bool perm) {
  const Word rl = with_guard_digits(
      kBinomialGuardDigits,
      [perm](DecFloat* r, const DecFloat* a, const DecFloat* b) {
        return dec_binomial(r, a, b, perm);
      },
      dst, n, k);
  apply_rounding(dst, rl);
}

namespace {

bool positive_integer(const DecFloat* x) {
  return !is_special(x) && !dec_negative(x) && is_integer(x);
}

}  // namespace

void dec_gcd(DecFloat* dst, const DecFloat* a, const DecFloat* b) {
  if (is_undefined(a) || is_undefined(b)) {
    make_undefined(dst);
    return;
  }
  if (!positive_integer(a) || !positive_integer(b)) {
    make_undefined(dst, MathStatus::Undefined);
    return;
  }
  ScratchScope scope;
  DecFloat* x = scratch_dec();
  DecFloat* y = scratch_dec();
  DecFloat* r = scratch_dec();
  dec_copy(x, a);
  dec_copy(y, b);
  for (;;) {
    dec_divmod(nullptr, r, x, y);
    if (is_zero(r)) break;
    if (is_special(r)) {  // a stop request (207 is set then) or a failed division
      make_undefined(dst, MathStatus::Undefined);
      return;
    }
    DecFloat* t = x;
    x = y;
    y = r;
    r = t;
  }
  dec_copy(dst, y);
  dec_abs(dst);
}

Word dec_lcm(DecFloat* dst, const DecFloat* a, const DecFloat* b) {
  ScratchScope scope;
  DecFloat* g = scratch_dec();
  DecFloat* q = scratch_dec();
  dec_gcd(g, a, b);
  if (is_special(g)) {
    dec_copy(dst, g);
    return 0;
  }
  dec_divmod(q, nullptr, a, g);  // exact: g divides a
  return dec_mul(dst, q, b);
}

void dec_lcm_rounded(DecFloat* dst, const DecFloat* a, const DecFloat* b) {
  apply_rounding(dst, dec_lcm(dst, a, b));
}
