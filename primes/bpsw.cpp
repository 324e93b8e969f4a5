// Baillie-PSW on BigUInt: a strong probable-prime test to base 2 and a strong Lucas test. No
// composite is known to pass both. Products are reduced by a division at twice the size.
#include <array>

#include "primes/prime_tables.h"
#include "primes/prime_test.h"

namespace {

using Limbs = std::array<Word, 2 * kMaxPrimeLimbs + 2>;

// Residue arithmetic modulo an odd n with values below n, at the caller's N.
class ModRing {
 public:
  explicit ModRing(const BigUInt* n) : n_(n), limbs_(BigUIntLimbs) {
    biguint_resize(wide_n_.data(), 2 * limbs_, n, limbs_);
    biguint_shr_small(half_n_.data(), nullptr, n, 1);
  }
  void mul(BigUInt* r, const BigUInt* a, const BigUInt* b) const {
    Limbs t{};
    biguint_mul_wide(t.data(), a, b);
    {
      ContextScope wide(ContextScope::kSizes);
      biguint_set_limbs(2 * limbs_);
      biguint_divmod(nullptr, t.data(), t.data(), wide_n_.data());
    }
    biguint_copy(r, t.data());
  }
  // a + b without leaving N limbs: subtract n - b when that stays non-negative.
  void add(BigUInt* r, const BigUInt* a, const BigUInt* b) const {
    Limbs c{};
    biguint_sub(c.data(), n_, b);
    if (biguint_compare(a, c.data()) >= 0) {
      biguint_sub(r, a, c.data());
    } else {
      biguint_add(r, a, b);
    }
  }
  void sub(BigUInt* r, const BigUInt* a, const BigUInt* b) const {
    if (biguint_compare(a, b) >= 0) {
      biguint_sub(r, a, b);
    } else {
      Limbs c{};
      biguint_sub(c.data(), b, a);
      biguint_sub(r, n_, c.data());
    }
  }
  // (a + n) / 2 for odd a is floor(a/2) + floor(n/2) + 1, which stays below n.
  void half(BigUInt* r, const BigUInt* a) const {
    const bool odd = (a[0] & 1) != 0;
    biguint_shr_small(r, nullptr, a, 1);
    if (odd) {
      biguint_add(r, r, half_n_.data());
      biguint_add_u64(r, r, 1);
    }
  }
  // The residue of a small signed value.
  void from_i64(BigUInt* r, std::int64_t v) const {
    Limbs t{};
    biguint_set_u64(t.data(), static_cast<std::uint64_t>(v < 0 ? -v : v));
    biguint_divmod(nullptr, t.data(), t.data(), n_);
    if (v < 0 && !biguint_is_zero(t.data())) {
      biguint_sub(r, n_, t.data());
    } else {
      biguint_copy(r, t.data());
    }
  }

 private:
  const BigUInt* n_;
  std::int64_t limbs_;
  Limbs wide_n_{};
  Limbs half_n_{};
};

bool bit_set(const BigUInt* a, std::int64_t i) {
  return ((a[i / 64] >> (i % 64)) & 1) != 0;
}

bool all_ones(const BigUInt* a) {
  for (std::int64_t i = 0; i < BigUIntLimbs; ++i) {
    if (a[i] != ~Word{0}) return false;
  }
  return true;
}

}  // namespace

bool strong_probable_prime_base2(const BigUInt* x) {
  ModRing ring(x);
  Limbs xm1{}, d{}, r{}, two{}, one{};
  biguint_decrement(xm1.data(), x);
  std::int64_t s = 0;
  biguint_copy(d.data(), xm1.data());
  while ((d[0] & 1) == 0) {
    biguint_shr_small(d.data(), nullptr, d.data(), 1);
    ++s;
  }
  biguint_set_u64(two.data(), 2);
  biguint_set_u64(one.data(), 1);
  biguint_powmod(r.data(), two.data(), d.data(), x);
  if (biguint_compare(r.data(), one.data()) == 0 || biguint_compare(r.data(), xm1.data()) == 0) {
    return true;
  }
  for (std::int64_t i = 1; i < s; ++i) {
    ring.mul(r.data(), r.data(), r.data());
    if (biguint_compare(r.data(), xm1.data()) == 0) return true;
    if (biguint_compare(r.data(), one.data()) == 0) return false;
  }
  return false;
}

