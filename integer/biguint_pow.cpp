// Powers, powers of two and ten, factorial, binomial coefficients and the modular power.
#include <utility>

#include "integer/biguint.h"
#include "integer/biguint_internal.h"

namespace bl = binary_limbs;
using biguint_detail::current_limbs;
using biguint_detail::Len;
using biguint_detail::Limb;
using biguint_detail::pow_bounded;
using biguint_detail::scratch_limbs;

namespace {

constexpr std::uint64_t kTopBit = 0x8000000000000000ULL;

void fail(BigUInt* r, Len n, MathStatus s) {
  bl::zero(r, n);
  set_status(s);
}

void set_one(BigUInt* r, Len n) {
  bl::zero(r, n);
  r[0] = 1;
}

// The exponent as a machine word when it is below 2^63 in limb 0.
bool small_exponent(const BigUInt* e, Len n, std::uint64_t* out) {
  if (bl::significant(e, n) > 1 || e[0] >= kTopBit) return false;
  *out = e[0];
  return true;
}

// r = a^e for e >= 1 at N limbs; overflow gives r = 0 and 200.
void pow_word(BigUInt* r, const BigUInt* a, std::uint64_t e, Len n) {
  const Len la = bl::significant(a, n);
  if (la == 0) {
    bl::zero(r, n);
    return;
  }
  // a^e >= 2^((bits - 1) e): decided before any multiplication.
  const std::int64_t bits = bl::bit_length(a, la);
  if (static_cast<unsigned __int128>(bits - 1) * e >= static_cast<unsigned __int128>(64 * n)) {
    fail(r, n, MathStatus::Overflow);
    return;
  }
  ScratchScope scope;
  Limb* t = scratch_limbs(n + 1);
  const Len len = pow_bounded(t, n, a, la, e);
  if (len < 0) {
    fail(r, n, MathStatus::Overflow);
    return;
  }
  bl::copy(r, t, len);
  bl::zero(r + len, n - len);
}

void pow10_word(BigUInt* r, std::uint64_t e, Len n) {
  if (e < 20) {
    bl::zero(r, n);
    r[0] = kPow10[e];
    return;
  }
  if (static_cast<unsigned __int128>(e) * 3 >= static_cast<unsigned __int128>(64 * n)) {
    fail(r, n, MathStatus::Overflow);  // 10^e > 2^(3e)
    return;
  }
  const Limb ten = 10;
  ScratchScope scope;
  Limb* t = scratch_limbs(n + 1);
  const Len len = pow_bounded(t, n, &ten, 1, e);
  if (len < 0) {
    fail(r, n, MathStatus::Overflow);
    return;
  }
  bl::copy(r, t, len);
  bl::zero(r + len, n - len);
}

}  // namespace

namespace biguint_detail {

Len pow_bounded(Limb* r, Len cap, const Limb* x, Len nx, std::uint64_t e) {
  if (nx > cap) return -1;
  ScratchScope scope;
  // Every product is formed only when its operands promise at most cap + 1 limbs.
  Limb* cur = scratch_limbs(cap + 1);
  Limb* tmp = scratch_limbs(cap + 1);
  bl::copy(cur, x, nx);
  Len len = nx;
  for (int bit = 62 - std::countl_zero(e); bit >= 0; --bit) {
    if (2 * len - 1 > cap) return -1;
    bl::sqr(tmp, cur, len);
    len = bl::significant(tmp, 2 * len);
    if (len > cap) return -1;
    std::swap(cur, tmp);
    if ((e >> bit) & 1) {
      if (len + nx - 1 > cap) return -1;
      if (len >= nx) {
        bl::mul(tmp, cur, len, x, nx);
      } else {
        bl::mul(tmp, x, nx, cur, len);
      }
      len = bl::significant(tmp, len + nx);
      if (len > cap) return -1;
      std::swap(cur, tmp);
    }
  }
  bl::copy(r, cur, len);
  return len;
}

}  // namespace biguint_detail

