// Conversions between DecFloat, BigUInt and Rational with explicit sizes.
#include <algorithm>
#include <cstring>

#include "core/arith.h"
#include "core/limbs.h"
#include "core/trig.h"
#include "integer/biguint_internal.h"
#include "integer/number.h"
#include "integer/rational.h"

namespace {

std::int64_t significant(const BigUInt* a, std::int64_t len) {
  while (len > 0 && a[len - 1] == 0) --len;
  return len;
}

// Base 10^19 limbs of x (s significant binary limbs), most significant first, into out (room
// for cap limbs); returns the number of limbs written at the end of out.
std::int64_t to_base_1e19(Word* out, std::int64_t cap, const BigUInt* x, std::int64_t s) {
  ScratchScope scope;
  Word* w = scratch_alloc(static_cast<std::size_t>(s));
  std::memcpy(w, x, static_cast<std::size_t>(s) * sizeof(Word));
  std::int64_t len = s, count = 0;
  constexpr Word kBase = 10000000000000000000ULL;
  const Word recip = reciprocal_of(kBase);
  while (len > 0) {
    Word rem = 0;
    for (std::int64_t i = len - 1; i >= 0; --i) w[i] = div_wide(rem, w[i], kBase, recip, &rem);
    while (len > 0 && w[len - 1] == 0) --len;
    if (count == cap) {
      set_status(MathStatus::InternalLimit);
      return count;
    }
    out[cap - 1 - count] = rem;
    ++count;
  }
  return count;
}

// Digits of a BigUInt of s significant limbs, at most (an upper bound for sizing).
std::int64_t digits_bound(std::int64_t s) {
  return s * 20 + 1;
}

// Runs f with the precision set to digits and BigUIntLimbs to limbs, restoring both.
template <class F>
void with_sizes(std::int64_t digits, std::int64_t limbs, F f) {
  const std::int64_t saved_p = g_arith.precision;
  const std::int64_t saved_n = BigUIntLimbs;
  const std::uint64_t saved_d = BigUIntDigits;
  if (digits != saved_p) set_precision(digits);
  if (limbs != saved_n) biguint_set_limbs(limbs);
  f();
  if (g_arith.precision != saved_p) set_precision(saved_p);
  BigUIntLimbs = saved_n;
  BigUIntDigits = saved_d;
}

}  // namespace

Word biguint_to_decfloat(DecFloat* r, const BigUInt* x, std::int64_t limbs) {
  const std::int64_t s = significant(x, limbs);
  if (s == 0) {
    make_zero(r, false);
    return 0;
  }
  ScratchScope scope;
  const std::int64_t cap = (1039 * s + 1023) / 1024;
  Word* dec = scratch_alloc(static_cast<std::size_t>(cap));
  const std::int64_t count = to_base_1e19(dec, cap, x, s);
  std::int64_t digits;
  const Word rl = take_leading_digits(r, dec + (cap - count), count, &digits);
  set_exponent_checked(r, digits - 1, false);
  return rl;
}

void decfloat_to_biguint(BigUInt* r, std::int64_t limbs, const DecFloat* x) {
  std::memset(r, 0, static_cast<std::size_t>(limbs) * sizeof(Word));
  if (is_special(x)) {
    if (is_infinity(x)) set_status(MathStatus::Overflow);
    if (is_undefined(x)) set_status(MathStatus::Undefined);
    return;
  }
  const std::int64_t e = dec_exponent(x);
  if (e < 0) return;
  const std::int64_t p = g_arith.precision, n = g_arith.limb_count;
  if (e > (std::int64_t{1} << 31) - 1) {
    set_status(MathStatus::Overflow);
    return;
  }
  ScratchScope scope;
  Word* m = scratch_alloc(static_cast<std::size_t>(n));
  std::memcpy(m, x + 1, static_cast<std::size_t>(n) * sizeof(Word));
  std::int64_t zeros = 0;  // trailing decimal zeros still to append
  if (e <= p - 2) {
    limbs_shift_right(m, n, p - 1 - e, nullptr);
  } else {
    zeros = e - p + 1;
  }
  ContextScope size(ContextScope::kSizes);
  biguint_set_limbs(limbs);
  if (g_arith.status) return;
  const std::uint32_t before = g_arith.status;
  for (std::int64_t i = first_nonzero(m, n); i < n; ++i) {
    biguint_mul_u64(r, r, 10000000000000000000ULL);
    biguint_add_u64(r, r, m[i]);
  }
  if (zeros % 19) biguint_mul_u64(r, r, kPow10[zeros % 19]);
  for (std::int64_t i = 0; i < zeros / 19 && g_arith.status == before; ++i) {
    biguint_mul_u64(r, r, 10000000000000000000ULL);
  }
  if (g_arith.status != before) std::memset(r, 0, static_cast<std::size_t>(limbs) * sizeof(Word));
}

