// Division with remainder, exact division, gcd and lcm of BigUInts.
#include <utility>

#include "integer/biguint.h"
#include "integer/biguint_internal.h"

namespace bl = binary_limbs;
using biguint_detail::current_limbs;
using biguint_detail::Len;
using biguint_detail::Limb;
using biguint_detail::scratch_limbs;

void biguint_divmod(BigUInt* q, BigUInt* r, const BigUInt* a, const BigUInt* b) {
  const Len n = current_limbs();
  if (n == 0) return;
  const Len la = bl::significant(a, n), lb = bl::significant(b, n);
  if (lb == 0) {
    if (q) bl::zero(q, n);
    if (r) bl::zero(r, n);
    set_status(MathStatus::DivisionByZero);
    return;
  }
  if (bl::compare(a, la, b, lb) < 0) {
    if (r) bl::copy(r, a, n);  // before q is cleared, q may be a
    if (q && q != r) bl::zero(q, n);
    return;
  }
  if (lb == 1) {
    const Limb d = b[0];
    const bl::Divisor1 div =
        bl::prepare_divisor(d, d < kReciprocalTableSize ? ReciprocalTable[d] : 0);
    const Limb rem = bl::divrem_1(q, a, la, div);
    if (q) bl::zero(q + la, n - la);
    if (r) {
      bl::zero(r, n);
      r[0] = rem;
    }
    return;
  }
  // divrem works on copies of a and b, so q and r may be either of them.
  bl::divrem(q, r, a, la, b, lb);
  if (q) bl::zero(q + (la - lb + 1), n - (la - lb + 1));
  if (r) bl::zero(r + lb, n - lb);
}

void biguint_divmod_u64(BigUInt* q, std::uint64_t* rem, const BigUInt* a, std::uint64_t d,
                        std::uint64_t recip) {
  const Len n = current_limbs();
  if (n == 0) return;
  if (d == 0) {
    if (q) bl::zero(q, n);
    if (rem) *rem = 0;
    set_status(MathStatus::DivisionByZero);
    return;
  }
  if (recip == 0 && d < kReciprocalTableSize) recip = ReciprocalTable[d];
  const bl::Divisor1 div = bl::prepare_divisor(d, recip);
  const Len la = bl::significant(a, n);
  const Limb r = bl::divrem_1(q, a, la, div);
  if (q) bl::zero(q + la, n - la);
  if (rem) *rem = r;
}

bool biguint_div_exact(BigUInt* q, const BigUInt* a, const BigUInt* b) {
  const Len n = current_limbs();
  if (n == 0) return false;
  if (bl::significant(b, n) == 0) {
    biguint_divmod(q, nullptr, a, b);
    return false;
  }
  ScratchScope scope;
  Limb* r = scratch_limbs(n);
  biguint_divmod(q, r, a, b);
  return bl::significant(r, n) == 0;
}

// --- greatest common divisor --------------------------------------------------------------------

namespace {

Limb gcd_word(Limb a, Limb b) {
  if (a == 0) return b;
  if (b == 0) return a;
  const int shift = std::countr_zero(a | b);
  a >>= std::countr_zero(a);
  do {
    b >>= std::countr_zero(b);
    if (a > b) std::swap(a, b);
    b -= a;
  } while (b != 0);
  return a << shift;
}

// 61 bits of x starting at bit `shift`; x has room for limb shift / 64 + 1.
std::int64_t bits_at(const Limb* x, std::int64_t shift) {
  const Len q = shift / 64;
  const unsigned b = static_cast<unsigned>(shift % 64);
  Limb v = x[q] >> b;
  if (b != 0) v |= x[q + 1] << (64 - b);
  return static_cast<std::int64_t>(v & ((Limb{1} << 61) - 1));
}

// out (n limbs) = cx * x + cy * y for cofactors of any signs whose combination is known to be
// non-negative and below 2^(64n).
void combine(Limb* out, const Limb* x, std::int64_t cx, const Limb* y, std::int64_t cy, Len n) {
  if (cx >= 0 && cy >= 0) {
    bl::mul_1(out, x, n, static_cast<Limb>(cx));
    bl::addmul_1(out, y, n, static_cast<Limb>(cy));
  } else if (cx >= 0) {
    bl::mul_1(out, x, n, static_cast<Limb>(cx));
    bl::submul_1(out, y, n, static_cast<Limb>(-cy));
  } else {
    bl::mul_1(out, y, n, static_cast<Limb>(cy));
    bl::submul_1(out, x, n, static_cast<Limb>(-cx));
  }
}

}  // namespace

