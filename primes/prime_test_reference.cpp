// Trial division over the wheel, the Jacobi symbol and the Euler tests.
#include <array>

#include "app/app_error.h"
#include "primes/prime_tables.h"
#include "primes/prime_test.h"

namespace {

using Limbs = std::array<Word, 2 * kMaxPrimeLimbs + 2>;

bool is_small_value(const BigUInt* x, std::uint64_t& v) {
  if (biguint_significant_limbs(x) > 1) return false;
  v = x[0];
  return true;
}

// Euler criterion b^((x-1)/2) = j (mod x), j = +-1.
bool euler_criterion(const BigUInt* x, std::uint64_t base, int j) {
  Limbs e{}, b{}, r{}, xm1{};
  biguint_decrement(xm1.data(), x);
  biguint_shr_small(e.data(), nullptr, xm1.data(), 1);
  biguint_set_u64(b.data(), base);
  biguint_powmod(r.data(), b.data(), e.data(), x);
  Limbs one{};
  biguint_set_u64(one.data(), 1);
  return biguint_compare(r.data(), j > 0 ? one.data() : xm1.data()) == 0;
}

}  // namespace

bool prime_stop_requested() {
  return app_error_code() != 0 || cancel_requested();
}

PrimeVerdict prime_test_trial_division(const BigUInt* x) {
  std::uint64_t small = 0;
  if (is_small_value(x, small) && small < 2) return PrimeVerdict::Composite;
  Limbs s{};
  biguint_isqrt(s.data(), x);
  if (biguint_significant_limbs(s.data()) > 1) {
    set_status(MathStatus::Undefined);
    return PrimeVerdict::Unknown;
  }
  const std::uint64_t bound = s[0];
  WheelWalk walk;
  for (std::uint64_t n = 0;; ++n) {
    const std::uint64_t d = walk.next();
    if (d > bound || walk.wrapped()) return PrimeVerdict::Prime;
    if ((n & 1023) == 0 && prime_stop_requested()) return PrimeVerdict::Unknown;
    std::uint64_t rem = 1;
    biguint_divmod_u64(nullptr, &rem, x, d, 0);
    if (rem == 0) return small == d ? PrimeVerdict::Prime : PrimeVerdict::Composite;
  }
}

int jacobi_symbol(const BigUInt* a_in, const BigUInt* n_in) {
  Limbs a{}, n{}, t{};
  biguint_copy(a.data(), a_in);
  biguint_copy(n.data(), n_in);
  biguint_divmod(nullptr, a.data(), a.data(), n.data());
  int result = 1;
  for (;;) {
    std::uint64_t av = 0;
    if (is_small_value(a.data(), av) && av < 2) return av == 1 ? result : 0;
    if (a[0] & 1) {
      // Reciprocity: the sign flips when both are 3 mod 4.
      if ((a[0] & 3) == 3 && (n[0] & 3) == 3) result = -result;
      biguint_divmod(nullptr, t.data(), n.data(), a.data());
      biguint_copy(n.data(), a.data());
      biguint_copy(a.data(), t.data());
    } else {
      // (2/n) = -1 exactly for n = 3 or 5 mod 8.
      if ((n[0] & 7) == 3 || (n[0] & 7) == 5) result = -result;
      biguint_shr_small(a.data(), nullptr, a.data(), 1);
    }
  }
}

bool euler_test_base2(const BigUInt* x) {
  const int j = ((x[0] & 7) == 1 || (x[0] & 7) == 7) ? 1 : -1;
  return euler_criterion(x, 2, j);
}

bool euler_test_base3(const BigUInt* x) {
  Limbs three{};
  biguint_set_u64(three.data(), 3);
  const int j = jacobi_symbol(three.data(), x);
  if (j == 0) return false;
  return euler_criterion(x, 3, j);
}

int prime_test_euler(const BigUInt* x) {
  std::uint64_t small = 0;
  if (is_small_value(x, small) && small < 1009) {
    for (std::uint16_t p : SmallPrimes) {
      if (p == small) return 0;
    }
    return 1;
  }
  if ((x[0] & 1) == 0) return 1;
  for (int i = 1; i < kSmallPrimeCount; ++i) {
    std::uint64_t rem = 1;
    biguint_divmod_u64(nullptr, &rem, x, SmallPrimes[static_cast<std::size_t>(i)], 0);
    if (rem == 0) return 1;
  }
  if (!euler_test_base2(x)) return 1;
  if (!euler_test_base3(x)) return 1;
  return 0;
}
