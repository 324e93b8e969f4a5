// Square roots of long mantissas: Newton's iteration for 1/sqrt(m) at doubling precision and
// Karp and Markstein's last step, then, only when the estimate lies next to a place where the
// truncation would change, an exact integer check.
//
// For 1 <= m < 100 (P digits) the root's digits down to place Ps - 1 (Ps = 19 (n + 2) >= P + 19)
// form S = floor(sqrt(T)) with T = m 10^(2 Ps - 2), an integer. The estimate at W = Ps + 19
// digits: y ~ 1/sqrt(m) and s0 = m y at H = W/2 + 8 digits, then s = s0 + y (m - s0^2) / 2 with
// m - s0^2 exact at W digits. Bound: with s0 = sqrt(m)(1 + e), y sqrt(m) = 1 + rho, both below
// 1.1 10^-(H-5), s - sqrt(m) = -sqrt(m)(rho e + e^2 (1 + rho) / 2) (below 10^(-2-W) for
// 2H >= W + 13) plus y t / 2 for the truncation t < 10^(3-W) of s0^2, plus the truncations of
// the correction at W - H + 7 digits and of the sum: below 52 units of s's last place. S drops
// the last 19 digits of s; when they lie more than 100 units from a multiple of 10^19, S is
// exact. Otherwise (perfect squares and their neighbours) the exact remainder T - S^2 (a
// Karatsuba square) moves S until 0 <= T - S^2 <= 2S, so the P digits and the round limb are
// always exact.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/elementary_internal.h"
#include "core/limbs.h"

namespace {

// y <- 1/sqrt(m) at the current precision, within 10^-(P-5) relatively. Each step
// y <- y + y (1 - m y^2) / 2 squares the error (times 3/2) and adds a few units of its
// working precision.
void rsqrt_estimate(DecFloat* y, const DecFloat* m, double md) {
  using namespace elem;
  const std::int64_t w_full = g_arith.precision;
  dec_from_word(y, static_cast<Word>(1e18 / std::sqrt(md)));
  set_exponent_raw(y, dec_exponent(y) - 18);
  std::int64_t good = 14;
  while (good < w_full - 5) {
    const std::int64_t w = std::min(19 * limbs_for_digits(2 * good + 4), w_full);
    ScratchScope step;
    DecFloat* yw = scratch_alloc(dec_words_for(w));
    DecFloat* mw = scratch_alloc(dec_words_for(w));
    DecFloat* e = scratch_alloc(dec_words_for(w));
    realign(yw, w, y, w_full);
    realign(mw, w, m, w_full);
    {
      ContextScope ps = ContextScope::precision(w);
      DecFloat* one = scratch_dec();
      dec_mul(e, yw, yw);
      dec_mul(e, mw, e);
      dec_one(one);
      dec_add_sub(e, one, e, 1);  // 1 - m y^2, about 10^-good
      if (!is_zero(e)) {
        // |y e| < 10^(E(e) + 1): at w + E(e) + 3 digits its error stays below 10^-(w+1).
        const std::int64_t w2 = std::clamp<std::int64_t>(w + dec_exponent(e) + 3, 19, w);
        add_correction(yw, yw, w, e, w2, true);
      }
    }
    realign(y, w_full, yw, w);
    good = std::min(2 * good - 2, w - 5);
  }
}

// r = 2s + 1 over len limbs (s has len - 1).
void twice_plus_one(Word* r, const Word* s, std::int64_t len) {
  r[0] = 0;
  std::memcpy(r + 1, s, static_cast<std::size_t>(len - 1) * sizeof(Word));
  Word carry = limbs_add(r + 1, s, len - 1);
  r[0] = carry;
  Word one = 1;
  for (std::int64_t i = len - 1; one && i >= 0; --i) r[i] = limb_add(r[i], 0, &one);
}

void step(Word* s, std::int64_t len, bool up) {
  for (std::int64_t i = len - 1; i >= 0; --i) {
    if (up) {
      if (++s[i] < kLimbBase) return;
      s[i] = 0;
    } else {
      if (s[i]-- != 0) return;
      s[i] = kLimbBase - 1;
    }
  }
}

}  // namespace

