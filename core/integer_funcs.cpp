// Binomial coefficients and permutation counts, gcd by Euclid's algorithm and lcm through it.
//
// ncr(n; k) = prod_{i=1..r} (b + i) / r! and npr(n; k) = prod_{i=1..r} (b + i) with b = n - k
// and r = k, or (combinations of a non-negative integer n) the shorter symmetric count r = n - k,
// b = k. For a non-negative integer n the product and r! are built by binary splitting: each
// half exactly while it fits the precision, so only the O(log r) levels above the precision
// truncate; for long products (r beyond what the splitting does quickly) the quotient of
// factorials n! / (k! (n-k)!) or n! / (n-k)!, whose factorials take Stirling's series. Other n
// take the step-by-step product, each step truncating once or twice. The kernel adds
// digits(r) + 2 digits of its own. Statuses: 203 for operands outside the domains (a
// non-integer or negative k, infinite operands, gcd of non-positive or fractional numbers),
// 207 for a stop request in the product (polled each step or leaf) or in an integer division
// of Euclid's algorithm.
#include <algorithm>

#include "core/correct_rounding.h"
#include "core/elementary_internal.h"

using namespace elem;

namespace {

// Factors multiplied one machine word at a time at the leaves of the splitting.
constexpr std::uint64_t kLeafFactors = 32;
// x! of larger x overflows the exponent range.
constexpr std::uint64_t kFactorialOverflow = 300000000000000000ULL;

// p = prod_{i=lo+1..hi} (b + i) for b + hi < 2^64. Each node runs at the limbs its exact
// value needs (at most the precision) and leaves zeros behind them, so the nodes below the
// precision are exact.
void range_product(DecFloat* p, std::uint64_t b, std::uint64_t lo, std::uint64_t hi) {
  const std::int64_t n = g_arith.limb_count;
  const std::uint64_t count = hi - lo;
  const std::uint64_t digits = count * static_cast<std::uint64_t>(digit_count(b + hi));
  const std::int64_t need = digits / 19 + 2 >= static_cast<std::uint64_t>(n)
                                ? n
                                : static_cast<std::int64_t>(digits / 19 + 2);
  if (count <= kLeafFactors) {
    if (cancel_requested()) return make_undefined(p, MathStatus::Cancelled);
    {
      ContextScope trim = ContextScope::trim(n - need);
      dec_one(p);
      std::uint64_t w = 1;
      for (std::uint64_t i = lo + 1; i <= hi; ++i) {
        const std::uint64_t f = b + i;
        if (w > ~std::uint64_t{0} / f) {
          dec_mul_word(p, p, w);
          w = f;
        } else {
          w *= f;
        }
      }
      dec_mul_word(p, p, w);
    }
    clear_tail(p, n - need);
    return;
  }
  ScratchScope scope;
  DecFloat* q = scratch_dec();
  const std::uint64_t mid = lo + count / 2;
  range_product(p, b, lo, mid);
  if (is_special(p)) return;
  range_product(q, b, mid, hi);
  if (is_special(q)) return dec_copy(p, q);
  {
    ContextScope trim = ContextScope::trim(n - need);
    dec_mul(p, p, q);
  }
  clear_tail(p, n - need);
}

// Rough costs in seconds, measured at 1,000 and 10,005 digits: splitting a product of r
// factors is linear in r and in the limbs; x! by Stirling's series (used from the threshold of
// factorial_uses_stirling on) grows like P^3 and falls with the number of digits of x.
double product_cost(std::uint64_t r, double p) {
  return 9e-10 * static_cast<double>(r) * (p / 19.0 + 20.0);
}
double factorial_cost(std::uint64_t x, double p) {
  if (x < 2) return 0.0;
  if (x >= kFactorialOverflow) return 1e300;  // x! beyond the exponent range
  if (!factorial_uses_stirling(x, static_cast<std::int64_t>(p))) return 2.0 * product_cost(x, p);
  const double lg = static_cast<double>(digit_count(x));
  return 1.1e-10 * p * p * p / (lg * lg) + 1e-3;
}

// p = x! (kernel) for a machine integer x.
void factorial_of(DecFloat* p, std::uint64_t x) {
  ScratchScope scope;
  DecFloat* t = scratch_dec();
  dec_from_word(t, x);
  dec_factorial(p, t);
}

// The integer case: n a non-negative integer, base + r = n (ncr) or base = n - k (npr), all
// below 2^64. The falling product (base+1)...(n) and, for ncr, r! each take the cheaper of
// splitting and factorials.
void binomial_of_integers(DecFloat* p, std::uint64_t base, std::uint64_t r, std::uint64_t nn,
                          bool perm) {
  ScratchScope scope;
  DecFloat* q = scratch_dec();
  const double digits = static_cast<double>(g_arith.precision);
  const bool r_by_factorial = !perm && factorial_cost(r, digits) < product_cost(r, digits);
  // ncr(2m; m) = (2m)! / (m!)^2: the one factorial serves twice.
  const bool shared = r_by_factorial && base == r;
  const double base_cost = shared ? 0.0 : factorial_cost(base, digits);
  bool q_is_base_factorial = false;
  if (factorial_cost(nn, digits) + base_cost < product_cost(r, digits)) {
    factorial_of(p, nn);
    factorial_of(q, base);
    q_is_base_factorial = true;
    dec_div(p, p, q);
  } else {
    range_product(p, base, 0, r);
  }
  if (perm || is_special(p)) return;
  if (shared && q_is_base_factorial) {
    // q holds base! = r! already
  } else if (r_by_factorial) {
    factorial_of(q, r);
  } else {
    range_product(q, 0, 0, r);
  }
  if (is_special(q)) return dec_copy(p, q);
  dec_div(p, p, q);
}

}  // namespace

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
  std::uint64_t nn, b;
  if (!dec_negative(n) && is_integer(n)) {
    if (dec_to_word(&nn, n, 0) && dec_to_word(&b, base, 0) && b + r >= b) {
      return with_guard_digits(
          digit_count(r) + 2,
          [b, r, nn, perm](DecFloat* p, const DecFloat*) {
            binomial_of_integers(p, b, r, nn, perm);
            return Word{0};
          },
          dst, n);
    }
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
  // Products truncated once per factor with digits(k) + 2 digits to spare, or factorial
  // quotients by Stirling's series: within a few units at P + g.
  round_kernel_by_ziv(
      dst, ziv_first_guard(kBinomialGuardDigits, kLogBound), kLogBound,
      [perm](DecFloat* r, const DecFloat* a, const DecFloat* b) {
        return dec_binomial(r, a, b, perm);
      },
      n, k);
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
