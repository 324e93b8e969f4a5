// n! as the product 1 * 2 * ... * n, or by Stirling's series
//   n! = sqrt(2 pi n) (n/e)^n e^S,  S = sum_k (-1)^(k-1) T_k / ((2k-1) 4^k (4^k - 1) n^(2k-1)),
// with the tangent numbers T_k = 1, 2, 16, 272, ... from a boustrophedon (Seidel) triangle.
// The product is chosen below a threshold n*(P) that grows with the precision (the
// interpolated threshold points), Stirling's series from it on.
//
// Both ways lose about digits(n) digits (n truncated word products, or the n-th power of n/e),
// so the kernel adds digits(n) + 2 digits of its own. Statuses: 203 for negative or
// fractional arguments, 200 beyond 64 bits and beyond the exponent range, 207 for a stop
// request (polled per product word and per series term), 400 for a full triangle.
#include <algorithm>
#include <memory>

#include "core/correct_rounding.h"
#include "core/elementary_internal.h"

namespace elem {

namespace {

// n! of larger n overflows the exponent range (log10 n! > 2^62).
constexpr std::uint64_t kFactorialOverflow = 300000000000000000ULL;
// Entries of the tangent-number triangle: rows up to 2999, so up to 1499 series terms.
constexpr std::size_t kTriangleEntries = 3000;

std::int64_t series_extra() {
  return 3 + digit_count(static_cast<std::uint64_t>(g_arith.precision));
}

// 1 * 2 * ... * n with as many factors per word product as fit 64 bits.
void product_core(DecFloat* r, std::uint64_t n) {
  dec_one(r);
  std::uint64_t w = 1;
  for (std::uint64_t i = 2; i <= n; ++i) {
    if (w > ~std::uint64_t{0} / i) {
      dec_mul_word(r, r, w);
      if (cancel_requested()) {
        make_undefined(r, MathStatus::Cancelled);
        return;
      }
      w = i;
    } else {
      w *= i;
    }
  }
  dec_mul_word(r, r, w);
}

enum class SeriesResult { Done, Diverged, Failed };

// S of Stirling's series at the current precision. The triangle rows and each term are
// computed with the limbs that still reach the last digit of S (terms fall by about
// 2 log10 n digits each).
SeriesResult stirling_sum(DecFloat* s, std::uint64_t n) {
  const std::int64_t q = g_arith.precision;
  const std::size_t words = static_cast<std::size_t>(dec_words());
  // The one heap block of the arithmetic: the triangle outgrows the scratch stack.
  std::unique_ptr<Word[]> block(new Word[kTriangleEntries * words]);
  auto entry = [&](std::size_t i) { return block.get() + i * words; };
  ScratchScope scope;
  DecFloat* run = scratch_dec();
  DecFloat* tmp = scratch_dec();
  DecFloat* term = scratch_dec();
  DecFloat* recip = scratch_dec();  // 1 / n^(2k-1)
  DecFloat* p4 = scratch_dec();     // 4^k
  DecFloat* d = scratch_dec();
  make_zero(s, false);
  dec_one(entry(0));
  std::size_t len = 1;  // row 0
  dec_one(recip);
  dec_div_word(recip, recip, n, 0);
  dec_one(p4);
  std::int64_t lost = 0;
  std::int64_t prev_term_exp = 0;
  for (std::uint64_t k = 1;; ++k) {
    if (cancel_requested()) {
      make_undefined(s, MathStatus::Cancelled);
      return SeriesResult::Failed;
    }
    if (len + 2 > kTriangleEntries) {
      make_undefined(s, MathStatus::InternalLimit);
      return SeriesResult::Failed;
    }
    const std::int64_t m = trim_limbs(lost);
    {
      ContextScope trim = ContextScope::trim(m);
      if (k > 1) {  // even row 2k - 2, stored reversed: suffix sums, a zero at the end
        make_zero(run, false);
        for (std::size_t i = len; i-- > 0;) {
          dec_add_sub(run, run, entry(i), 0);
          dec_copy(entry(i), run);
        }
        make_zero(entry(len), false);
        ++len;
      }
      // odd row 2k - 1 in natural order: prefix sums after a leading zero; its last entry
      // (the sum) is T_k
      make_zero(run, false);
      for (std::size_t i = 0; i < len; ++i) {
        dec_copy(tmp, entry(i));
        dec_copy(entry(i), run);
        dec_add_sub(run, run, tmp, 0);
      }
      dec_copy(entry(len), run);
      ++len;
      dec_mul(term, run, recip);
      dec_div_word(term, term, 2 * k - 1, 0);
      dec_mul_word(p4, p4, 4);
      if (k <= 31) {
        const std::uint64_t f = std::uint64_t{1} << (2 * k);
        dec_div_word(term, term, f, 0);
        dec_div_word(term, term, f - 1, 0);
      } else {
        dec_one(d);
        dec_add_sub(d, p4, d, 1);
        dec_mul(d, d, p4);
        dec_div(term, term, d);
      }
      dec_div_word(recip, recip, n, 0);
      dec_div_word(recip, recip, n, 0);
    }
    clear_tail(term, m);
    clear_tail(recip, m);
    clear_tail(p4, m);
    if (is_special(term)) return SeriesResult::Done;
    if (k > 1 && dec_exponent(term) >= prev_term_exp) return SeriesResult::Diverged;
    prev_term_exp = dec_exponent(term);
    if (k % 2 == 0) dec_negate(term);
    dec_add_sub(s, s, term, 0);
    lost = dec_exponent(s) - dec_exponent(term);
    if (lost >= q - 1) return SeriesResult::Done;
  }
}

// n! by Stirling's formula at the current precision; false when the series does not reach
// the precision (n too small for it).
bool stirling_core(DecFloat* r, std::uint64_t n) {
  ScratchScope scope;
  DecFloat* a = scratch_dec();
  DecFloat* b = scratch_dec();
  DecFloat* c = scratch_dec();
  const SeriesResult sr = stirling_sum(c, n);
  if (sr == SeriesResult::Diverged) return false;
  if (sr == SeriesResult::Failed) {
    dec_copy(r, c);
    return true;
  }
  exp10_with_extra(c, c, ExpMode::E, series_extra());  // e^S
  load_checked(a, kConstPiQuarter);
  dec_mul_word(a, a, 8);
  dec_mul_word(a, a, n);
  dec_sqrt(a, a);  // sqrt(2 pi n)
  dec_from_int(b, -1);
  exp10_with_extra(b, b, ExpMode::E, series_extra());
  dec_mul_word(b, b, n);
  dec_pow_int(b, b, static_cast<std::int64_t>(n));  // (n/e)^n
  dec_mul(r, a, b);
  dec_mul(r, r, c);
  return true;
}

}  // namespace

}  // namespace elem