bool strong_lucas_probable_prime(const BigUInt* x) {
  Limbs root{};
  if (biguint_isqrt(root.data(), x)) return false;
  // 2^(64N) - 1 is a multiple of 3, and x + 1 would not fit.
  if (all_ones(x)) return false;
  ModRing ring(x);
  Limbs dm{}, d_abs{};
  std::int64_t D = 5;
  for (;;) {
    ring.from_i64(dm.data(), D);
    const int j = jacobi_symbol(dm.data(), x);
    if (j == -1) break;
    if (j == 0) {
      // A common factor: x is composite unless it is |D| itself.
      biguint_set_u64(d_abs.data(), static_cast<std::uint64_t>(D < 0 ? -D : D));
      return biguint_compare(d_abs.data(), x) == 0;
    }
    D = D > 0 ? -(D + 2) : -D + 2;
    if ((D > 0 ? D : -D) > 1000000 && prime_stop_requested()) return false;
  }
  Limbs q{};
  ring.from_i64(q.data(), (1 - D) / 4);
  // x + 1 = d * 2^s
  Limbs d{};
  biguint_add_u64(d.data(), x, 1);
  std::int64_t s = 0;
  while ((d[0] & 1) == 0) {
    biguint_shr_small(d.data(), nullptr, d.data(), 1);
    ++s;
  }
  Limbs u{}, v{}, qk{}, t{}, w{};
  biguint_set_u64(u.data(), 1);
  biguint_set_u64(v.data(), 1);  // V_1 = P = 1
  biguint_copy(qk.data(), q.data());
  for (std::int64_t i = biguint_bit_length(d.data()) - 2; i >= 0; --i) {
    // Doubling: U_2k = U_k V_k, V_2k = V_k^2 - 2 Q^k.
    ring.mul(u.data(), u.data(), v.data());
    ring.mul(v.data(), v.data(), v.data());
    ring.add(t.data(), qk.data(), qk.data());
    ring.sub(v.data(), v.data(), t.data());
    ring.mul(qk.data(), qk.data(), qk.data());
    if (bit_set(d.data(), i)) {
      // Step: U_k+1 = (P U_k + V_k) / 2, V_k+1 = (D U_k + P V_k) / 2.
      ring.add(t.data(), u.data(), v.data());
      ring.mul(w.data(), dm.data(), u.data());
      ring.add(w.data(), w.data(), v.data());
      ring.half(u.data(), t.data());
      ring.half(v.data(), w.data());
      ring.mul(qk.data(), qk.data(), q.data());
    }
    if (math_status() != MathStatus::Ok) return false;
  }
  if (biguint_is_zero(u.data()) || biguint_is_zero(v.data())) return true;
  for (std::int64_t r = 1; r < s; ++r) {
    ring.mul(v.data(), v.data(), v.data());
    ring.add(t.data(), qk.data(), qk.data());
    ring.sub(v.data(), v.data(), t.data());
    if (biguint_is_zero(v.data())) return true;
    ring.mul(qk.data(), qk.data(), qk.data());
  }
  return false;
}

int prime_test_probabilistic(const BigUInt* x) {
  if (prime_test_euler(x) != 0) return 1;
  if (biguint_significant_limbs(x) == 1 && x[0] < 1009) return 0;  // decided by the table
  if (!strong_probable_prime_base2(x)) return 1;
  if (!strong_lucas_probable_prime(x)) return 1;
  return 0;
}
