// Square roots of moderate mantissas as exact integer roots with remainder, by the recursion
// that takes the root of the top half and gets the next half of the digits from one division:
// for T = a3 B^3l + a2 B^2l + a1 B^l + a0 (each ai of l limbs) with the top limb of T at least
// B/4, (s', r') = sqrtrem(a3 B^l + a2), (q, u) = divrem(r' B^l + a1, 2 s'), s = s' B^l + q,
// r = u B^l + a0 - q^2, and when r < 0 once more r += 2s - 1, s -= 1. The top limb bound keeps
// q at most B^l and the one correction enough. Its cost is that of the divisions, about n^2/3
// limb steps for n limbs of root, less than Newton's iteration up to a few dozen limbs.
#include <cmath>
#include <cstring>

#include "core/elementary_internal.h"
#include "core/limbs.h"

// floor(sqrt(t)) for t < 10^38: a double estimate, one integer Newton step (from within a
// relative 2^-50 it lands within one unit) and an exact final adjustment.
Word isqrt_two_limbs(u128 t) {
  Word s = static_cast<Word>(std::sqrt(static_cast<double>(t)));
  if (s != 0) s = static_cast<Word>((s + t / s) / 2);
  while (static_cast<u128>(s) * s > t) --s;
  while (static_cast<u128>(s + 1) * (s + 1) <= t) ++s;
  return s;
}

namespace {

// s[0 .. n) = floor(sqrt(t)) and r[0 .. n] = t - s^2 (at most 2s) for t of 2n limbs whose top
// limb is at least 10^19 / 4.
void sqrt_rem(Word* s, Word* r, const Word* t, std::int64_t n) {
  if (n == 1) {
    const u128 v = static_cast<u128>(t[0]) * kLimbBase + t[1];
    s[0] = isqrt_two_limbs(v);
    r[0] = div_limb_base(v - static_cast<u128>(s[0]) * s[0], &r[1]);
    return;
  }
  const std::int64_t l = n / 2, h = n - l;
  ScratchScope scope;
  Word* sp = scratch_alloc(static_cast<std::size_t>(h));
  Word* num = scratch_alloc(static_cast<std::size_t>(h + 1 + l));  // r' B^l + a1
  sqrt_rem(sp, num, t, h);
  std::memcpy(num + h + 1, t + 2 * h, static_cast<std::size_t>(l) * sizeof(Word));
  // 2 s' lies in [B^h, 2 B^h): h + 1 limbs with the top limb 1.
  Word* d = scratch_alloc(static_cast<std::size_t>(h + 1));
  d[0] = 0;
  std::memcpy(d + 1, sp, static_cast<std::size_t>(h) * sizeof(Word));
  d[0] = limbs_add_aligned(d + 1, h, sp, h);
  const std::int64_t dl = h + 1 - first_nonzero(d, h + 1);
  const Word* dd = d + (h + 1 - dl);
  const std::int64_t numlen = h + 1 + l;
  const std::int64_t qlen = numlen - dl + 1;
  Word* q = scratch_alloc(static_cast<std::size_t>(qlen));
  Word* u = scratch_alloc(static_cast<std::size_t>(dl));
  limbs_divide(q, num, numlen, dd, dl, u);
  // q <= B^l: its limbs above the last l + 1 are zero, and limb l + 1 from the bottom is 0 or 1.
  const Word q_top = q[qlen - l - 1];
  const Word* q_low = q + (qlen - l);
  // s = s' B^l + q
  std::memcpy(s, sp, static_cast<std::size_t>(h) * sizeof(Word));
  std::memcpy(s + h, q_low, static_cast<std::size_t>(l) * sizeof(Word));
  if (q_top != 0) {
    const Word one = 1;
    limbs_add_aligned(s, h, &one, 1);
  }
  // x = u B^l + a0 and y = q^2, both in n + 2 limbs.
  const std::int64_t len = n + 2;
  Word* x = scratch_alloc(static_cast<std::size_t>(len));
  Word* y = scratch_alloc(static_cast<std::size_t>(len));
  std::memset(x, 0, static_cast<std::size_t>(len) * sizeof(Word));
  std::memcpy(x + (len - l - dl), u, static_cast<std::size_t>(dl) * sizeof(Word));
  std::memcpy(x + (len - l), t + 2 * h + l, static_cast<std::size_t>(l) * sizeof(Word));
  std::memset(y, 0, static_cast<std::size_t>(len) * sizeof(Word));
  if (q_top != 0) {
    y[len - 1 - 2 * l] = 1;  // q = B^l
  } else {
    limbs_mul(y + (len - 2 * l), q_low, q_low, l);
  }
  if (limbs_compare(x, y, len) < 0) {
    // r < 0: s -= 1 and r += 2 s_old - 1 = 2 s_new + 1.
    Word* one_less = s;
    for (std::int64_t i = n - 1; i >= 0; --i) {
      if (one_less[i]-- != 0) break;
      one_less[i] = kLimbBase - 1;
    }
    limbs_add_aligned(x, len, s, n);
    limbs_add_aligned(x, len, s, n);
    const Word one = 1;
    limbs_add_aligned(x, len, &one, 1);
  }
  limbs_sub_aligned(x, len, y, len);
  std::memcpy(r, x + 1, static_cast<std::size_t>(n + 1) * sizeof(Word));
}

}  // namespace

bool dec_sqrt_by_remainder(DecFloat* dst, const DecFloat* m, Word* rl) {
  using namespace elem;
  const std::int64_t n = g_arith.limb_count;
  const std::int64_t p = g_arith.precision;
  const std::int64_t ns = n + 1, ps = 19 * ns;  // root digits: P + 19 and more
  const std::int64_t em = dec_exponent(m);      // 0 or 1
  ScratchScope scope;
  // T = m 10^(2 Ps - 2): the mantissa at 2 Ps digits is m 10^(2 Ps - 1 - em).
  const std::int64_t len = 2 * ns;
  Word* t = scratch_alloc(static_cast<std::size_t>(len + 1));
  realign(t, 2 * ps, m, p);
  Word* tm = t + 1;
  if (em == 0) limbs_shift_right(tm, len, 1, nullptr);
  // T's top limb lies in [10^17, 10^19). The largest c <= 5 with c^2 (top + 1) <= 10^19 brings
  // it to 10^19 / 4 or more without a carry out; floor(sqrt(c^2 T)) / c is then floor(sqrt T).
  Word c = 5;
  while (c > 1 && static_cast<u128>(c * c) * (tm[0] + 1) > kLimbBase) --c;
  if (c > 1) limbs_mul_word(tm, len, c * c, 0);
  Word* s = scratch_alloc(static_cast<std::size_t>(ns));
  Word* r = scratch_alloc(static_cast<std::size_t>(ns + 1));
  sqrt_rem(s, r, tm, ns);
  if (c > 1) {
    const Word recip = reciprocal_of(c);
    Word rem = 0;
    for (std::int64_t i = 0; i < ns; ++i) {
      const u128 num = static_cast<u128>(rem) * kLimbBase + s[i];
      s[i] = div_wide(static_cast<Word>(num >> 64), static_cast<Word>(num), c, recip, &rem);
    }
  }
  std::int64_t digits;
  *rl = take_leading_digits(dst, s, ns, &digits);
  dst[0] = 0;  // exponent 0, positive
  return digits == ps;
}
