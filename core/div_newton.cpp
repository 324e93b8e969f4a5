// Division of long mantissas by Newton's iteration for the reciprocal.
//
// The quotient Q = floor(A B^(n+1) / V) of the long division (A, V the n-limb mantissas,
// B = 10^19) is estimated at W = 19 (n + 4) digits by Karp and Markstein's last step: the
// reciprocal r and q0 = A r only at H = W/2 + 7 digits, then q = q0 + r (A - V q0), whose
// remainder A - V q0 is exact at W digits. Bound (A, V in [1, 10), every truncation counted):
// with r V = 1 + rho, |rho| <= 10^-(H-4), the error of q is rho (A/V - q0) + r t, t < 10^(2-W)
// the truncation of V q0, plus the truncations of r (A - V q0) at W - H + 6 digits and of the
// sum: below 13 units of 10^(1-W), so below 130 units of q's last place. Q drops the last
// 56 - E(q) >= 55 digits of q; when the first 19 of them are neither all zeros nor all nines,
// the floor cannot move and Q is exact. Otherwise (exact quotients and their neighbours) the
// exact remainder A B^(n+1) - Q V (a Karatsuba product) moves Q to the floor, so the digits and
// the round limb are always those of the long division.
#include <algorithm>
#include <cstring>

#include "core/arith.h"
#include "core/elementary_internal.h"
#include "core/limbs.h"

namespace {

// Q +- 1 over len limbs.
void limbs_increment(Word* q, std::int64_t len) {
  for (std::int64_t i = len - 1; i >= 0; --i) {
    if (++q[i] < kLimbBase) return;
    q[i] = 0;
  }
}
void limbs_decrement(Word* q, std::int64_t len) {
  for (std::int64_t i = len - 1; i >= 0; --i) {
    if (q[i]-- != 0) return;
    q[i] = kLimbBase - 1;
  }
}

}  // namespace

void add_correction(DecFloat* x, const DecFloat* f, std::int64_t wf, DecFloat* t, std::int64_t wp,
                    bool halve) {
  const std::int64_t w = g_arith.precision;
  ScratchScope scope;
  DecFloat* fp = scratch_alloc(dec_words_for(wp));
  DecFloat* tp = scratch_alloc(dec_words_for(wp));
  realign(fp, wp, f, wf);
  realign(tp, wp, t, w);
  {
    ContextScope ps = ContextScope::precision(wp);
    dec_mul(tp, fp, tp);
    if (halve) dec_div_word(tp, tp, 2, 0);
  }
  realign(t, w, tp, wp);
  dec_add_sub(x, x, t, 0);
}

void dec_reciprocal_estimate(DecFloat* r, const DecFloat* v) {
  using namespace elem;
  const std::int64_t w_full = g_arith.precision;
  ScratchScope scope;
  std::int64_t good;
  const std::int64_t s = std::min(w_full, kReciprocalSeedDigits);
  if (s > 38) {
    // Seed: the long division 1 / v at s digits, cheaper there than the iteration. v cut to s
    // digits and the quotient's truncation each move it by less than 10^-(s-1) relatively.
    ScratchScope seed;
    DecFloat* vs = scratch_alloc(dec_words_for(s));
    DecFloat* rs = scratch_alloc(dec_words_for(s));
    realign(vs, s, v, w_full);
    {
      ContextScope ps = ContextScope::precision(s);
      DecFloat* one = scratch_dec();
      dec_one(one);
      dec_div_long(rs, one, vs);
    }
    realign(r, w_full, rs, s);
    good = s - 2;
  } else {
    // Seed: 1 / (leading digits of v) in double precision, good to 14 digits.
    const double lead = static_cast<double>(leading19(v)) * 1e-18;  // [1, 10)
    const double inv = 1.0 / lead;                                  // (0.1, 1]
    dec_from_word(r, static_cast<Word>(inv * 1e18));
    set_exponent_raw(r, dec_exponent(r) - 18 - dec_exponent(v));
    good = 14;
  }
  while (good < w_full - 4) {
    const std::int64_t w = std::min(19 * limbs_for_digits(2 * good + 4), w_full);
    ScratchScope step;
    DecFloat* rw = scratch_alloc(dec_words_for(w));
    DecFloat* vw = scratch_alloc(dec_words_for(w));
    DecFloat* e = scratch_alloc(dec_words_for(w));
    realign(rw, w, r, w_full);
    realign(vw, w, v, w_full);
    {
      ContextScope ps = ContextScope::precision(w);
      // e = 1 - v r is about 10^-good: r e needs only the digits below that.
      dec_mul(e, vw, rw);
      DecFloat* one = scratch_dec();
      dec_one(one);
      dec_add_sub(e, one, e, 1);
      if (!is_zero(e)) {
        // |r e| < 10^(E(e) + 1): at w + E(e) + 3 digits its error stays below 10^-(w+1).
        const std::int64_t w2 = std::clamp<std::int64_t>(w + dec_exponent(e) + 3, 19, w);
        add_correction(rw, rw, w, e, w2, false);
      }
    }
    realign(r, w_full, rw, w);
    // Each step squares the error and adds a few units of the working precision.
    good = std::min(2 * good - 2, w - 4);
  }
}