void biguint_pow(BigUInt* r, const BigUInt* a, const BigUInt* e) {
  const Len n = current_limbs();
  if (n == 0) return;
  ContextScope saved = ContextScope::isolated_status();
  std::uint64_t ev;
  if (!small_exponent(e, n, &ev)) {
    if (bl::significant(a, n) <= 1 && a[0] <= 1) {
      bl::copy(r, a, n);
    } else {
      fail(r, n, MathStatus::Overflow);
    }
    return;
  }
  if (ev == 0) {
    set_one(r, n);
    return;
  }
  pow_word(r, a, ev, n);
}

void biguint_pow_i64(BigUInt* r, const BigUInt* a, std::int64_t e) {
  const Len n = current_limbs();
  if (n == 0) return;
  ContextScope saved = ContextScope::isolated_status();
  if (e < 0) {
    fail(r, n, MathStatus::Undefined);
  } else if (e == 0) {
    set_one(r, n);
  } else {
    pow_word(r, a, static_cast<std::uint64_t>(e), n);
  }
}

void biguint_pow10(BigUInt* r, const BigUInt* e) {
  const Len n = current_limbs();
  if (n == 0) return;
  ContextScope saved = ContextScope::isolated_status();
  std::uint64_t ev;
  if (!small_exponent(e, n, &ev)) {
    fail(r, n, MathStatus::Overflow);
    return;
  }
  pow10_word(r, ev, n);
}

void biguint_pow10_i64(BigUInt* r, std::int64_t e) {
  const Len n = current_limbs();
  if (n == 0) return;
  ContextScope saved = ContextScope::isolated_status();
  if (e < 0) {
    fail(r, n, MathStatus::Undefined);
    return;
  }
  pow10_word(r, static_cast<std::uint64_t>(e), n);
}

// --- factorial and binomial coefficients -------------------------------------------------------

void biguint_factorial(BigUInt* r, const BigUInt* nv) {
  const Len n = current_limbs();
  if (n == 0) return;
  ContextScope saved = ContextScope::isolated_status();
  if (bl::significant(nv, n) > 1) {
    fail(r, n, MathStatus::Overflow);
    return;
  }
  const std::uint64_t m = nv[0];
  ScratchScope scope;
  Limb* t = scratch_limbs(n);
  t[0] = 1;
  Len len = 1;
  // Consecutive factors are gathered into one word while their product fits, which saves
  // passes over the growing result. The result only grows, so an intermediate overflow means
  // the factorial itself overflows.
  std::uint64_t i = 2;
  while (i <= m) {
    Limb p = i++;
    while (i <= m && static_cast<unsigned __int128>(p) * i <= ~Limb{0}) p *= i++;
    const Limb c = bl::mul_1(t, t, len, p);
    if (c != 0) {
      if (len == n) {
        fail(r, n, MathStatus::Overflow);
        return;
      }
      t[len++] = c;
    }
    if (i == 0) break;  // m = 2^64 - 1 and every factor taken (unreachable before overflow)
  }
  bl::copy(r, t, len);
  bl::zero(r + len, n - len);
}

