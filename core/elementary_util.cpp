// Shared helpers of the elementary functions: checked constant loads, precision switches,
// leading digits and the guard-digit rules of the entry points.
#include <algorithm>
#include <cmath>

#include "core/elementary_internal.h"
#include "core/limbs.h"

namespace {
thread_local constinit std::int64_t g_constant_high_water = 0;
}

std::int64_t constant_precision_high_water() {
  return g_constant_high_water;
}
void reset_constant_precision_high_water() {
  g_constant_high_water = 0;
}

std::int64_t exp_guard_digits(const DecFloat* x) {
  const std::int64_t e = is_special(x) ? 0 : dec_exponent(x);
  return e >= 2 ? std::min<std::int64_t>(e + 3, 38) : 4;
}

std::int64_t pow_guard_digits(const DecFloat* y) {
  const std::int64_t e = is_special(y) ? -1 : dec_exponent(y);
  return e >= 0 ? std::min<std::int64_t>(e + 5, 38) : 5;
}

std::int64_t factorial_guard_digits(const DecFloat* x) {
  const std::int64_t e = is_special(x) ? -1 : dec_exponent(x);
  return e >= 0 ? std::min<std::int64_t>(e + 7, 38) : 7;
}

std::int64_t pow2_int_guard_digits(std::int64_t m) {
  const std::uint64_t am =
      m < 0 ? 0 - static_cast<std::uint64_t>(m) : static_cast<std::uint64_t>(m);
  return am < 100 ? 3 : std::min(digit_count(am) + 1, 19);
}