namespace biguint_detail {

// Lehmer's gcd: runs of Euclid steps are simulated on the leading 61 bits with single-word
// cofactors and then applied to the full numbers at once; a full division step is taken when the
// leading bits cannot decide a quotient. Returns the significant length of g (room for na limbs).
Len gcd_limbs(Limb* g, const Limb* a, Len na, const Limb* b, Len nb) {
  ScratchScope scope;
  const Len room = (na > nb ? na : nb) + 1;
  Limb* u = scratch_limbs(room);
  Limb* v = scratch_limbs(room);
  Limb* t = scratch_limbs(room);
  Limb* w = scratch_limbs(room);
  bl::zero(u, room);
  bl::zero(v, room);
  bl::zero(t, room);
  bl::zero(w, room);
  bl::copy(u, a, na);
  bl::copy(v, b, nb);
  Len nu = na, nv = nb;
  if (bl::compare(u, nu, v, nv) < 0) {
    std::swap(u, v);
    std::swap(nu, nv);
  }
  while (nv > 1) {
    const std::int64_t shift = bl::bit_length(u, nu) - 61;
    std::int64_t uh = bits_at(u, shift), vh = bits_at(v, shift);
    std::int64_t A = 1, B = 0, C = 0, D = 1;
    while (vh + C > 0 && vh + D > 0) {
      const std::int64_t q = (uh + A) / (vh + C);
      if (q != (uh + B) / (vh + D)) break;
      std::int64_t s = A - q * C;
      A = C;
      C = s;
      s = B - q * D;
      B = D;
      D = s;
      s = uh - q * vh;
      uh = vh;
      vh = s;
    }
    if (B == 0) {
      // u, v = v, u mod v
      bl::zero(w, room);
      bl::divrem(nullptr, w, u, nu, v, nv);
      std::swap(u, v);
      std::swap(v, w);
      nu = nv;
    } else {
      // u, v = A u + B v, C u + D v
      combine(t, u, A, v, B, nu);
      combine(w, u, C, v, D, nu);
      std::swap(u, t);
      std::swap(v, w);
      nu = bl::significant(u, nu);
    }
    bl::zero(t, room);
    bl::zero(w, room);
    nv = bl::significant(v, room);
  }
  if (nv == 0) {
    bl::copy(g, u, nu);
    return nu;
  }
  const Limb rem = bl::divrem_1(nullptr, u, nu, bl::prepare_divisor(v[0], 0));
  g[0] = gcd_word(v[0], rem);
  return 1;
}

}  // namespace biguint_detail

void biguint_gcd(BigUInt* r, const BigUInt* a, const BigUInt* b) {
  const Len n = current_limbs();
  if (n == 0) return;
  const Len la = bl::significant(a, n), lb = bl::significant(b, n);
  if (la == 0 || lb == 0) {
    bl::zero(r, n);
    set_status(MathStatus::Undefined);
    return;
  }
  ScratchScope scope;
  Limb* g = scratch_limbs(n);
  const Len lg = biguint_detail::gcd_limbs(g, a, la, b, lb);
  bl::copy(r, g, lg);
  bl::zero(r + lg, n - lg);
}

void biguint_lcm(BigUInt* r, const BigUInt* a, const BigUInt* b) {
  const Len n = current_limbs();
  if (n == 0) return;
  const Len la = bl::significant(a, n), lb = bl::significant(b, n);
  if (la == 0 || lb == 0) {
    bl::zero(r, n);
    set_status(MathStatus::Undefined);
    return;
  }
  ScratchScope scope;
  Limb* g = scratch_limbs(n);
  Limb* q = scratch_limbs(n);
  bl::zero(q, n);
  const Len lg = biguint_detail::gcd_limbs(g, a, la, b, lb);
  if (lg == 1) {
    bl::divrem_1(q, a, la, bl::prepare_divisor(g[0], 0));
  } else {
    bl::divrem(q, nullptr, a, la, g, lg);
  }
  biguint_mul(r, q, b);  // overflow: r = 0, status 200
}
