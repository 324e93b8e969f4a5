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

struct Poly {
  u64 a = 0;
  i64 b = 0;
  i128 c = 0;
  std::vector<u32> q_index;  // factor base entries of a's primes
  std::vector<u64> big_b;    // B_j: b = sum of +-B_j
};

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

}  // namespace

u128 siqs_factor(u128 n, PrimeClock::time_point deadline) {
  int bits = 0;
  for (u128 t = n; t != 0; t >>= 1) ++bits;
  const SizeParams par = params_for(bits);
  const u32 k = choose_multiplier(n);
  const u128 kn = n * k;
  const std::vector<u32>& primes = small_primes_list();

  FactorBase fb;
  fb.prime = {1, 2};
  fb.root = {0, 0};
  fb.logp = {0, 1};
  for (std::size_t i = 1; i < primes.size() && fb.prime.size() < par.fb_size; ++i) {
    const u32 p = primes[i];
    if (n % p == 0) return n == p ? 0 : p;
    const u64 r = static_cast<u64>(kn % p);
    if (r != 0 && pow_mod(r, (p - 1) / 2, p) != 1) continue;
    fb.prime.push_back(p);
    fb.root.push_back(sqrt_mod(r, p));
    fb.logp.push_back(static_cast<std::uint8_t>(std::lround(std::log2(static_cast<double>(p)))));
  }
  const std::size_t fb_size = fb.prime.size();
  const u32 pmax = fb.prime.back();
  const u64 lp_bound =
      std::min<u64>(static_cast<u64>(pmax) * par.lp_factor, static_cast<u64>(pmax) * pmax);

  const i64 M = par.half_width;
  const std::size_t width = 2 * static_cast<std::size_t>(M);
  const double kn_d = static_cast<double>(kn);
  const double log2_max = std::log2(static_cast<double>(M)) + 0.5 * std::log2(kn_d) - 0.5;
  // Primes below kSieveFrom are not sieved; the threshold allows for them and for one large
  // prime.
  constexpr u32 kSieveFrom = 30;
  const double threshold = log2_max - std::log2(static_cast<double>(lp_bound)) - 3.0;
  const int thresh = std::clamp(static_cast<int>(threshold), 8, 120);
  const std::uint8_t init = static_cast<std::uint8_t>(128 - thresh);

  // a near sqrt(2 kn) / M, from s primes around the s-th root of that target.
  const double log_target = std::log(std::sqrt(2 * kn_d) / static_cast<double>(M));
  std::size_t first_q = 2;
  while (first_q < fb_size && fb.prime[first_q] < 11) ++first_q;
  int s = std::max(2, static_cast<int>(std::lround(log_target / std::log(2000.0))));
  double q_size = std::exp(log_target / s);
  while (q_size > 0.7 * pmax) q_size = std::exp(log_target / ++s);
  while (s > 2 && q_size < 2.0 * fb.prime[first_q + static_cast<std::size_t>(s) + 4]) {
    q_size = std::exp(log_target / --s);
  }
  const std::size_t q_center = static_cast<std::size_t>(
      std::lower_bound(fb.prime.begin(), fb.prime.end(), static_cast<u32>(q_size)) -
      fb.prime.begin());
  const std::size_t span = std::max<std::size_t>(static_cast<std::size_t>(s) + 4, fb_size / 10);
  const std::size_t q_lo = std::max(first_q, q_center > span ? q_center - span : 0);
  const std::size_t q_hi = std::min(fb_size - 1, q_center + span);

  std::mt19937_64 rng(static_cast<u64>(n) ^ static_cast<u64>(n >> 64));
  std::vector<u64> used_a;
  std::vector<std::uint8_t> sieve(width + 8);
  std::vector<u32> soln1(fb_size), soln2(fb_size), ainv(fb_size);
  std::vector<std::uint8_t> special(fb_size);  // divided by trial, not sieved
  std::vector<std::vector<u32>> b_ainv2(static_cast<std::size_t>(s), std::vector<u32>(fb_size));
  std::vector<Relation> rels;
  std::unordered_map<u64, Relation> partials;
  const Montgomery mont(n);
  std::size_t wanted = fb_size + 48;
  Poly poly;
  std::vector<u32> factors;

  for (;;) {
    // A new a: s - 1 random primes near the centre and the one that brings a nearest the target.
    if (stopped(deadline)) return 0;
    for (int attempt = 0;; ++attempt) {
      poly.q_index.clear();
      double log_a = 0;
      while (poly.q_index.size() + 1 < static_cast<std::size_t>(s)) {
        const std::size_t i = q_lo + rng() % (q_hi - q_lo + 1);
        if (fb.root[i] == 0 ||
            std::find(poly.q_index.begin(), poly.q_index.end(), i) != poly.q_index.end()) {
          continue;
        }
        poly.q_index.push_back(static_cast<u32>(i));
        log_a += std::log(static_cast<double>(fb.prime[i]));
      }
      const double want = std::exp(log_target - log_a);
      std::size_t best =
          static_cast<std::size_t>(std::lower_bound(fb.prime.begin(), fb.prime.end(),
                                                    static_cast<u32>(std::min(want, 4e9))) -
                                   fb.prime.begin());
      best = std::clamp(best, first_q, fb_size - 1);
      // The nearest free entry on either side.
      auto usable = [&](std::size_t i) {
        return fb.root[i] != 0 &&
               std::find(poly.q_index.begin(), poly.q_index.end(), i) == poly.q_index.end();
      };
      std::size_t lo = best, hi = best;
      while (lo > first_q && !usable(lo)) --lo;
      while (hi + 1 < fb_size && !usable(hi)) ++hi;
      std::size_t pick = usable(hi) ? hi : lo;
      if (usable(lo) && usable(hi) &&
          std::abs(std::log(fb.prime[lo] / want)) < std::abs(std::log(fb.prime[hi] / want))) {
        pick = lo;
      }
      if (!usable(pick)) continue;
      poly.q_index.push_back(static_cast<u32>(pick));
      u64 a = 1;
      for (u32 i : poly.q_index) a *= fb.prime[i];
      const double ratio = std::log(static_cast<double>(a)) - log_target;
      if (attempt < 100 &&
          (std::abs(ratio) > 0.7 || std::find(used_a.begin(), used_a.end(), a) != used_a.end())) {
        continue;
      }
      used_a.push_back(a);
      poly.a = a;
      break;
    }
    std::sort(poly.q_index.begin(), poly.q_index.end());
    const u64 a = poly.a;
    poly.big_b.assign(static_cast<std::size_t>(s), 0);
    poly.b = 0;
    for (int j = 0; j < s; ++j) {
      const u32 q = fb.prime[poly.q_index[static_cast<std::size_t>(j)]];
      const u64 a_q = a / q;
      u64 gamma = static_cast<u64>(fb.root[poly.q_index[static_cast<std::size_t>(j)]]) *
                  inverse_mod(a_q % q, q) % q;
      if (gamma > q / 2) gamma = q - gamma;
      poly.big_b[static_cast<std::size_t>(j)] = a_q * gamma;
      poly.b += static_cast<i64>(a_q * gamma);
    }
    std::fill(special.begin(), special.end(), 0);
    special[0] = special[1] = 1;
    for (std::size_t i = 2; i < fb_size; ++i) {
      if (fb.root[i] == 0) special[i] = 1;
    }
    for (u32 i : poly.q_index) special[i] = 1;
    for (std::size_t i = 2; i < fb_size; ++i) {
      if (special[i]) continue;
      const u32 p = fb.prime[i];
      const u64 inv = inverse_mod(a % p, p);
      ainv[i] = static_cast<u32>(inv);
      const u64 bm = static_cast<u64>(poly.b) % p, t = fb.root[i];
      const u64 r1 = inv * ((t + p - bm) % p) % p;
      const u64 r2 = inv * ((2 * p - t - bm) % p) % p;
      soln1[i] = static_cast<u32>((r1 + static_cast<u64>(M)) % p);
      soln2[i] = static_cast<u32>((r2 + static_cast<u64>(M)) % p);
      for (int j = 0; j < s; ++j) {
        b_ainv2[static_cast<std::size_t>(j)][i] =
            static_cast<u32>(2 * (poly.big_b[static_cast<std::size_t>(j)] % p) * inv % p);
      }
    }

    const u32 poly_count = 1u << (s - 1);
    for (u32 pi = 0; pi < poly_count; ++pi) {
      if (pi != 0) {
        // Gray code order: one B_j changes sign, every root moves by one stored step.
        const int v = __builtin_ctz(pi);
        const bool minus = ((pi ^ (pi >> 1)) >> v) & 1;
        const std::vector<u32>& step = b_ainv2[static_cast<std::size_t>(v) + 1];
        const i64 bj = static_cast<i64>(poly.big_b[static_cast<std::size_t>(v) + 1]);
        poly.b += minus ? -2 * bj : 2 * bj;
        for (std::size_t i = 2; i < fb_size; ++i) {
          if (special[i]) continue;
          const u32 p = fb.prime[i], d = step[i];
          if (minus) {  // b fell: the roots rise
            soln1[i] = soln1[i] + d >= p ? soln1[i] + d - p : soln1[i] + d;
            soln2[i] = soln2[i] + d >= p ? soln2[i] + d - p : soln2[i] + d;
          } else {
            soln1[i] = soln1[i] >= d ? soln1[i] - d : soln1[i] + p - d;
            soln2[i] = soln2[i] >= d ? soln2[i] - d : soln2[i] + p - d;
          }
        }
      }
      if (stopped(deadline)) return 0;
      {
        const u128 b_abs = static_cast<u128>(poly.b < 0 ? -poly.b : poly.b);
        poly.c = -static_cast<i128>((kn - b_abs * b_abs) / a);
      }

      std::memset(sieve.data(), init, width);
      std::memset(sieve.data() + width, 0, 8);
      for (std::size_t i = 2; i < fb_size; ++i) {
        const u32 p = fb.prime[i];
        if (special[i] || p < kSieveFrom) continue;
        const std::uint8_t lg = fb.logp[i];
        std::uint8_t* sv = sieve.data();
        for (std::size_t j = soln1[i]; j < width; j += p) sv[j] += lg;
        for (std::size_t j = soln2[i]; j < width; j += p) sv[j] += lg;
      }

      for (std::size_t w = 0; w < width; w += 8) {
        u64 word;
        std::memcpy(&word, sieve.data() + w, 8);
        if ((word & 0x8080808080808080ULL) == 0) continue;
        for (std::size_t idx = w; idx < w + 8; ++idx) {
          if ((sieve[idx] & 0x80) == 0) continue;
          const i64 x = static_cast<i64>(idx) - M;
          const i128 q = static_cast<i128>(a) * x * x + 2 * static_cast<i128>(poly.b) * x + poly.c;
          if (q == 0) continue;
          factors.clear();
          if (q < 0) factors.push_back(0);
          u128 v = static_cast<u128>(q < 0 ? -q : q);
          while ((v & 1) == 0) {
            v >>= 1;
            factors.push_back(1);
          }
          const u32 id = static_cast<u32>(idx);
          for (std::size_t i = 2; i < fb_size; ++i) {
            const u32 p = fb.prime[i];
            if (special[i]) {
              if (v % p != 0) continue;
            } else {
              const u32 off = id % p;
              if (off != soln1[i] && off != soln2[i]) continue;
            }
            do {
              v /= p;
              factors.push_back(static_cast<u32>(i));
            } while (v % p == 0);
          }
          if (v != 1 && v >= lp_bound) continue;
          for (u32 i : poly.q_index) factors.push_back(i);
          const i128 ax_b = static_cast<i128>(a) * x + poly.b;
          Relation rel{static_cast<u128>(ax_b < 0 ? -ax_b : ax_b) % n, factors, 1};
          if (v == 1) {
            rels.push_back(std::move(rel));
            continue;
          }
          const u64 large = static_cast<u64>(v);
          auto it = partials.find(large);
          if (it == partials.end()) {
            partials.emplace(large, std::move(rel));
            continue;
          }
          const Relation& other = it->second;
          if (other.y == rel.y) continue;
          Relation both{mont.from(mont.mul(mont.to(other.y), mont.to(rel.y))), other.factors,
                        large % n};
          both.factors.insert(both.factors.end(), rel.factors.begin(), rel.factors.end());
          rels.push_back(std::move(both));
        }
      }
      if (rels.size() >= wanted) {
        const u128 g = solve_relations(rels, fb, n, deadline);
        if (g != 0 || stopped(deadline)) return g;
        wanted = rels.size() + 32;
      }
    }
  }
}