void biguint_binomial(BigUInt* r, const BigUInt* nv, const BigUInt* kv, bool permutations) {
  const Len n = current_limbs();
  if (n == 0) return;
  ContextScope saved = ContextScope::isolated_status();
  if (bl::compare_n(nv, kv, n) < 0) {
    bl::zero(r, n);
    return;
  }
  ScratchScope scope;
  Limb* m = scratch_limbs(n);
  bl::sub_n(m, nv, kv, n);
  const Limb* count;
  const Limb* base;
  if (permutations) {
    count = kv;
    base = m;
  } else if (bl::compare_n(kv, m, n) <= 0) {
    count = kv;
    base = m;
  } else {
    count = m;
    base = kv;
  }
  if (bl::significant(count, n) > 1) {
    fail(r, n, MathStatus::Undefined);
    return;
  }
  const std::uint64_t steps = count[0];
  // acc holds C(base + i, i) (or the falling product) after step i. Before the exact division by
  // i the product may be up to one limb longer than N, so a result that fits N limbs never
  // reports an overflow on the way.
  Limb* cur = scratch_limbs(n);
  Limb* acc = scratch_limbs(n + 2);
  Limb* prod = scratch_limbs(n + 2);
  bl::copy(cur, base, n);
  acc[0] = 1;
  Len lacc = 1;
  const Len limit = permutations ? n : n + 1;
  for (std::uint64_t i = 1; i <= steps; ++i) {
    if (cancel_requested()) {
      fail(r, n, MathStatus::Cancelled);
      return;
    }
    if (bl::add_1(cur, cur, n, 1) != 0) {
      fail(r, n, MathStatus::Overflow);
      return;
    }
    const Len lcur = bl::significant(cur, n);
    if (lacc + lcur - 1 > limit) {
      fail(r, n, MathStatus::Overflow);
      return;
    }
    if (lacc >= lcur) {
      bl::mul(prod, acc, lacc, cur, lcur);
    } else {
      bl::mul(prod, cur, lcur, acc, lacc);
    }
    Len lp = bl::significant(prod, lacc + lcur);
    if (!permutations) {
      const Limb rem =
          bl::divrem_1(prod, prod, lp,
                       bl::prepare_divisor(i, i < kReciprocalTableSize ? ReciprocalTable[i] : 0));
      if (rem != 0) {
        fail(r, n, MathStatus::InternalLimit);
        return;
      }
      lp = bl::significant(prod, lp);
    }
    if (lp > n) {
      fail(r, n, MathStatus::Overflow);
      return;
    }
    std::swap(acc, prod);
    lacc = lp;
    if (i == ~std::uint64_t{0}) break;
  }
  bl::copy(r, acc, lacc);
  bl::zero(r + lacc, n - lacc);
}

// --- modular power ----------------------------------------------------------------------------

namespace {

// Products modulo an odd m of lm limbs by Montgomery's reduction; values are kept in the form
// x * 2^(64 lm) mod m between enter and leave.
class Montgomery {
 public:
  Montgomery(const Limb* m, Len lm) : m_(m), lm_(lm) {
    t_ = scratch_limbs(2 * lm + 1);
    q_ = scratch_limbs(lm);
    mod_ = bl::prepare_modulus(m, lm);
    minv_ = bl::montgomery_inverse(m[0]);
  }
  void enter(Limb* x) {  // x below m
    bl::zero(t_, lm_);
    bl::copy(t_ + lm_, x, lm_);
    bl::reduce(x, t_, 2 * lm_, mod_);
  }
  void leave(Limb* x) {
    bl::copy(t_, x, lm_);
    bl::zero(t_ + lm_, lm_);
    bl::redc(x, t_, m_, lm_, minv_, q_);
  }
  // r = a * b; r may be a or b.
  void mul(Limb* r, const Limb* a, const Limb* b) {
    if (a == b) {
      bl::sqr(t_, a, lm_);
    } else {
      bl::mul(t_, a, lm_, b, lm_);
    }
    bl::redc(r, t_, m_, lm_, minv_, q_);
  }

