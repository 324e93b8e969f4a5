// Division of binary limb ranges: by one limb through its reciprocal, by several limbs with
// Knuth's algorithm on a normalised divisor. Quotient limbs come from two-by-one steps with a
// precomputed inverse, never from a hardware divide per limb.
#include <cassert>

#include "core/decfloat.h"
#include "integer/binary_limbs.h"

namespace binary_limbs {

Limb invert_limb(Limb d) {
  // Once per divisor; 2^63 <= d, so the quotient lies in [2^64, 2^65).
  return static_cast<Limb>(~static_cast<u128>(0) / d - (static_cast<u128>(1) << 64));
}

Divisor1 prepare_divisor(Limb d, Limb recip) {
  Divisor1 r;
  r.d = d;
  const int k = 63 - std::countl_zero(d);
  r.shift = static_cast<unsigned>(63 - k);
  r.norm = d << r.shift;
  if ((d & (d - 1)) == 0) {
    r.inv = ~Limb{0};  // invert_limb(2^63)
    return r;
  }
  // recip = floor(2^(64+k) / d) = floor(2^127 / norm); then floor(2^128 / norm) is 2 recip or
  // 2 recip + 1, decided by the remainder. A caller's value that breaks the rule is replaced,
  // so a wrong argument cannot produce a wrong quotient.
  const u128 half = static_cast<u128>(1) << 127;
  auto fits = [&](Limb rc) {
    if (rc <= 0x8000000000000000ULL) return false;
    const u128 p = static_cast<u128>(rc) * r.norm;
    return p <= half && half - p < r.norm;
  };
  if (!fits(recip)) recip = reciprocal_of(d);
  const Limb rem = static_cast<Limb>(half - static_cast<u128>(recip) * r.norm);
  r.inv = (recip << 1) + (rem >= r.norm - rem ? 1 : 0);
  return r;
}

Limb divrem_1(Limb* q, const Limb* a, Len n, const Divisor1& d) {
  if (n == 0) return 0;
  Limb r = 0;
  const unsigned s = d.shift;
  if (s == 0) {
    for (Len i = n - 1; i >= 0; --i) {
      const Limb qi = div_2by1(r, a[i], d.norm, d.inv, &r);
      if (q) q[i] = qi;
    }
    return r;
  }
  // The dividend is shifted along with the divisor, one limb at a time; each limb is read
  // before the quotient limb of the same index is stored, so q may be a.
  Limb hi = a[n - 1];
  r = hi >> (64 - s);
  for (Len i = n - 1; i > 0; --i) {
    const Limb lo = a[i - 1];
    const Limb qi = div_2by1(r, (hi << s) | (lo >> (64 - s)), d.norm, d.inv, &r);
    if (q) q[i] = qi;
    hi = lo;
  }
  const Limb q0 = div_2by1(r, hi << s, d.norm, d.inv, &r);
  if (q) q[0] = q0;
  return r >> s;
}

namespace {

// One quotient limb of un[j .. j+n] / vn (Knuth D3-D6). un[j+n] <= vn[n-1] on entry; afterwards
// un[j .. j+n) is the partial remainder and un[j+n] is 0.
inline Limb knuth_step(Limb* un, const Limb* vn, Len n, Limb inv) {
  const Limb d1 = vn[n - 1], d0 = vn[n - 2];
  const Limb u2 = un[n], u1 = un[n - 1], u0 = un[n - 2];
  Limb qhat, rhat;
  bool rhat_fits = true;
  if (u2 >= d1) {  // u2 == d1: the estimate B - 1 is at most 2 too large
    qhat = ~Limb{0};
    rhat = u1 + d1;
    rhat_fits = rhat >= u1;
  } else {
    qhat = div_2by1(u2, u1, d1, inv, &rhat);
  }
  // Second divisor limb: brings the estimate to the true digit or one above it.
  while (rhat_fits && static_cast<u128>(qhat) * d0 > ((static_cast<u128>(rhat) << 64) | u0)) {
    --qhat;
    rhat += d1;
    rhat_fits = rhat >= d1;
  }
  const Limb borrow = submul_1(un, vn, n, qhat);
  if (u2 < borrow) {  // one too large: add the divisor back once
    --qhat;
    [[maybe_unused]] const Limb c = add_n(un, un, vn, n);
    assert(c == 1 && u2 - borrow + c == 0);
  }
  un[n] = 0;
  return qhat;
}

}  // namespace

void divrem(Limb* q, Limb* r, const Limb* a, Len na, const Limb* b, Len nb) {
  ScratchScope scope;
  const unsigned s = static_cast<unsigned>(std::countl_zero(b[nb - 1]));
  Limb* vn = scratch_alloc(static_cast<std::size_t>(nb));
  Limb* un = scratch_alloc(static_cast<std::size_t>(na + 1));
  if (s != 0) {
    lshift(vn, b, nb, s);
    un[na] = lshift(un, a, na, s);
  } else {
    copy(vn, b, nb);
    copy(un, a, na);
    un[na] = 0;
  }
  const Len nq = na - nb + 1;
  Limb* qs = q ? scratch_alloc(static_cast<std::size_t>(nq)) : nullptr;
  const Limb inv = invert_limb(vn[nb - 1]);
  for (Len j = nq - 1; j >= 0; --j) {
    const Limb qj = knuth_step(un + j, vn, nb, inv);
    if (qs) qs[j] = qj;
  }
  if (q) copy(q, qs, nq);
  if (r) {
    if (s != 0) {
      rshift(r, un, nb, s);
    } else {
      copy(r, un, nb);
    }
  }
}

Modulus prepare_modulus(const Limb* m, Len n) {
  Modulus mod;
  mod.n = n;
  mod.shift = static_cast<unsigned>(std::countl_zero(m[n - 1]));
  Limb* norm = scratch_alloc(static_cast<std::size_t>(n));
  if (mod.shift != 0) {
    lshift(norm, m, n, mod.shift);
  } else {
    copy(norm, m, n);
  }
  mod.norm = norm;
  mod.inv = invert_limb(norm[n - 1]);
  return mod;
}

void reduce(Limb* r, Limb* a, Len na, const Modulus& mod) {
  const Len n = mod.n;
  if (na < n) {
    copy(r, a, na);
    zero(r + na, n - na);
    return;
  }
  a[na] = mod.shift != 0 ? lshift(a, a, na, mod.shift) : 0;
  if (n == 1) {
    Limb rem = 0;
    for (Len i = na; i >= 0; --i) div_2by1(rem, a[i], mod.norm[0], mod.inv, &rem);
    r[0] = rem >> mod.shift;
    return;
  }
  for (Len j = na - n; j >= 0; --j) knuth_step(a + j, mod.norm, n, mod.inv);
  if (mod.shift != 0) {
    rshift(r, a, n, mod.shift);
  } else {
    copy(r, a, n);
  }
}

}  // namespace binary_limbs
