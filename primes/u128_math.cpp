#include "primes/u128_math.h"

u128 isqrt_u128(u128 a) {
  if (a < 2) return a;
  // Newton from above: start at a power of two not below the root.
  int bits = 0;
  for (u128 t = a; t != 0; t >>= 1) ++bits;
  u128 x = static_cast<u128>(1) << ((bits + 1) / 2);
  for (;;) {
    const u128 y = (x + a / x) >> 1;
    if (y >= x) return x;
    x = y;
  }
}

u128 gcd_u128(u128 a, u128 b) {
  while (b != 0) {
    const u128 t = a % b;
    a = b;
    b = t;
  }
  return a;
}

Montgomery::Montgomery(u128 n) : n_(n) {
  u128 x = n;  // correct to 3 bits for odd n; each step doubles them
  for (int i = 0; i < 7; ++i) x *= 2 - n * x;
  ninv_ = 0 - x;
  one_ = (0 - n) % n;
  u128 r2 = one_;
  for (int i = 0; i < 128; ++i) r2 = add(r2, r2);
  r2_ = r2;
}

u128 Montgomery::pow(u128 base_m, u128 e) const {
  u128 result = one_;
  while (e != 0) {
    if (e & 1) result = mul(result, base_m);
    base_m = mul(base_m, base_m);
    e >>= 1;
  }
  return result;
}
