// Carries, products and shifts of binary limb ranges.
#include "integer/binary_limbs.h"

#include <cstring>

#include "core/decfloat.h"

namespace binary_limbs {

void copy(Limb* r, const Limb* a, Len n) {
  if (n > 0 && r != a) std::memmove(r, a, static_cast<std::size_t>(n) * sizeof(Limb));
}

void zero(Limb* r, Len n) {
  if (n > 0) std::memset(r, 0, static_cast<std::size_t>(n) * sizeof(Limb));
}

Limb add_n(Limb* r, const Limb* a, const Limb* b, Len n) {
  Limb c = 0;
  for (Len i = 0; i < n; ++i) {
    const u128 s = static_cast<u128>(a[i]) + b[i] + c;
    r[i] = static_cast<Limb>(s);
    c = static_cast<Limb>(s >> 64);
  }
  return c;
}

Limb sub_n(Limb* r, const Limb* a, const Limb* b, Len n) {
  Limb borrow = 0;
  for (Len i = 0; i < n; ++i) {
    const Limb x = a[i], y = b[i];
    const Limb d = x - y;
    const Limb b1 = x < y;
    r[i] = d - borrow;
    borrow = b1 | (d < borrow);
  }
  return borrow;
}

Limb add_1(Limb* r, const Limb* a, Len n, Limb k) {
  Len i = 0;
  for (; i < n && k != 0; ++i) {
    const Limb s = a[i] + k;
    k = s < k;
    r[i] = s;
  }
  if (r != a) copy(r + i, a + i, n - i);
  return k;
}

Limb sub_1(Limb* r, const Limb* a, Len n, Limb k) {
  Len i = 0;
  for (; i < n && k != 0; ++i) {
    const Limb x = a[i];
    r[i] = x - k;
    k = x < k;
  }
  if (r != a) copy(r + i, a + i, n - i);
  return k;
}

Limb add(Limb* r, const Limb* a, Len na, const Limb* b, Len nb) {
  const Limb c = add_n(r, a, b, nb);
  return add_1(r + nb, a + nb, na - nb, c);
}

Limb sub(Limb* r, const Limb* a, Len na, const Limb* b, Len nb) {
  const Limb c = sub_n(r, a, b, nb);
  return sub_1(r + nb, a + nb, na - nb, c);
}

Limb mul_1(Limb* r, const Limb* a, Len n, Limb k) {
  Limb c = 0;
  for (Len i = 0; i < n; ++i) {
    const u128 p = static_cast<u128>(a[i]) * k + c;
    r[i] = static_cast<Limb>(p);
    c = static_cast<Limb>(p >> 64);
  }
  return c;
}

// The row loops run four limbs per turn: the carry chain is the bottleneck, and unrolling takes
// the loop overhead off it.
Limb addmul_1(Limb* r, const Limb* a, Len n, Limb k) {
  Limb c = 0;
  auto step = [&](Len i) {
    const u128 p = static_cast<u128>(a[i]) * k + r[i] + c;
    r[i] = static_cast<Limb>(p);
    c = static_cast<Limb>(p >> 64);
  };
  Len i = 0;
  for (; i + 4 <= n; i += 4) {
    step(i);
    step(i + 1);
    step(i + 2);
    step(i + 3);
  }
  for (; i < n; ++i) step(i);
  return c;
}

Limb submul_1(Limb* r, const Limb* a, Len n, Limb k) {
  Limb c = 0;
  auto step = [&](Len i) {
    const u128 p = static_cast<u128>(a[i]) * k + c;
    const Limb lo = static_cast<Limb>(p);
    const Limb x = r[i];
    r[i] = x - lo;
    c = static_cast<Limb>(p >> 64) + (x < lo);
  };
  Len i = 0;
  for (; i + 4 <= n; i += 4) {
    step(i);
    step(i + 1);
    step(i + 2);
    step(i + 3);
  }
  for (; i < n; ++i) step(i);
  return c;
}

// Product scanning: each result limb is the sum of its column of partial products, gathered in a
// three-limb accumulator. Every column starts a fresh accumulator and takes the carry of the
// previous one last, so the processor can sum neighbouring columns side by side.
namespace {

struct Accumulator {
  u128 low = 0;   // limbs 0 and 1
  Limb high = 0;  // limb 2
  void add(Limb x, Limb y) { add(static_cast<u128>(x) * y); }
  void add(u128 v) { high += __builtin_add_overflow(low, v, &low); }
  // Adds the previous column's carry, returns the lowest limb and leaves the next carry.
  Limb emit(u128& carry) {
    add(carry);
    carry = (low >> 64) | (static_cast<u128>(high) << 64);
    return static_cast<Limb>(low);
  }
};

// acc += x[0] y[0] + x[1] y[-1] + ... (count terms): one column of a product.
inline void column(Accumulator& acc, const Limb* x, const Limb* y, Len count) {
  for (; count >= 4; count -= 4, x += 4, y -= 4) {
    acc.add(x[0], y[0]);
    acc.add(x[1], y[-1]);
    acc.add(x[2], y[-2]);
    acc.add(x[3], y[-3]);
  }
  for (; count > 0; --count, ++x, --y) acc.add(x[0], y[0]);
}

}  // namespace

void mul_basecase(Limb* r, const Limb* a, Len na, const Limb* b, Len nb) {
  u128 carry = 0;
  for (Len k = 0; k < na + nb - 1; ++k) {
    const Len lo = k < na ? 0 : k - na + 1;  // index into b
    const Len hi = k < nb ? k : nb - 1;
    Accumulator col;
    column(col, b + lo, a + (k - lo), hi - lo + 1);
    r[k] = col.emit(carry);
  }
  r[na + nb - 1] = static_cast<Limb>(carry);
}

void sqr_basecase(Limb* r, const Limb* a, Len n) {
  // Column k: twice the products a[i] a[k-i] with i < k - i, plus a[k/2]^2 when k is even.
  u128 carry = 0;
  for (Len k = 0; k < 2 * n - 1; ++k) {
    const Len lo = k < n ? 0 : k - n + 1;
    const Len pairs = (k + 1) / 2 - lo;  // i = lo .. lo + pairs - 1 has i < k - i
    Accumulator col;
    column(col, a + lo, a + (k - lo), pairs);
    col.high = (col.high << 1) | static_cast<Limb>(col.low >> 127);
    col.low <<= 1;
    if ((k & 1) == 0) col.add(a[k / 2], a[k / 2]);
    r[k] = col.emit(carry);
  }
  r[2 * n - 1] = static_cast<Limb>(carry);
}

Limb montgomery_inverse(Limb m0) {
  Limb inv = m0;  // correct to 3 bits for odd m0; each step doubles that
  for (int i = 0; i < 5; ++i) inv *= 2 - m0 * inv;
  return ~inv + 1;
}

void redc(Limb* r, const Limb* t, const Limb* m, Len n, Limb minv, Limb* q) {
  // Column k < n: choose q[k] so that the column's low limb vanishes. Columns n .. 2n - 1 are
  // the result. Product scanning keeps the whole reduction one chain of column sums.
  u128 carry = 0;
  for (Len k = 0; k < n; ++k) {
    Accumulator col;
    column(col, q, m + k, k);
    col.add(static_cast<u128>(t[k]));
    col.add(carry);
    q[k] = static_cast<Limb>(col.low) * minv;
    col.add(q[k], m[0]);
    carry = (col.low >> 64) | (static_cast<u128>(col.high) << 64);
  }
  for (Len k = n; k < 2 * n; ++k) {
    Accumulator col;
    column(col, q + (k - n + 1), m + (n - 1), 2 * n - 1 - k);
    col.add(static_cast<u128>(t[k]));
    r[k - n] = col.emit(carry);
  }
  // The value is below 2m: one subtraction at most.
  if (carry != 0 || compare_n(r, m, n) >= 0) sub_n(r, r, m, n);
}

namespace {

// r (m limbs) = |x - y| with x of m limbs and y of h <= m limbs; returns true when x < y.
bool abs_diff(Limb* r, const Limb* x, Len m, const Limb* y, Len h) {
  bool x_less;
  if (m > h && significant(x + h, m - h) != 0) {
    x_less = false;
  } else {
    x_less = compare_n(x, y, h) < 0;
  }
  if (x_less) {
    sub_n(r, y, x, h);
    zero(r + h, m - h);  // y < 2^(64h), so the top limbs of x are zero here
  } else {
    sub(r, x, m, y, h);
  }
  return x_less;
}

void mul_n(Limb* r, const Limb* a, const Limb* b, Len n);
void sqr_n(Limb* r, const Limb* a, Len n);

// Adds the middle term u (2m + 1 limbs) into r (2n limbs) at limb m.
void add_middle(Limb* r, Len n, Len m, const Limb* u) {
  add(r + m, r + m, 2 * n - m, u, 2 * m + 1);
}

// Karatsuba: a = a1 B^m + a0, b likewise; a0 b1 + a1 b0 = a0 b0 + a1 b1 - (a0 - a1)(b0 - b1).
void mul_n(Limb* r, const Limb* a, const Limb* b, Len n) {
  if (n < kKaratsubaThreshold) {
    mul_basecase(r, a, n, b, n);
    return;
  }
  const Len m = (n + 1) / 2, h = n - m;
  ScratchScope scope;
  Limb* da = scratch_alloc(static_cast<std::size_t>(m));
  Limb* db = scratch_alloc(static_cast<std::size_t>(m));
  Limb* t = scratch_alloc(static_cast<std::size_t>(2 * m));
  Limb* u = scratch_alloc(static_cast<std::size_t>(2 * m + 1));
  const bool negative = abs_diff(da, a, m, a + m, h) != abs_diff(db, b, m, b + m, h);
  mul_n(t, da, db, m);
  mul_n(r, a, b, m);
  mul_n(r + 2 * m, a + m, b + m, h);
  u[2 * m] = add(u, r, 2 * m, r + 2 * m, 2 * h);
  if (negative) {
    u[2 * m] += add_n(u, u, t, 2 * m);
  } else {
    u[2 * m] -= sub_n(u, u, t, 2 * m);
  }
  add_middle(r, n, m, u);
}

void sqr_n(Limb* r, const Limb* a, Len n) {
  if (n < kKaratsubaSqrThreshold) {
    sqr_basecase(r, a, n);
    return;
  }
  const Len m = (n + 1) / 2, h = n - m;
  ScratchScope scope;
  Limb* da = scratch_alloc(static_cast<std::size_t>(m));
  Limb* t = scratch_alloc(static_cast<std::size_t>(2 * m));
  Limb* u = scratch_alloc(static_cast<std::size_t>(2 * m + 1));
  abs_diff(da, a, m, a + m, h);
  sqr_n(t, da, m);
  sqr_n(r, a, m);
  sqr_n(r + 2 * m, a + m, h);
  u[2 * m] = add(u, r, 2 * m, r + 2 * m, 2 * h);
  u[2 * m] -= sub_n(u, u, t, 2 * m);
  add_middle(r, n, m, u);
}

}  // namespace

void mul(Limb* r, const Limb* a, Len na, const Limb* b, Len nb) {
  if (a == b && na == nb) {
    sqr_n(r, a, na);
    return;
  }
  if (nb < kKaratsubaThreshold) {
    mul_basecase(r, a, na, b, nb);
    return;
  }
  if (na == nb) {
    mul_n(r, a, b, na);
    return;
  }
  // Unbalanced: a in pieces of nb limbs, each piece times b, summed at its offset.
  mul_n(r, a, b, nb);
  zero(r + 2 * nb, na - nb);
  ScratchScope scope;
  Limb* t = scratch_alloc(static_cast<std::size_t>(2 * nb));
  for (Len o = nb; o < na; o += nb) {
    const Len c = na - o < nb ? na - o : nb;
    if (c == nb) {
      mul_n(t, a + o, b, nb);
    } else {
      mul(t, b, nb, a + o, c);
    }
    add(r + o, r + o, na + nb - o, t, c + nb);
  }
}

void sqr(Limb* r, const Limb* a, Len n) {
  sqr_n(r, a, n);
}

Limb lshift(Limb* r, const Limb* a, Len n, unsigned s) {
  const Limb out = a[n - 1] >> (64 - s);
  for (Len i = n - 1; i > 0; --i) r[i] = (a[i] << s) | (a[i - 1] >> (64 - s));
  r[0] = a[0] << s;
  return out;
}

Limb rshift(Limb* r, const Limb* a, Len n, unsigned s) {
  const Limb out = a[0] << (64 - s);
  for (Len i = 0; i + 1 < n; ++i) r[i] = (a[i] >> s) | (a[i + 1] << (64 - s));
  r[n - 1] = a[n - 1] >> s;
  return out;
}

}  // namespace binary_limbs
