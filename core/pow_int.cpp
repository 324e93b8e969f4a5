// Integer powers by square-and-multiply at raised precision. The error of the truncated
// products grows with |m|, so the result is checked against the rounding boundary and, when it
// lies too close to decide, computed again with more guard digits.
#include <cmath>
#include <cstring>

#include "core/arith.h"
#include "core/limbs.h"

namespace {

// x^|m| (and its reciprocal for m < 0) at the current (raised) precision, truncated.
void power_truncated(DecFloat* dst, const DecFloat* x, std::int64_t m) {
  const std::uint32_t status_before = g_arith.status;
  ScratchScope scope;
  DecFloat* sq = scratch_dec();
  DecFloat* acc = scratch_dec();
  dec_copy(sq, x);
  std::uint64_t e = m < 0 ? 0 - static_cast<std::uint64_t>(m) : static_cast<std::uint64_t>(m);
  bool first = true;
  while (e) {
    if (e & 1) {
      if (first) {
        dec_copy(acc, sq);
        first = false;
      } else {
        dec_mul(acc, acc, sq);
      }
    }
    e >>= 1;
    if (e) dec_mul(sq, sq, sq);
  }
  if (m < 0) {
    // x^-m = (1/x)^m: a product that overflowed means a result that underflows, which is
    // silent, so the overflow status of the intermediate must not be reported.
    if (is_infinity(acc) && status_before == 0) g_arith.status = 0;
    if (is_zero(acc)) {
      make_infinity(dst, dec_negative(acc));
      if (g_arith.report_overflow) set_status(MathStatus::Overflow);
    } else if (is_infinity(acc)) {
      make_zero(dst, dec_negative(acc));
    } else {
      DecFloat* one = scratch_dec();
      dec_from_word(one, 1);
      dec_div(dst, one, acc);
    }
  } else {
    dec_copy(dst, acc);
  }
}

}  // namespace

void dec_pow_int(DecFloat* dst, const DecFloat* a, std::int64_t m) {
  if (m == 0) {
    if (is_undefined(a)) {
      make_undefined(dst);
    } else if (is_infinity(a)) {
      make_undefined(dst, MathStatus::Undefined);
    } else {
      dec_from_word(dst, 1);
    }
    return;
  }
  if (is_special(a)) {
    const bool neg = dec_negative(a) && (m & 1);
    if (is_undefined(a)) {
      make_undefined(dst);
    } else if (is_infinity(a)) {
      if (m > 0) {
        make_infinity(dst, neg);
      } else {
        make_zero(dst, neg);
      }
    } else if (m > 0) {
      make_zero(dst, neg);
    } else {
      make_undefined(dst, MathStatus::Undefined);
    }
    return;
  }
  const std::uint64_t am =
      m < 0 ? 0 - static_cast<std::uint64_t>(m) : static_cast<std::uint64_t>(m);
  // Guard digits: enough that the accumulated error stays far below half a unit; raised when
  // the result falls too close to a rounding boundary.
  std::int64_t g = am < 100 ? 5 : digit_count(am) + 4;
  const std::uint32_t status_before = g_arith.status;
  for (int attempt = 0;; ++attempt) {
    ScratchScope scope;
    const std::int64_t extra = (g + 18) / 19 + 1;
    DecFloat* wa = scratch_alloc(static_cast<std::size_t>(dec_words() + extra));
    DecFloat* res = scratch_alloc(static_cast<std::size_t>(dec_words() + extra));
    widen(wa, a, g);
    {
      ContextScope gp = ContextScope::guard(g);
      power_truncated(res, wa, m);
    }
    const Word rl = narrow(dst, res, g);
    // Error bound of the raised computation in units of its last place, about 20 (|m| + 1),
    // expressed as a fraction of the round limb's scale.
    const double err_units = 20.0 * (static_cast<double>(am) + 1.0);
    const double err_rl = err_units * std::pow(10.0, 19.0 - static_cast<double>(g)) + 2.0;
    const double dist = std::fabs(static_cast<double>(rl) - static_cast<double>(kHalfLimb));
    const bool exact_tie = rl == kHalfLimb;
    if (is_special(dst) || exact_tie || dist > err_rl || attempt >= 3) {
      apply_rounding(dst, rl);
      break;
    }
    g += 20;
    g_arith.status = status_before;  // a retry must not keep a status of the failed attempt
  }
}
