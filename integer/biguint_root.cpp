// Integer square and k-th roots, and integer logarithms.
#include <bit>
#include <cmath>
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

// log2 of a nonzero value from its leading 64 bits; good to about 1e-15 relative.
double log2_of(const Limb* a, Len na) {
  const std::int64_t b = bl::bit_length(a, na);
  if (b <= 64) return std::log2(static_cast<double>(a[0]));
  const std::int64_t shift = b - 64;
  const Len q = shift / 64;
  const unsigned s = static_cast<unsigned>(shift % 64);
  Limb top = a[q] >> s;
  if (s != 0) top |= a[q + 1] << (64 - s);
  return std::log2(static_cast<double>(top)) + static_cast<double>(shift);
}

// Sign of x^k - a for a word x >= 1 (a has na significant limbs).
int compare_power(Limb x, std::uint64_t k, const Limb* a, Len na) {
  ScratchScope scope;
  Limb* p = scratch_limbs(na + 1);
  const Len lp = pow_bounded(p, na, &x, 1, k);
  if (lp < 0) return 1;
  return bl::compare(p, lp, a, na);
}

}  // namespace

namespace biguint_detail {

// Newton's iteration x' = ((k - 1) x + a / x^(k-1)) / k decreases strictly from any start above
// the root and stops at it. The start comes from the root of a with its low k*j bits dropped,
// which already has the leading half of the bits right, so a couple of full-size steps suffice.
bool root_floor(Limb* r, const Limb* a, Len na, std::uint64_t k) {
  const std::int64_t b = bl::bit_length(a, na);
  if (k >= static_cast<std::uint64_t>(b)) {  // 1 <= a < 2^b <= 2^k
    r[0] = 1;
    return na == 1 && a[0] == 1;
  }
  const std::int64_t t = (b - 1) / static_cast<std::int64_t>(k) + 1;  // the root is below 2^t
  if (t <= 32) {
    const Limb top = (Limb{1} << t) - 1;
    const double guess = std::exp2(log2_of(a, na) / static_cast<double>(k));
    Limb x = guess >= static_cast<double>(top) ? top : guess < 1 ? 1 : static_cast<Limb>(guess);
    while (x > 1 && compare_power(x, k, a, na) > 0) --x;
    while (x < top && compare_power(x + 1, k, a, na) <= 0) ++x;
    r[0] = x;
    return compare_power(x, k, a, na) == 0;
  }
  ScratchScope scope;
  const std::int64_t j = t / 2;
  const std::int64_t drop = static_cast<std::int64_t>(k) * j;  // <= b - 1
  const Len room = na + 2;
  Limb* x = scratch_limbs(room);
  Limb* y = scratch_limbs(room);
  Limb* p = scratch_limbs(room);
  Limb* q = scratch_limbs(room);
  Limb* rem = scratch_limbs(room);
  bl::zero(x, room);
  {
    // s = root of a >> drop, then x = (s + 1) << j >= floor(a^(1/k)).
    const Len q0 = drop / 64;
    const unsigned s0 = static_cast<unsigned>(drop % 64);
    const Len nh = na - q0;
    Limb* ah = scratch_limbs(nh);
    if (s0 != 0) {
      bl::rshift(ah, a + q0, nh, s0);
    } else {
      bl::copy(ah, a + q0, nh);
    }
    bl::zero(y, room);
    root_floor(y, ah, bl::significant(ah, nh), k);
    const Len ly = bl::significant(y, room);
    y[ly] = bl::add_1(y, y, ly, 1);
    const Len js = j / 64;
    const unsigned jb = static_cast<unsigned>(j % 64);
    bl::copy(x + js, y, ly + 1);
    if (jb != 0) bl::lshift(x + js, x + js, ly + 2, jb);
  }
  Len lx = bl::significant(x, room);
  for (;;) {
    // q, rem = a / x^(k-1)
    bl::zero(q, room);
    Len lp;
    const Limb* pk;
    if (k == 2) {
      pk = x;
      lp = lx;
    } else {
      lp = pow_bounded(p, na, x, lx, k - 1);
      pk = p;
    }
    if (lp < 0 || bl::compare(pk, lp, a, na) > 0) {
      bl::copy(rem, a, na);
      bl::zero(rem + na, room - na);
    } else if (lp == 1) {
      bl::zero(rem, room);
      rem[0] = bl::divrem_1(q, a, na, bl::prepare_divisor(pk[0], 0));
    } else {
      bl::zero(rem, room);
      bl::divrem(q, rem, a, na, pk, lp);
    }
    const Len lq = bl::significant(q, room);
    // y = ((k - 1) x + q) / k
    bl::zero(y, room);
    y[lx] = bl::mul_1(y, x, lx, k - 1);
    const Len ly0 = lx + 1;
    if (lq > ly0) {
      y[lq] = bl::add(y, q, lq, y, ly0);
    } else {
      y[ly0] = bl::add(y, y, ly0, q, lq);
    }
    bl::divrem_1(y, y, room - 1, bl::prepare_divisor(k, 0));
    const Len ly = bl::significant(y, room);
    if (bl::compare(y, ly, x, lx) >= 0) break;
    std::swap(x, y);
    lx = ly;
  }
  bl::copy(r, x, lx);
  return bl::significant(rem, room) == 0 && bl::compare(q, bl::significant(q, room), x, lx) == 0;
}

}  // namespace biguint_detail