 private:
  const Limb* m_;
  Len lm_;
  Limb* t_ = nullptr;
  Limb* q_ = nullptr;
  bl::Modulus mod_;
  Limb minv_ = 0;
};

int window_bits(std::int64_t exponent_bits) {
  if (exponent_bits <= 16) return 1;
  if (exponent_bits <= 64) return 3;
  if (exponent_bits <= 256) return 4;
  if (exponent_bits <= 1024) return 5;
  if (exponent_bits <= 3072) return 6;
  return 7;
}

inline bool exponent_bit(const Limb* e, std::int64_t i) {
  return (e[i / 64] >> (i % 64)) & 1;
}

// out = x^e mod m for an odd m of lm limbs, x below m, e of le significant limbs (e >= 1).
// Left-to-right sliding window over the odd powers x, x^3, ... Polls the stop request once per
// exponent bit; returns false when stopped.
bool odd_power(Limb* out, const Limb* x, const Limb* e, Len le, const Limb* m, Len lm) {
  ScratchScope scope;
  Montgomery mont(m, lm);
  const std::int64_t bits = bl::bit_length(e, le);
  const int w = window_bits(bits);
  const int entries = 1 << (w - 1);
  Limb* table[64];
  table[0] = scratch_limbs(lm);
  bl::copy(table[0], x, lm);
  mont.enter(table[0]);
  if (entries > 1) {
    Limb* x2 = scratch_limbs(lm);
    mont.mul(x2, table[0], table[0]);
    for (int i = 1; i < entries; ++i) {
      table[i] = scratch_limbs(lm);
      mont.mul(table[i], table[i - 1], x2);
    }
  }
  Limb* acc = out;
  bool started = false;
  std::int64_t i = bits - 1;
  while (i >= 0) {
    if (!exponent_bit(e, i)) {
      if (cancel_requested()) return false;
      mont.mul(acc, acc, acc);
      --i;
      continue;
    }
    std::int64_t j = i - w + 1 < 0 ? 0 : i - w + 1;
    while (!exponent_bit(e, j)) ++j;
    unsigned value = 0;
    for (std::int64_t k = i; k >= j; --k) value = (value << 1) | (exponent_bit(e, k) ? 1u : 0u);
    if (started) {
      for (std::int64_t k = i; k >= j; --k) {
        if (cancel_requested()) return false;
        mont.mul(acc, acc, acc);
      }
      mont.mul(acc, acc, table[value >> 1]);
    } else {
      if (cancel_requested()) return false;
      bl::copy(acc, table[value >> 1], lm);
      started = true;
    }
    i = j - 1;
  }
  mont.leave(acc);
  return true;
}

// r (ls limbs) = a * b mod 2^(64 ls) with the top limb masked; r may be a or b.
void mul_low(Limb* r, const Limb* a, const Limb* b, Len ls, Limb top_mask) {
  ScratchScope scope;
  Limb* t = scratch_limbs(2 * ls);
  bl::mul(t, a, ls, b, ls);
  bl::copy(r, t, ls);
  r[ls - 1] &= top_mask;
}

// out (ls limbs) = x^e mod 2^s, ls = ceil(s / 64), x below 2^s; false when stopped.
bool power_of_two_power(Limb* out, const Limb* x, const Limb* e, Len le, std::int64_t s) {
  const Len ls = (s + 63) / 64;
  const Limb top_mask = s % 64 ? (Limb{1} << (s % 64)) - 1 : ~Limb{0};
  bl::zero(out, ls);
  // An even x to a power of at least s has s factors 2.
  if ((x[0] & 1) == 0 && (le > 1 || e[0] >= static_cast<Limb>(s))) return true;
  const std::int64_t bits = bl::bit_length(e, le);
  if (ls == 1) {
    Limb acc = 1;
    for (std::int64_t i = bits - 1; i >= 0; --i) {
      if (cancel_requested()) return false;
      acc *= acc;
      if (exponent_bit(e, i)) acc *= x[0];
    }
    out[0] = acc & top_mask;
    return true;
  }
  out[0] = 1;
  for (std::int64_t i = bits - 1; i >= 0; --i) {
    if (cancel_requested()) return false;
    mul_low(out, out, out, ls, top_mask);
    if (exponent_bit(e, i)) mul_low(out, out, x, ls, top_mask);
  }
  return true;
}

// y (ls limbs) = mo^-1 mod 2^(64 ls) for odd mo of lo limbs, by Newton's step y (2 - mo y),
// which doubles the number of correct low bits.
void inverse_mod_power_of_two(Limb* y, const Limb* mo, Len lo, Len ls) {
  ScratchScope scope;
  Limb* mt = scratch_limbs(ls);
  Limb* t = scratch_limbs(ls);
  bl::zero(mt, ls);
  bl::copy(mt, mo, lo < ls ? lo : ls);
  bl::zero(y, ls);
  y[0] = ~bl::montgomery_inverse(mo[0]) + 1;
  for (std::int64_t bits = 64; bits < 64 * ls; bits *= 2) {
    mul_low(t, mt, y, ls, ~Limb{0});
    for (Len i = 0; i < ls; ++i) t[i] = ~t[i];  // 2 - t = ~t + 3
    bl::add_1(t, t, ls, 3);
    mul_low(y, y, t, ls, ~Limb{0});
  }
}

// out (lm limbs) = x^e mod m for an even m of lm limbs, x below m. m = mo 2^s with mo odd: the
// powers modulo mo (Montgomery) and modulo 2^s (truncated products) are joined by the Chinese
// remainder theorem, x^e = x1 + mo h with h = (x2 - x1) / mo mod 2^s.
bool even_power(Limb* out, const Limb* x, const Limb* e, Len le, const Limb* m, Len lm) {
  ScratchScope scope;
  Len zl = 0;
  while (m[zl] == 0) ++zl;
  const std::int64_t s = 64 * zl + std::countr_zero(m[zl]);
  const Len ls = (s + 63) / 64;
  const Limb top_mask = s % 64 ? (Limb{1} << (s % 64)) - 1 : ~Limb{0};
  // mo = m >> s
  const Len lo_room = lm - zl;
  Limb* mo = scratch_limbs(lo_room);
  if (s % 64) {
    bl::rshift(mo, m + zl, lo_room, static_cast<unsigned>(s % 64));
  } else {
    bl::copy(mo, m + zl, lo_room);
  }
  const Len lo = bl::significant(mo, lo_room);
  // x1 = x^e mod mo
  Limb* x1 = scratch_limbs(lo);
  if (lo == 1 && mo[0] == 1) {
    x1[0] = 0;
  } else {
    Limb* t = scratch_limbs(lm + 1);
    bl::copy(t, x, lm);
    const bl::Modulus mod = bl::prepare_modulus(mo, lo);
    bl::reduce(x1, t, lm, mod);
    if (!odd_power(x1, x1, e, le, mo, lo)) return false;
  }
  // x2 = x^e mod 2^s
  Limb* x2 = scratch_limbs(ls);
  Limb* xs = scratch_limbs(ls);
  bl::zero(xs, ls);
  bl::copy(xs, x, ls < lm ? ls : lm);
  xs[ls - 1] &= top_mask;
  if (!power_of_two_power(x2, xs, e, le, s)) return false;
  // h = (x2 - x1) mo^-1 mod 2^s
  Limb* d = scratch_limbs(ls);
  bl::zero(d, ls);
  bl::copy(d, x1, lo < ls ? lo : ls);
  bl::sub_n(d, x2, d, ls);
  d[ls - 1] &= top_mask;
  Limb* inv = scratch_limbs(ls);
  inverse_mod_power_of_two(inv, mo, lo, ls);
  mul_low(d, d, inv, ls, top_mask);
  // out = x1 + mo h, which is below mo 2^s = m
  Limb* p = scratch_limbs(lo + ls);
  if (lo >= ls) {
    bl::mul(p, mo, lo, d, ls);
  } else {
    bl::mul(p, d, ls, mo, lo);
  }
  bl::add(p, p, lo + ls, x1, lo);
  bl::zero(out, lm);
  bl::copy(out, p, lo + ls < lm ? lo + ls : lm);
  return true;
}

}  // namespace