bool dec_sqrt_newton(DecFloat* dst, const DecFloat* m, double md, Word* rl) {
  using namespace elem;
  const std::int64_t n = g_arith.limb_count;
  const std::int64_t p = g_arith.precision;
  const std::int64_t ns = n + 2, ps = 19 * ns, w = ps + 19;
  const std::int64_t em = dec_exponent(m);  // 0 or 1
  // Whole limbs (multiples of 19 digits) make every realignment a copy.
  const std::int64_t h = 19 * limbs_for_digits((w + 13) / 2 + 1);
  const std::int64_t h2 = 19 * limbs_for_digits(w - h + 7);
  ScratchScope scope;
  Word* s = scratch_alloc(static_cast<std::size_t>(ns));
  Word dropped;
  {
    DecFloat* mw = scratch_alloc(dec_words_for(w));
    DecFloat* sw = scratch_alloc(dec_words_for(w));
    DecFloat* t = scratch_alloc(dec_words_for(w));
    DecFloat* y = scratch_alloc(dec_words_for(h));
    DecFloat* s0 = scratch_alloc(dec_words_for(h));
    realign(mw, w, m, p);
    ContextScope ps_w = ContextScope::precision(w);
    {
      realign(s0, h, mw, w);
      ContextScope ph = ContextScope::precision(h);
      rsqrt_estimate(y, s0, md);
      dec_mul(s0, s0, y);  // sqrt(m) within 1.1 10^-(H-5)
    }
    realign(sw, w, s0, h);
    dec_mul(t, sw, sw);
    dec_add_sub(t, mw, t, 1);  // m - s0^2 (less its truncation): exact
    if (!is_zero(t)) add_correction(sw, y, h, t, h2, true);
    if (dec_exponent(sw) != 0) return false;
    std::memcpy(s, sw + 1, static_cast<std::size_t>(ns) * sizeof(Word));
    dropped = sw[ns + 1];  // the last limb: digits Ps .. W - 1
  }
  constexpr Word kMargin = 100;
  if (dropped >= kMargin && dropped < kLimbBase - kMargin) {
    std::int64_t digits;
    *rl = take_leading_digits(dst, s, ns, &digits);
    dst[0] = 0;  // exponent 0, positive
    return digits == ps;
  }
  // T = m 10^(2 Ps - 2): the mantissa at 2 Ps digits is m 10^(2 Ps - 1 - em).
  const std::int64_t len = 2 * ns;
  Word* t = scratch_alloc(static_cast<std::size_t>(len + 1));
  Word* sq = scratch_alloc(static_cast<std::size_t>(len));
  Word* d = scratch_alloc(static_cast<std::size_t>(ns + 1));
  realign(t, 2 * ps, m, p);
  if (em == 0) limbs_shift_right(t + 1, len, 1, nullptr);
  limbs_mul(sq, s, s, ns);
  Word* tm = t + 1;
  bool settled = false;
  if (limbs_compare(tm, sq, len) >= 0) {
    limbs_sub(tm, sq, len);  // R = T - S^2 >= 0: raise S while R >= 2S + 1
    for (int i = 0; i < 4 && !settled; ++i) {
      twice_plus_one(d, s, ns + 1);
      settled = limbs_compare_aligned(tm, len, d, ns + 1) < 0;
      if (!settled) {
        limbs_sub_aligned(tm, len, d, ns + 1);
        step(s, ns, true);
      }
    }
  } else {
    limbs_sub(sq, tm, len);  // N = S^2 - T > 0: lower S until N <= 2S - 1
    for (int i = 0; i < 4 && !settled; ++i) {
      step(s, ns, false);
      twice_plus_one(d, s, ns + 1);  // (S+1)^2 - S^2 for the lowered S
      settled = limbs_compare_aligned(sq, len, d, ns + 1) <= 0;
      if (!settled) limbs_sub_aligned(sq, len, d, ns + 1);
    }
  }
  if (!settled) return false;
  std::int64_t digits;
  *rl = take_leading_digits(dst, s, ns, &digits);
  dst[0] = 0;  // exponent 0, positive
  return digits == ps;
}