void rational_to_decfloat(DecFloat* r, const Word* x) {
  const std::int64_t nl = BigUIntLimbs;
  const BigUInt* num = x + 1;
  const BigUInt* den = x + 1 + nl;
  const std::int64_t p = g_arith.precision;
  // Enough digits that numerator and denominator are exact: the one division then truncates
  // exactly and the rounding below is correct.
  const std::int64_t need =
      std::max(digits_bound(significant(num, nl)), digits_bound(significant(den, nl)));
  const std::int64_t g = std::max<std::int64_t>(2, need - p + 2);
  ScratchScope scope;
  DecFloat* w = scratch_alloc(dec_words_for(p + g) + 1);
  {
    ContextScope gp = ContextScope::guard(g);
    DecFloat* a = scratch_dec();
    DecFloat* b = scratch_dec();
    biguint_to_decfloat(a, num, nl);
    const std::int64_t sd = significant(den, nl);
    if (sd > 1) {
      biguint_to_decfloat(b, den, nl);
      dec_div(w, a, b);
    } else {
      dec_div_word(w, a, den[0], 0);
    }
    if ((x[0] & 1) && !is_zero(w)) dec_negate(w);
  }
  apply_rounding(r, narrow(r, w, g));
}

void decfloat_to_biguint_sized(BigUInt* r, std::int64_t limbs, const DecFloat* x,
                               std::int64_t digits) {
  ContextScope saved = ContextScope::isolated_status();
  with_sizes(digits, limbs, [&] {
    if (g_arith.status) return;
    if (!is_integer(x) || (dec_negative(x) && !is_zero(x))) {
      std::memset(r, 0, static_cast<std::size_t>(limbs) * sizeof(Word));
      set_status(MathStatus::Undefined);
      return;
    }
    decfloat_to_biguint(r, limbs, x);
  });
}

void decfloat_to_rational_sized(Word* r, std::int64_t limbs, const DecFloat* x,
                                std::int64_t digits) {
  ContextScope saved = ContextScope::isolated_status();
  with_sizes(digits, limbs, [&] {
    if (g_arith.status) return;
    rational_set_zero(r);
    if (!is_integer(x)) {
      set_status(MathStatus::Undefined);
      return;
    }
    decfloat_to_biguint(rat_num(r), limbs, x);
    if (g_arith.status) {
      rational_set_zero(r);
      return;
    }
    r[0] = dec_negative(x) && !is_zero(x) ? 1 : 0;
  });
}

void rational_to_decfloat_sized(DecFloat* r, std::int64_t digits, const Word* x,
                                std::int64_t limbs) {
  with_sizes(digits, limbs, [&] { rational_to_decfloat(r, x); });
}

void rational_to_complex_sized(Word* r, std::int64_t digits, const Word* x, std::int64_t limbs) {
  with_sizes(digits, limbs, [&] {
    rational_to_decfloat(r, x);
    make_zero(r + dec_words(), false);
  });
}

void decfloat_pi(DecFloat* r) {
  apply_rounding(r, dec_pi(r));
}
