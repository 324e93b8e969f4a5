// Self-initialising quadratic sieve for odd composites of 13 to 39 digits that are no perfect
// powers. With a = q_1...q_s (factor base primes) and b^2 = kn mod a, the values
// Q(x) = ((ax + b)^2 - kn) / a = a x^2 + 2 b x + c are sieved over [-M, M) by the factor base;
// each a serves 2^(s-1) choices of b, whose sieve roots follow from the previous ones by one
// addition per prime. A smooth Q(x) gives (ax + b)^2 = a Q(x) mod n; values with one prime
// above the factor base are kept until a second one with the same prime turns up. Elimination
// over GF(2) then finds products that are squares on both sides.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <unordered_map>
#include <vector>

#include "primes/factor_engine.h"

namespace {

using u32 = std::uint32_t;
using u64 = std::uint64_t;
using i64 = std::int64_t;
using i128 = __int128;

struct SizeParams {
  int bits;
  u32 fb_size;     // factor base entries, the sign included
  u32 half_width;  // M
  u32 lp_factor;   // large primes up to this times the largest factor base prime
};
constexpr SizeParams kSizes[] = {
    {40, 40, 4096, 10},    {60, 60, 8192, 20},    {70, 90, 8192, 25},    {80, 130, 16384, 30},
    {90, 190, 16384, 40},  {100, 280, 16384, 50}, {110, 420, 32768, 60}, {120, 620, 32768, 70},
    {130, 900, 32768, 80}, {140, 1200, 32768, 90}};

SizeParams params_for(int bits) {
  if (bits <= kSizes[0].bits) return kSizes[0];
  for (std::size_t i = 1; i < std::size(kSizes); ++i) {
    if (bits <= kSizes[i].bits) {
      const SizeParams& lo = kSizes[i - 1];
      const SizeParams& hi = kSizes[i];
      const double t = static_cast<double>(bits - lo.bits) / (hi.bits - lo.bits);
      auto mix = [t](u32 a, u32 b) {
        return static_cast<u32>(a + t * (static_cast<double>(b) - a));
      };
      return {bits, mix(lo.fb_size, hi.fb_size), hi.half_width, mix(lo.lp_factor, hi.lp_factor)};
    }
  }
  return kSizes[std::size(kSizes) - 1];
}

const std::vector<u32>& small_primes_list() {
  static const std::vector<u32> primes = [] {
    constexpr u32 kLimit = 1 << 20;
    std::vector<bool> composite(kLimit);
    std::vector<u32> out;
    for (u32 i = 2; i < kLimit; ++i) {
      if (composite[i]) continue;
      out.push_back(i);
      for (u64 j = static_cast<u64>(i) * i; j < kLimit; j += i) composite[j] = true;
    }
    return out;
  }();
  return primes;
}

u64 pow_mod(u64 b, u64 e, u64 p) {  // p < 2^32
  u64 r = 1;
  b %= p;
  while (e != 0) {
    if (e & 1) r = r * b % p;
    b = b * b % p;
    e >>= 1;
  }
  return r;
}

u32 inverse_mod(u64 a, u32 p) {
  i64 r0 = static_cast<i64>(p), r1 = static_cast<i64>(a % p), t0 = 0, t1 = 1;
  while (r1 != 0) {
    const i64 q = r0 / r1;
    std::swap(r0, r1);
    r1 -= q * r0;
    std::swap(t0, t1);
    t1 -= q * t0;
  }
  return static_cast<u32>(t0 < 0 ? t0 + p : t0);
}

// A square root of the quadratic residue a modulo the odd prime p (Tonelli-Shanks).
u32 sqrt_mod(u64 a, u32 p) {
  a %= p;
  if (a == 0) return 0;
  if (p % 4 == 3) return static_cast<u32>(pow_mod(a, (p + 1) / 4, p));
  u64 q = p - 1;
  int s = 0;
  while ((q & 1) == 0) {
    q >>= 1;
    ++s;
  }
  u64 z = 2;
  while (pow_mod(z, (p - 1) / 2, p) != p - 1) ++z;
  u64 c = pow_mod(z, q, p), t = pow_mod(a, q, p), r = pow_mod(a, (q + 1) / 2, p);
  int m = s;
  while (t != 1) {
    int i = 0;
    for (u64 tt = t; tt != 1; tt = tt * tt % p) ++i;
    u64 b = c;
    for (int j = 0; j < m - i - 1; ++j) b = b * b % p;
    m = i;
    c = b * b % p;
    t = t * c % p;
    r = r * b % p;
  }
  return static_cast<u32>(r);
}

// Knuth-Schroeppel: the multiplier k that makes kn rich in small quadratic residues, among
// those with kn below 2^128.
u32 choose_multiplier(u128 n) {
  static constexpr u32 kCandidates[] = {1,  3,  5,  7,  11, 13, 15, 17, 19, 21, 23, 29, 31, 33, 35,
                                        37, 39, 41, 43, 47, 51, 53, 55, 57, 59, 61, 67, 69, 71, 73};
  const std::vector<u32>& primes = small_primes_list();
  u32 best = 1;
  double best_score = -1e9;
  for (u32 k : kCandidates) {
    if (n > ~static_cast<u128>(0) / k) break;
    const u128 kn = n * k;
    double score = -0.5 * std::log(static_cast<double>(k));
    const unsigned mod8 = static_cast<unsigned>(kn & 7);
    score += std::log(2.0) * (mod8 == 1 ? 2.0 : mod8 == 5 ? 1.0 : 0.5);
    for (std::size_t i = 1; i < primes.size() && primes[i] < 1000; ++i) {
      const u32 p = primes[i];
      const u64 r = static_cast<u64>(kn % p);
      if (r == 0) {
        score += std::log(static_cast<double>(p)) / p;
      } else if (pow_mod(r, (p - 1) / 2, p) == 1) {
        score += 2 * std::log(static_cast<double>(p)) / (p - 1);
      }
    }
    if (score > best_score) {
      best_score = score;
      best = k;
    }
  }
  return best;
}

struct FactorBase {
  std::vector<u32> prime;  // entry 0 stands for -1, entry 1 is 2
  std::vector<u32> root;   // sqrt(kn) mod p; 0 where p divides k
  std::vector<std::uint8_t> logp;
};

struct Relation {
  u128 y;                    // product of |ax + b| mod n
  std::vector<u32> factors;  // factor base entries of the other side, with repetition
  u128 root_part;            // product of the paired large primes mod n (they enter squared)
};

// Primes below this are not sieved (their many hits cost more than their logarithms add).
constexpr u32 kSieveFrom = 30;

bool stopped(PrimeClock::time_point deadline) {
  return PrimeClock::now() > deadline || prime_stop_requested();
}

// A factor from a square congruence X^2 = Y^2 mod n: tries the dependencies among the
// relations until one gives gcd(X - Y, n) strictly between 1 and n; 0 when none does.
u128 solve_relations(const std::vector<Relation>& rels, const FactorBase& fb, u128 n,
                     PrimeClock::time_point deadline) {
  const std::size_t rows = rels.size(), cols = fb.prime.size();
  const std::size_t w1 = (cols + 63) / 64, w2 = (rows + 63) / 64, stride = w1 + w2;
  std::vector<u64> bits(rows * stride, 0);
  for (std::size_t r = 0; r < rows; ++r) {
    u64* row = &bits[r * stride];
    for (u32 f : rels[r].factors) row[f / 64] ^= static_cast<u64>(1) << (f % 64);
    row[w1 + r / 64] |= static_cast<u64>(1) << (r % 64);
  }
  std::size_t rank = 0;
  for (std::size_t col = 0; col < cols && rank < rows; ++col) {
    if ((col & 63) == 0 && stopped(deadline)) return 0;
    const std::size_t word = col / 64;
    const u64 mask = static_cast<u64>(1) << (col % 64);
    std::size_t pivot = rank;
    while (pivot < rows && (bits[pivot * stride + word] & mask) == 0) ++pivot;
    if (pivot == rows) continue;
    if (pivot != rank) {
      std::swap_ranges(bits.begin() + static_cast<std::ptrdiff_t>(pivot * stride),
                       bits.begin() + static_cast<std::ptrdiff_t>((pivot + 1) * stride),
                       bits.begin() + static_cast<std::ptrdiff_t>(rank * stride));
    }
    const u64* prow = &bits[rank * stride];
    for (std::size_t r = rank + 1; r < rows; ++r) {
      u64* row = &bits[r * stride];
      if ((row[word] & mask) == 0) continue;
      for (std::size_t w = word; w < stride; ++w) row[w] ^= prow[w];
    }
    ++rank;
  }
  const Montgomery m(n);
  std::vector<u32> count(cols);
  for (std::size_t r = rank; r < rows; ++r) {
    const u64* row = &bits[r * stride];
    std::fill(count.begin(), count.end(), 0);
    u128 x = m.one(), y = m.one();
    for (std::size_t j = 0; j < rows; ++j) {
      if (((row[w1 + j / 64] >> (j % 64)) & 1) == 0) continue;
      x = m.mul(x, m.to(rels[j].y));
      y = m.mul(y, m.to(rels[j].root_part));
      for (u32 f : rels[j].factors) ++count[f];
    }
    bool even = true;
    for (std::size_t i = 1; i < cols && even; ++i) {
      if (count[i] & 1) even = false;
      if (count[i] != 0) y = m.mul(y, m.pow(m.to(fb.prime[i]), count[i] / 2));
    }
    if (!even || (count[0] & 1)) continue;
    const u128 xs = m.from(x), ys = m.from(y);
    const u128 g = gcd_u128(xs >= ys ? xs - ys : ys - xs, n);
    if (g != 1 && g != n) return g;
  }
  return 0;
}

// One run of the sieve: the factor base, the current polynomial and its roots.
struct Siqs {
  u128 n = 0;
  u128 kn = 0;
  FactorBase fb;
  i64 half_width = 0;  // M
  std::size_t width = 0;
  u64 lp_bound = 0;
  std::uint8_t init = 0;  // sieve start value: a byte reaching 128 marks a candidate
  // The choice of a.
  double log_target = 0;
  int s = 0;
  std::size_t first_q = 0, q_lo = 0, q_hi = 0;
  std::vector<u64> used_a;
  std::mt19937_64 rng;
  // The polynomial a x^2 + 2 b x + c and the sieve roots of every factor base prime.
  u64 a = 0;
  i64 b = 0;
  i128 c = 0;
  std::vector<u32> q_index;  // factor base entries of a's primes
  std::vector<u64> big_b;    // b = sum of +-B_j
  std::vector<u32> soln1, soln2;
  std::vector<std::uint8_t> special;      // found by division, not sieved
  std::vector<std::vector<u32>> b_ainv2;  // 2 B_j / a mod p: the root steps
  std::vector<std::uint8_t> sieve;
};

// The factor base, the sizes and the threshold; a factor when a factor base prime divides n.
u128 set_up(Siqs& q, u128 n) {
  int bits = 0;
  for (u128 t = n; t != 0; t >>= 1) ++bits;
  const SizeParams par = params_for(bits);
  q.n = n;
  q.kn = n * choose_multiplier(n);
  const std::vector<u32>& primes = small_primes_list();
  FactorBase& fb = q.fb;
  fb.prime = {1, 2};
  fb.root = {0, 0};
  fb.logp = {0, 1};
  for (std::size_t i = 1; i < primes.size() && fb.prime.size() < par.fb_size; ++i) {
    const u32 p = primes[i];
    if (n % p == 0) return n == p ? 0 : p;
    const u64 r = static_cast<u64>(q.kn % p);
    if (r != 0 && pow_mod(r, (p - 1) / 2, p) != 1) continue;
    fb.prime.push_back(p);
    fb.root.push_back(sqrt_mod(r, p));
    fb.logp.push_back(static_cast<std::uint8_t>(std::lround(std::log2(static_cast<double>(p)))));
  }
  const std::size_t fb_size = fb.prime.size();
  const u32 pmax = fb.prime.back();
  q.lp_bound = std::min<u64>(static_cast<u64>(pmax) * par.lp_factor, static_cast<u64>(pmax) * pmax);
  q.half_width = par.half_width;
  q.width = 2 * static_cast<std::size_t>(q.half_width);
  // |Q(x)| reaches M sqrt(kn / 2); a candidate may keep one large prime, and the primes below
  // kSieveFrom are not sieved.
  const double kn_d = static_cast<double>(q.kn);
  const double log2_max =
      std::log2(static_cast<double>(q.half_width)) + 0.5 * std::log2(kn_d) - 0.5;
  const double threshold = log2_max - std::log2(static_cast<double>(q.lp_bound)) - 3.0;
  q.init = static_cast<std::uint8_t>(128 - std::clamp(static_cast<int>(threshold), 8, 120));

  // a near sqrt(2 kn) / M, from s primes around the s-th root of that target.
  q.log_target = std::log(std::sqrt(2 * kn_d) / static_cast<double>(q.half_width));
  q.first_q = 2;
  while (q.first_q < fb_size && fb.prime[q.first_q] < 11) ++q.first_q;
  q.s = std::max(2, static_cast<int>(std::lround(q.log_target / std::log(2000.0))));
  double q_size = std::exp(q.log_target / q.s);
  while (q_size > 0.7 * pmax) q_size = std::exp(q.log_target / ++q.s);
  while (q.s > 2 && q_size < 2.0 * fb.prime[q.first_q + static_cast<std::size_t>(q.s) + 4]) {
    q_size = std::exp(q.log_target / --q.s);
  }
  const std::size_t centre = static_cast<std::size_t>(
      std::lower_bound(fb.prime.begin(), fb.prime.end(), static_cast<u32>(q_size)) -
      fb.prime.begin());
  const std::size_t span = std::max<std::size_t>(static_cast<std::size_t>(q.s) + 4, fb_size / 10);
  q.q_lo = std::max(q.first_q, centre > span ? centre - span : 0);
  q.q_hi = std::min(fb_size - 1, centre + span);

  q.rng.seed(static_cast<u64>(n) ^ static_cast<u64>(n >> 64));
  q.sieve.assign(q.width, 0);
  q.soln1.assign(fb_size, 0);
  q.soln2.assign(fb_size, 0);
  q.special.assign(fb_size, 0);
  q.b_ainv2.assign(static_cast<std::size_t>(q.s), std::vector<u32>(fb_size));
  return 0;
}

// A new a: s - 1 random primes near the centre and the one that brings a nearest the target.
// A repeated a would repeat its relations, which give only trivial squares, so a never
// repeats; where the primes near the centre run out (small n), the range widens and the
// target loosens. False when no new a is left.
bool choose_a(Siqs& q) {
  const FactorBase& fb = q.fb;
  const std::size_t fb_size = fb.prime.size();
  auto usable = [&](std::size_t i) {
    return fb.root[i] != 0 && std::find(q.q_index.begin(), q.q_index.end(), i) == q.q_index.end();
  };
  for (int attempt = 0; attempt < 20000; ++attempt) {
    if (attempt == 200) {
      q.q_lo = q.first_q;
      q.q_hi = fb_size - 1;
    }
    q.q_index.clear();
    double log_a = 0;
    for (int tries = 0; q.q_index.size() + 1 < static_cast<std::size_t>(q.s) && tries < 1000;
         ++tries) {
      const std::size_t i = q.q_lo + q.rng() % (q.q_hi - q.q_lo + 1);
      if (!usable(i)) continue;
      q.q_index.push_back(static_cast<u32>(i));
      log_a += std::log(static_cast<double>(fb.prime[i]));
    }
    if (q.q_index.size() + 1 < static_cast<std::size_t>(q.s)) continue;
    const double want = std::exp(q.log_target - log_a);
    std::size_t at = static_cast<std::size_t>(
        std::lower_bound(fb.prime.begin(), fb.prime.end(), static_cast<u32>(std::min(want, 4e9))) -
        fb.prime.begin());
    at = std::clamp(at, q.first_q, fb_size - 1);
    std::size_t lo = at, hi = at;
    while (lo > q.first_q && !usable(lo)) --lo;
    while (hi + 1 < fb_size && !usable(hi)) ++hi;
    std::size_t pick = usable(hi) ? hi : lo;
    if (usable(lo) && usable(hi) &&
        std::abs(std::log(fb.prime[lo] / want)) < std::abs(std::log(fb.prime[hi] / want))) {
      pick = lo;
    }
    // Near the target pick the last prime at random between its neighbours, for variety.
    if (attempt >= 100 && (q.rng() & 1) && pick > q.first_q && usable(pick - 1)) --pick;
    if (!usable(pick)) continue;
    q.q_index.push_back(static_cast<u32>(pick));
    u64 a = 1;
    for (u32 i : q.q_index) a *= fb.prime[i];
    const double off = std::log(static_cast<double>(a)) - q.log_target;
    if (std::abs(off) > 0.7 + attempt / 100.0 ||
        std::find(q.used_a.begin(), q.used_a.end(), a) != q.used_a.end()) {
      continue;
    }
    q.used_a.push_back(a);
    q.a = a;
    std::sort(q.q_index.begin(), q.q_index.end());
    return true;
  }
  return false;
}

// The first b for a (all B_j added) and the roots of every prime, and the steps between b's.
void first_polynomial(Siqs& q) {
  const FactorBase& fb = q.fb;
  const std::size_t fb_size = fb.prime.size();
  const auto s = static_cast<std::size_t>(q.s);
  q.big_b.assign(s, 0);
  q.b = 0;
  for (std::size_t j = 0; j < s; ++j) {
    const u32 p = fb.prime[q.q_index[j]];
    const u64 a_p = q.a / p;
    u64 gamma = static_cast<u64>(fb.root[q.q_index[j]]) * inverse_mod(a_p % p, p) % p;
    if (gamma > p / 2) gamma = p - gamma;
    q.big_b[j] = a_p * gamma;  // B_j^2 = kn mod p, B_j = 0 mod the other primes of a
    q.b += static_cast<i64>(q.big_b[j]);
  }
  std::fill(q.special.begin(), q.special.end(), 0);
  q.special[0] = q.special[1] = 1;
  for (std::size_t i = 2; i < fb_size; ++i) {
    if (fb.root[i] == 0) q.special[i] = 1;
  }
  for (u32 i : q.q_index) q.special[i] = 1;
  const u64 shift = static_cast<u64>(q.half_width);
  for (std::size_t i = 2; i < fb_size; ++i) {
    if (q.special[i]) continue;
    const u32 p = fb.prime[i];
    const u64 inv = inverse_mod(q.a % p, p);
    const u64 bm = static_cast<u64>(q.b) % p, t = fb.root[i];
    // a x + b = +-t mod p; the sieve index of x is x + M.
    q.soln1[i] = static_cast<u32>((inv * ((t + p - bm) % p) + shift) % p);
    q.soln2[i] = static_cast<u32>((inv * ((2 * p - t - bm) % p) + shift) % p);
    for (std::size_t j = 0; j < s; ++j) {
      q.b_ainv2[j][i] = static_cast<u32>(2 * (q.big_b[j] % p) * inv % p);
    }
  }
}

// Polynomial number `index` (>= 1) of the current a in Gray code order: one B_j changes sign,
// so every root moves by one stored step.
void next_polynomial(Siqs& q, u32 index) {
  const int v = __builtin_ctz(index);
  const bool minus = ((index ^ (index >> 1)) >> v) & 1;
  const std::size_t j = static_cast<std::size_t>(v) + 1;
  const std::vector<u32>& step = q.b_ainv2[j];
  const i64 bj = static_cast<i64>(q.big_b[j]);
  q.b += minus ? -2 * bj : 2 * bj;
  for (std::size_t i = 2; i < q.fb.prime.size(); ++i) {
    if (q.special[i]) continue;
    const u32 p = q.fb.prime[i], d = step[i];
    if (minus) {  // b fell: the roots rise
      q.soln1[i] = q.soln1[i] + d >= p ? q.soln1[i] + d - p : q.soln1[i] + d;
      q.soln2[i] = q.soln2[i] + d >= p ? q.soln2[i] + d - p : q.soln2[i] + d;
    } else {
      q.soln1[i] = q.soln1[i] >= d ? q.soln1[i] - d : q.soln1[i] + p - d;
      q.soln2[i] = q.soln2[i] >= d ? q.soln2[i] - d : q.soln2[i] + p - d;
    }
  }
}

void sieve_polynomial(Siqs& q) {
  const u128 b_abs = static_cast<u128>(q.b < 0 ? -q.b : q.b);
  q.c = -static_cast<i128>((q.kn - b_abs * b_abs) / q.a);
  std::memset(q.sieve.data(), q.init, q.width);
  std::uint8_t* sv = q.sieve.data();
  for (std::size_t i = 2; i < q.fb.prime.size(); ++i) {
    const u32 p = q.fb.prime[i];
    if (q.special[i] || p < kSieveFrom) continue;
    const std::uint8_t lg = q.fb.logp[i];
    for (std::size_t j = q.soln1[i]; j < q.width; j += p) sv[j] += lg;
    for (std::size_t j = q.soln2[i]; j < q.width; j += p) sv[j] += lg;
  }
}

// Trial division of the candidates of the sieve: full relations go to `rels`, those with one
// large prime wait in `partials` for a partner.
void collect_relations(const Siqs& q, const Montgomery& mont, std::vector<Relation>& rels,
                       std::unordered_map<u64, Relation>& partials) {
  const FactorBase& fb = q.fb;
  std::vector<u32> factors;
  for (std::size_t w = 0; w < q.width; w += 8) {
    u64 word;
    std::memcpy(&word, q.sieve.data() + w, 8);
    if ((word & 0x8080808080808080ULL) == 0) continue;
    for (std::size_t idx = w; idx < w + 8; ++idx) {
      if ((q.sieve[idx] & 0x80) == 0) continue;
      const i64 x = static_cast<i64>(idx) - q.half_width;
      const i128 value = static_cast<i128>(q.a) * x * x + 2 * static_cast<i128>(q.b) * x + q.c;
      if (value == 0) continue;
      factors.clear();
      if (value < 0) factors.push_back(0);
      u128 v = static_cast<u128>(value < 0 ? -value : value);
      while ((v & 1) == 0) {
        v >>= 1;
        factors.push_back(1);
      }
      const u32 id = static_cast<u32>(idx);
      for (std::size_t i = 2; i < fb.prime.size(); ++i) {
        const u32 p = fb.prime[i];
        if (q.special[i]) {
          if (v % p != 0) continue;
        } else {
          const u32 off = id % p;
          if (off != q.soln1[i] && off != q.soln2[i]) continue;
        }
        do {
          v /= p;
          factors.push_back(static_cast<u32>(i));
        } while (v % p == 0);
      }
      if (v != 1 && v >= q.lp_bound) continue;
      for (u32 i : q.q_index) factors.push_back(i);  // the a of a Q(x)
      const i128 root = static_cast<i128>(q.a) * x + q.b;
      Relation rel{static_cast<u128>(root < 0 ? -root : root) % q.n, factors, 1};
      if (v == 1) {
        rels.push_back(std::move(rel));
        continue;
      }
      const u64 large = static_cast<u64>(v);  // prime: below the square of the largest prime
      const auto it = partials.find(large);
      if (it == partials.end()) {
        partials.emplace(large, std::move(rel));
        continue;
      }
      const Relation& other = it->second;
      if (other.y == rel.y) continue;
      Relation both{mont.from(mont.mul(mont.to(other.y), mont.to(rel.y))), other.factors,
                    large % q.n};
      both.factors.insert(both.factors.end(), rel.factors.begin(), rel.factors.end());
      rels.push_back(std::move(both));
    }
  }
}

}  // namespace

u128 siqs_factor(u128 n, PrimeClock::time_point deadline) {
  Siqs q;
  const u128 small = set_up(q, n);
  if (small != 0) return small;
  const Montgomery mont(n);
  std::vector<Relation> rels;
  std::unordered_map<u64, Relation> partials;
  std::size_t wanted = q.fb.prime.size() + 48;
  for (;;) {
    if (stopped(deadline)) return 0;
    if (!choose_a(q)) return 0;
    first_polynomial(q);
    const u32 count = 1u << (q.s - 1);
    for (u32 index = 0; index < count; ++index) {
      if (index != 0) next_polynomial(q, index);
      if (stopped(deadline)) return 0;
      sieve_polynomial(q);
      collect_relations(q, mont, rels, partials);
      if (rels.size() >= wanted) {
        const u128 g = solve_relations(rels, q.fb, n, deadline);
        if (g != 0 || stopped(deadline)) return g;
        wanted = rels.size() + 32;
      }
    }
  }
}