namespace {

// r = floor(a^(1/k)) at N limbs for k >= 2.
bool root_word(BigUInt* r, const BigUInt* a, std::uint64_t k, Len n) {
  const Len la = bl::significant(a, n);
  if (la == 0) {
    bl::zero(r, n);
    return true;
  }
  ScratchScope scope;
  Limb* t = scratch_limbs(n);
  bl::zero(t, n);
  const bool exact = biguint_detail::root_floor(t, a, la, k);
  bl::copy(r, t, n);
  return exact;
}

void fail(BigUInt* r, Len n, MathStatus s) {
  bl::zero(r, n);
  set_status(s);
}

}  // namespace

bool biguint_isqrt(BigUInt* r, const BigUInt* a) {
  const Len n = current_limbs();
  if (n == 0) return false;
  ContextScope saved = ContextScope::isolated_status();
  return root_word(r, a, 2, n);
}

bool biguint_root(BigUInt* r, const BigUInt* k, const BigUInt* a) {
  const Len n = current_limbs();
  if (n == 0) return false;
  ContextScope saved = ContextScope::isolated_status();
  const Len lk = bl::significant(k, n);
  if (lk == 0) {
    fail(r, n, MathStatus::Undefined);
    return false;
  }
  if (lk == 1 && k[0] == 1) {
    bl::copy(r, a, n);
    return true;
  }
  const Len la = bl::significant(a, n);
  if (la == 0) {
    bl::zero(r, n);
    return true;
  }
  if (lk > 1 || k[0] >= 0x8000000000000000ULL) {
    // Such an index takes every a >= 2 below 2: the root is 1, exact only for a = 1.
    const bool one = la == 1 && a[0] == 1;
    bl::zero(r, n);
    r[0] = 1;
    return one;
  }
  return root_word(r, a, k[0], n);
}

bool biguint_root_i64(BigUInt* r, std::int64_t k, const BigUInt* a) {
  const Len n = current_limbs();
  if (n == 0) return false;
  ContextScope saved = ContextScope::isolated_status();
  if (k <= 0) {
    fail(r, n, MathStatus::Undefined);
    return false;
  }
  if (k == 1) {
    bl::copy(r, a, n);
    return true;
  }
  return root_word(r, a, static_cast<std::uint64_t>(k), n);
}

// --- logarithms --------------------------------------------------------------------------------

bool biguint_log2(BigUInt* r, const BigUInt* a) {
  const Len n = current_limbs();
  if (n == 0) return false;
  const Len la = bl::significant(a, n);
  if (la == 0) {
    fail(r, n, MathStatus::Overflow);
    return false;
  }
  std::int64_t ones = 0;
  for (Len i = 0; i < la; ++i) ones += std::popcount(a[i]);
  const std::int64_t bits = bl::bit_length(a, la);
  bl::zero(r, n);
  r[0] = static_cast<Limb>(bits - 1);
  return ones == 1;
}

bool biguint_log(BigUInt* r, const BigUInt* base, const BigUInt* a) {
  const Len n = current_limbs();
  if (n == 0) return false;
  const Len la = bl::significant(a, n), lb = bl::significant(base, n);
  if (la == 0 || lb == 0 || (lb == 1 && base[0] < 2)) {
    fail(r, n, MathStatus::Overflow);
    return false;
  }
  if (lb == 1 && base[0] == 2) return biguint_log2(r, a);
  // The count from floating-point logarithms, then corrected until base^c <= a < base^(c+1).
  ScratchScope scope;
  const Len cap = la + 1;
  Limb* p = scratch_limbs(cap + lb + 1);
  Limb* t = scratch_limbs(cap + lb + 1);
  double estimate = std::floor(log2_of(a, la) / log2_of(base, lb));
  std::uint64_t c = estimate > 0 ? static_cast<std::uint64_t>(estimate) : 0;
  Len lp;
  for (;;) {
    if (c == 0) {
      p[0] = 1;
      lp = 1;
      break;
    }
    lp = pow_bounded(p, cap, base, lb, c);
    if (lp >= 0 && bl::compare(p, lp, a, la) <= 0) break;
    --c;
  }
  for (;;) {
    if (lp + lb - 1 > la) break;  // p * base has more limbs than a
    bl::mul(t, lp >= lb ? p : base, lp >= lb ? lp : lb, lp >= lb ? base : p, lp >= lb ? lb : lp);
    const Len lt = bl::significant(t, lp + lb);
    if (bl::compare(t, lt, a, la) > 0) break;
    std::swap(p, t);
    lp = lt;
    ++c;
  }
  const bool exact = bl::compare(p, lp, a, la) == 0;
  bl::zero(r, n);
  r[0] = c;
  return exact;
}

bool biguint_log10(BigUInt* r, const BigUInt* a) {
  const Len n = current_limbs();
  if (n == 0) return false;
  ScratchScope scope;
  Limb* ten = scratch_limbs(n);
  bl::zero(ten, n);
  ten[0] = 10;
  return biguint_log(r, ten, a);
}