void biguint_powmod(BigUInt* r, const BigUInt* base, const BigUInt* e, const BigUInt* m) {
  const Len n = current_limbs();
  if (n == 0) return;
  ContextScope saved = ContextScope::isolated_status();
  const Len lm = bl::significant(m, n);
  if (lm == 0) {
    fail(r, n, MathStatus::DivisionByZero);
    return;
  }
  if (lm == 1 && m[0] == 1) {  // everything is 0 modulo 1
    bl::zero(r, n);
    return;
  }
  const Len le = bl::significant(e, n);
  if (le == 0) {
    set_one(r, n);
    return;
  }
  ScratchScope scope;
  // Copies first: r may be any of the operands. The base is reduced modulo m at once.
  Limb* mc = scratch_limbs(lm);
  bl::copy(mc, m, lm);
  Limb* ec = scratch_limbs(le);
  bl::copy(ec, e, le);
  const Len lb = bl::significant(base, n);
  Limb* g = scratch_limbs(lm);
  {
    Limb* t = scratch_limbs(lb + 1);
    bl::copy(t, base, lb);
    const bl::Modulus mod = bl::prepare_modulus(mc, lm);
    bl::reduce(g, t, lb, mod);
  }
  Limb* res = scratch_limbs(lm);
  const bool done =
      (mc[0] & 1) ? odd_power(res, g, ec, le, mc, lm) : even_power(res, g, ec, le, mc, lm);
  if (!done) {
    fail(r, n, MathStatus::Cancelled);
    return;
  }
  bl::copy(r, res, lm);
  bl::zero(r + lm, n - lm);
}