using namespace elem;

bool factorial_uses_stirling(std::uint64_t n, std::int64_t precision) {
  if (n < 70) return false;
  const ThresholdPoint* t = kFactorialThresholds;
  constexpr int kLast = 41;
  std::uint64_t threshold;
  if (precision < t[0].precision) {
    threshold = t[0].n;
  } else if (precision >= t[kLast].precision) {
    threshold = t[kLast].n;
  } else {
    int lo = 0, hi = kLast;  // largest row with precision <= P
    while (lo < hi) {
      const int mid = (lo + hi + 1) / 2;
      if (t[mid].precision <= precision) {
        lo = mid;
      } else {
        hi = mid - 1;
      }
    }
    const std::uint64_t dn = t[lo + 1].n - t[lo].n;
    const std::uint64_t dp = static_cast<std::uint64_t>(t[lo + 1].precision - t[lo].precision);
    const std::uint64_t off = static_cast<std::uint64_t>(precision - t[lo].precision);
    threshold = t[lo].n + (2 * off * dn + dp) / (2 * dp);  // rounded to the nearest integer
  }
  return n >= threshold;
}

Word dec_factorial(DecFloat* dst, const DecFloat* x) {
  if (is_special(x)) {
    if (is_undefined(x)) {
      make_undefined(dst);
    } else if (is_zero(x)) {
      dec_one(dst);
    } else if (dec_negative(x)) {
      make_undefined(dst, MathStatus::Undefined);
    } else {
      make_infinity(dst, false);
    }
    return 0;
  }
  if (dec_negative(x) || !is_integer(x)) {
    make_undefined(dst, MathStatus::Undefined);
    return 0;
  }
  std::uint64_t n;
  if (!dec_to_word(&n, x, 0) || n >= kFactorialOverflow) {
    make_infinity(dst, false);
    if (g_arith.report_overflow) set_status(MathStatus::Overflow);
    return 0;
  }
  if (n <= 1) {
    dec_one(dst);
    return 0;
  }
  const bool stirling = factorial_uses_stirling(n, g_arith.precision);
  return raised(digit_count(n) + 2, dst, x, [n, stirling](DecFloat* r, const DecFloat*) {
    if (!stirling || !stirling_core(r, n)) product_core(r, n);
  });
}

void dec_factorial_rounded(DecFloat* dst, const DecFloat* x) {
  // The product truncated once per factor with digits(n) + 2 digits to spare, or Stirling's
  // series with its own: within a few units at P + g.
  round_kernel_by_ziv(dst, ziv_first_guard(factorial_guard_digits(x), kLogBound), kLogBound,
                      dec_factorial, x);
}