namespace elem {

Word load_checked(DecFloat* x, const ConstantTableHeader& head, const Word* limbs) {
  const std::int64_t p = g_arith.precision;
  g_constant_high_water = std::max(g_constant_high_water, p);
  // The table's digits are exact; asking for more would append zeros silently.
  if (p > 19 * static_cast<std::int64_t>(head.limb_count)) set_status(MathStatus::InternalLimit);
  return load_constant(x, head, limbs);
}

std::int64_t trim_limbs(std::int64_t digits_lost) {
  if (digits_lost <= 19) return 0;
  // One limb of margin: the trimmed value still carries a limb below the sum's last digit.
  return std::clamp<std::int64_t>(digits_lost / 19 - 1, 0, g_arith.limb_count - 1);
}

void clear_tail(DecFloat* x, std::int64_t limbs) {
  // Special values written at a trimmed precision leave the tail stale too.
  if (limbs <= 0) return;
  const std::int64_t n = g_arith.limb_count;
  std::fill(x + 1 + n - limbs, x + 1 + n, Word{0});
}

std::uint64_t leading19(const DecFloat* x) {
  const std::int64_t k = g_arith.top_digits;
  if (k == 19) return x[1];
  const Word next = g_arith.limb_count >= 2 ? x[2] : 0;
  Word rem;
  return x[1] * kPow10[19 - k] + div_pow10(next, static_cast<int>(k), &rem);
}

namespace {

double log10_magnitude(const DecFloat* z) {
  return std::log10(static_cast<double>(leading19(z)) * 1e-18) +
         static_cast<double>(dec_exponent(z));
}

}  // namespace

std::uint64_t chain_terms(const DecFloat* z, ChainDivisor d, std::int64_t digits) {
  const double lz = log10_magnitude(z);
  double w = 0;
  std::uint64_t k = 0;
  while (w >= -static_cast<double>(digits + 1)) {
    ++k;
    w += lz - std::log10(static_cast<double>(d(k)));
  }
  return k;
}

namespace {

// Fixed-point values for the Horner scheme of chain_series: L limbs, the first one the integer
// part, the others 19 decimal places each; the sign apart. Word divisions and additions then
// need no alignment or normalisation.
struct Fixed {
  Word* limbs;
  bool neg;
};

// |x| (a normal value of the current precision) truncated into L fixed limbs; |x| < 10^19.
void fixed_from_dec(Fixed* f, std::int64_t len, const DecFloat* x) {
  const std::int64_t n = g_arith.limb_count;
  f->neg = dec_negative(x);
  std::fill(f->limbs, f->limbs + len, Word{0});
  ScratchScope scope;
  Word* buf = scratch_alloc(static_cast<std::size_t>(n + 1));
  buf[0] = 0;
  std::copy(x + 1, x + 1 + n, buf + 1);
  // The integer of the mantissa times 10^s is the fixed-point value, s = last place + 19 (L - 1).
  const std::int64_t s = dec_exponent(x) - g_arith.precision + 1 + 19 * (len - 1);
  const std::int64_t q = s >= 0 ? s / 19 : -((18 - s) / 19);
  const std::int64_t r = s - 19 * q;
  if (r != 0) limbs_mul_word(buf, n + 1, kPow10[r], 0);
  for (std::int64_t t = 0; t <= n; ++t) {
    const std::int64_t at = len - 1 - q - (n - t);
    if (at >= 0 && at < len) f->limbs[at] = buf[t];
  }
}

void fixed_to_dec(DecFloat* x, const Fixed& f, std::int64_t len) {
  std::int64_t digits;
  take_leading_digits(x, f.limbs, len, &digits);
  if (digits == 0) {
    make_zero(x, false);
    return;
  }
  set_exponent_checked(x, digits - 1 - 19 * (len - 1), f.neg);
}

void fixed_div_word(Fixed* f, std::int64_t len, std::uint64_t d) {
  const Word recip =
      d < static_cast<std::uint64_t>(kReciprocalTableSize) ? ReciprocalTable[d] : reciprocal_of(d);
  Word rem = 0;
  for (std::int64_t i = 0; i < len; ++i) {
    const u128 num = static_cast<u128>(rem) * kLimbBase + f->limbs[i];
    f->limbs[i] = div_wide(static_cast<Word>(num >> 64), static_cast<Word>(num), d, recip, &rem);
  }
}

// f += g over the first len limbs.
void fixed_add(Fixed* f, const Fixed& g, std::int64_t len) {
  if (f->neg == g.neg) {
    limbs_add(f->limbs, g.limbs, len);
    return;
  }
  if (limbs_compare(f->limbs, g.limbs, len) >= 0) {
    limbs_sub(f->limbs, g.limbs, len);
    return;
  }
  Word borrow = 0;  // f = g - f, the sign g's
  for (std::int64_t i = len - 1; i >= 0; --i) {
    const Word s = f->limbs[i] + borrow;
    borrow = g.limbs[i] < s;
    f->limbs[i] = borrow ? g.limbs[i] + kLimbBase - s : g.limbs[i] - s;
  }
  f->neg = g.neg;
}

bool fixed_zero(const Fixed& f, std::int64_t len) {
  return first_nonzero(f.limbs, len) == len;
}

}  // namespace

std::uint64_t chain_series(DecFloat* sum, const DecFloat* z, ChainDivisor d) {
  dec_one(sum);
  if (is_zero(z)) return 1;
  ScratchScope scope;
  const std::int64_t p = g_arith.precision;
  const std::int64_t len = g_arith.limb_count + 2;  // 19 places more than the sum's last digit
  const double lz = log10_magnitude(z);
  const std::uint64_t terms = chain_terms(z, d, p);
  if (terms < 2) return terms;  // z is below the last digit of 1
  // About sqrt(terms) powers against terms / m block products; the blocks run at fewer limbs
  // on average, which moves the balance towards fewer powers. The tables live on the stack
  // (a calculation allocates nothing on the heap): at most kMaxPowers powers and kMaxBlocks
  // blocks, far more than the few hundred terms of the largest precision need.
  constexpr std::uint64_t kMaxPowers = 64, kMaxBlocks = 256;
  if (terms > kMaxPowers * kMaxBlocks) {
    set_status(MathStatus::InternalLimit);
    return terms;
  }
  const std::uint64_t m = std::clamp<std::uint64_t>(
      static_cast<std::uint64_t>(std::sqrt(0.6 * static_cast<double>(terms))),
      std::max<std::uint64_t>(2, (terms + kMaxBlocks - 1) / kMaxBlocks),
      std::min(terms, kMaxPowers));
  const std::uint64_t blocks = (terms + m - 1) / m;
  DecFloat* pw[kMaxPowers + 1];
  Fixed fx[kMaxPowers];
  pw[0] = scratch_dec();
  dec_one(pw[0]);
  pw[1] = scratch_dec();
  dec_copy(pw[1], z);
  for (std::uint64_t i = 2; i <= m; ++i) {
    pw[i] = scratch_dec();
    if (i % 2 == 0) {
      dec_mul(pw[i], pw[i / 2], pw[i / 2]);
    } else {
      dec_mul(pw[i], pw[i - 1], pw[1]);
    }
  }
  for (std::uint64_t i = 0; i < m; ++i) {
    fx[i].limbs = scratch_alloc(static_cast<std::size_t>(len));
    fixed_from_dec(&fx[i], len, pw[i]);
  }
  // Weight (log10) of the first term of each block against the sum.
  double weight[kMaxBlocks];
  double w = 0;
  for (std::uint64_t k = 0, j = 0; j < blocks; ++k) {
    if (k == j * m) weight[j++] = w;
    w += lz - std::log10(static_cast<double>(d(k + 1)));
  }
  Fixed acc{scratch_alloc(static_cast<std::size_t>(len)), false};
  std::fill(acc.limbs, acc.limbs + len, Word{0});
  DecFloat* t = scratch_dec();
  std::int64_t used = 0;  // limbs of acc in use; those beyond are zero
  for (std::uint64_t j = blocks; j-- > 0;) {
    const std::int64_t trim = trim_limbs(static_cast<std::int64_t>(-weight[j]) - 1);
    const std::int64_t lj = len - trim;
    const std::uint64_t top = std::min(m, terms - j * m);
    if (used > 0 && !fixed_zero(acc, used)) {
      ContextScope narrow = ContextScope::trim(trim);
      fixed_to_dec(t, acc, used);
      dec_mul(t, t, pw[m]);
      if (is_zero(t)) {
        std::fill(acc.limbs, acc.limbs + len, Word{0});
      } else {
        fixed_from_dec(&acc, lj, t);
      }
    }
    used = lj;
    for (std::uint64_t i = top; i-- > 0;) {
      fixed_div_word(&acc, lj, d(j * m + i + 1));
      fixed_add(&acc, fx[i], lj);
    }
  }
  fixed_to_dec(sum, acc, len);
  return terms;
}

}  // namespace elem