bool dec_div_newton(DecFloat* dst, const DecFloat* a, const DecFloat* b, Word* rl,
                    std::int64_t* digits) {
  using namespace elem;
  const std::int64_t n = g_arith.limb_count;
  const std::int64_t p = g_arith.precision;
  const std::int64_t extra = n + 1;
  const std::int64_t qlen = extra + 1;
  const std::int64_t w = 19 * (n + 4);
  // 2H >= W + 11 keeps rho (A/V - q0) below 10^(-2-W).
  // Whole limbs (multiples of 19 digits) make every realignment a copy.
  const std::int64_t h = 19 * limbs_for_digits((w + 11) / 2 + 1);
  const std::int64_t h2 = 19 * limbs_for_digits(w - h + 6);
  ScratchScope scope;
  Word* q = scratch_alloc(static_cast<std::size_t>(n + 4));
  Word dropped;
  {
    DecFloat* aw = scratch_alloc(dec_words_for(w));
    DecFloat* bw = scratch_alloc(dec_words_for(w));
    DecFloat* qw = scratch_alloc(dec_words_for(w));
    DecFloat* t = scratch_alloc(dec_words_for(w));
    DecFloat* r = scratch_alloc(dec_words_for(h));
    DecFloat* q0 = scratch_alloc(dec_words_for(h));
    realign(aw, w, a, p);
    realign(bw, w, b, p);
    aw[0] = 0;  // A / 10^(P-1) and V / 10^(P-1), positive
    bw[0] = 0;
    ContextScope ps = ContextScope::precision(w);
    {
      DecFloat* bh = scratch_alloc(dec_words_for(h));
      realign(q0, h, aw, w);
      realign(bh, h, bw, w);
      ContextScope ph = ContextScope::precision(h);
      dec_reciprocal_estimate(r, bh);
      dec_mul(q0, q0, r);  // A / V within 10^-(H-4), in (0.1, 10)
    }
    realign(qw, w, q0, h);
    dec_mul(t, bw, qw);
    dec_add_sub(t, aw, t, 1);  // A - V q0 (less its truncation): exact, about 10^-(H-5)
    if (!is_zero(t)) add_correction(qw, r, h, t, h2, false);
    // Q ~ (A / V) 10^(19 extra): the mantissa of w digits shifted right by w - 1 - 19 extra
    // - E digits.
    std::memcpy(q, qw + 1, static_cast<std::size_t>(n + 4) * sizeof(Word));
    dropped = limbs_shift_right(q, n + 4, w - 1 - 19 * extra - dec_exponent(qw), nullptr);
  }
  Word* quot = q + (n + 4 - qlen);
  if (dropped != 0 && dropped != kLimbBase - 1) {
    *rl = take_leading_digits(dst, quot, qlen, digits);
    return true;
  }
  // Exact check: the remainder U - Q V with U = A B^extra, both of 2 qlen limbs.
  const std::int64_t len = 2 * qlen;
  Word* v = scratch_alloc(static_cast<std::size_t>(qlen));
  Word* prod = scratch_alloc(static_cast<std::size_t>(len));
  Word* u = scratch_alloc(static_cast<std::size_t>(len));
  std::memset(v, 0, static_cast<std::size_t>(qlen - n) * sizeof(Word));
  std::memcpy(v + (qlen - n), b + 1, static_cast<std::size_t>(n) * sizeof(Word));
  limbs_mul(prod, quot, v, qlen);
  std::memset(u, 0, static_cast<std::size_t>(len) * sizeof(Word));
  std::memcpy(u + (len - extra - n), a + 1, static_cast<std::size_t>(n) * sizeof(Word));
  const Word* vv = b + 1;
  bool settled = false;
  if (limbs_compare(u, prod, len) >= 0) {
    limbs_sub(u, prod, len);  // R = U - Q V >= 0: raise Q while R >= V
    for (int i = 0; i < 4 && !settled; ++i) {
      settled = limbs_compare_aligned(u, len, vv, n) < 0;
      if (!settled) {
        limbs_sub_aligned(u, len, vv, n);
        limbs_increment(quot, qlen);
      }
    }
  } else {
    limbs_sub(prod, u, len);  // N = Q V - U > 0: lower Q until N <= V
    for (int i = 0; i < 4 && !settled; ++i) {
      limbs_decrement(quot, qlen);
      settled = limbs_compare_aligned(prod, len, vv, n) <= 0;
      if (!settled) limbs_sub_aligned(prod, len, vv, n);
    }
  }
  if (!settled) return false;
  *rl = take_leading_digits(dst, quot, qlen, digits);
  return true;
}
