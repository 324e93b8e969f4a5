// Roots refined one by one. The simultaneous iteration finds them to eight digits at a low
// precision, from start values on the circles of the Newton polygon; equal approximations form
// a group. Each simple root is then polished by Newton's method on p and each group of k by
// Newton's method on p^(k-1), at precisions that double up to what the target needs. A group
// that turns out to be k roots close together rather than one k-fold root is split by the
// roots of its Taylor polynomial and refined root by root.
//
// Nothing is taken on trust. A simple root x is accepted when the disk of radius
// m·|p(x)|/|p'(x)| about it, which holds a root, lies within the last digits of x; a k-fold
// root when Pellet's test, |a_k|ρ^k > sum over j != k of |a_j|ρ^j for the Taylor coefficients
// a_j = p^(j)(x)/j!, shows exactly k roots within such a radius ρ. Every computed value counts
// with the bound of its rounding error, so the precision only decides whether a test can pass,
// never whether it passes wrongly. The disks of different roots are disjoint, so together they
// hold all m roots and each holds exactly its own; a disk about a point of a symmetry axis of
// the roots is its own mirror image and so holds a root on the axis. When some root cannot be
// verified, the caller runs the iteration at full precision instead.
#include <algorithm>
#include <cmath>

#include "core/arith.h"
#include "solvers/roots.h"
#include "solvers/roots_internal.h"

namespace roots_detail {
namespace {

// Digits of the first approximations.
constexpr std::int64_t kLowDigits = 8;
constexpr std::int64_t kFar = INT64_MAX / 8;
constexpr std::int64_t kExponentLimit = std::int64_t{1} << 60;

enum Axis { kAnywhere, kRealAxis, kImaginaryAxis };

struct Group {
  int first = 0;  // index of its first approximation
  int k = 0;      // number of equal approximations
  // Exponent with 10^sep <= the distance to the nearest other group's approximation.
  std::int64_t sep = kFar;
  std::int64_t radius = 0;  // its roots' disks lie within 10^radius of the refined point
  bool done = false;
};

std::int64_t clamp_exponent(__int128 e) {
  if (e > kExponentLimit) return kExponentLimit;
  if (e < -kExponentLimit) return -kExponentLimit;
  return static_cast<std::int64_t>(e);
}

std::int64_t ceil_div(std::int64_t a, std::int64_t b) {
  return a >= 0 ? (a + b - 1) / b : -((-a) / b);
}

// a·b from four products rounded one by one: within a few units in the last place, which the
// error bounds below allow for. The core's product is rounded once but works at double width.
void mul_fast(Complex* dst, const Complex* a, const Complex* b) {
  const bool ra = is_zero(cplx_im(a)), rb = is_zero(cplx_im(b));
  if (ra && rb) {
    dec_mul_rounded(cplx_re(dst), cplx_re(a), cplx_re(b));
    make_zero(cplx_im(dst), false);
    return;
  }
  ScratchScope scope;
  DecFloat* t = scratch_dec();
  DecFloat* u = scratch_dec();
  if (ra || rb) {
    const Complex* z = ra ? b : a;
    const DecFloat* r = cplx_re(ra ? a : b);
    dec_mul_rounded(t, cplx_re(z), r);
    dec_mul_rounded(cplx_im(dst), cplx_im(z), r);
    dec_copy(cplx_re(dst), t);
    return;
  }
  DecFloat* s = scratch_dec();
  dec_mul_rounded(t, cplx_re(a), cplx_re(b));
  dec_mul_rounded(u, cplx_im(a), cplx_im(b));
  dec_sub_rounded(s, t, u);
  dec_mul_rounded(t, cplx_re(a), cplx_im(b));
  dec_mul_rounded(u, cplx_im(a), cplx_re(b));
  dec_add_rounded(cplx_im(dst), t, u);
  dec_copy(cplx_re(dst), s);
}

// v = q(x) and, when d is given, d = q'(x), together by Horner's scheme.
void horner(Complex* v, Complex* d, const Complex* q, std::int64_t deg, const Complex* x) {
  cplx_copy(v, at(q, deg));
  if (d) cplx_make_zero(d, false);
  for (std::int64_t i = deg - 1; i >= 0; --i) {
    if (d) {
      mul_fast(d, d, x);
      cplx_add(d, d, v);
    }
    mul_fast(v, v, x);
    cplx_add(v, v, at(q, i));
  }
}

// f with |z| < 10^(magnitude(z) + f), 0 < f < 1.16, from the leading digits of the parts.
double lead_fraction(const Complex* z) {
  const std::int64_t e = magnitude(z);
  double f = 0;
  for (const DecFloat* part : {cplx_re(z), cplx_im(z)}) {
    if (is_special(part) || dec_exponent(part) != e) continue;
    const Word top = part[1];
    int digits = 0;
    for (Word t = top; t > 0; t /= 10) ++digits;
    // The part is below (top + 1)·10^(e - digits + 1).
    f = std::max(f, std::log10(static_cast<double>(top) + 1) - (digits - 1));
  }
  return f + 0.1506;  // |z| <= sqrt 2 times the larger part
}

// S with sum |q_i|·|x|^i < 10^S, from the magnitudes and leading digits (the sum of at most 11
// terms exceeds the largest by less than 10^1.05). Horner's scheme at w digits then errs by
// less than 10^(S+3-w) in q(x) (about 2·deg roundings of at most four units each, and the
// coefficients' own rounding), and by less than 10^(S+4-ex-w) in q'(x), ex = magnitude(x).
std::int64_t sum_bound(const Complex* q, std::int64_t deg, const Complex* x) {
  const std::int64_t ex = magnitude(x);
  const double fx = ex == kNoExponent ? 0 : lead_fraction(x);
  __int128 s = kNoExponent;
  for (std::int64_t i = 0; i <= deg; ++i) {
    const Complex* qi = at(q, i);
    const std::int64_t e = magnitude(qi);
    if (e == kNoExponent || (i > 0 && ex == kNoExponent)) continue;
    const double f = lead_fraction(qi) + static_cast<double>(i) * fx;
    s = std::max(s, static_cast<__int128>(e) + static_cast<__int128>(i) * ex +
                        static_cast<__int128>(std::ceil(f + 1e-9)));
  }
  return s == kNoExponent ? kNoExponent : clamp_exponent(s + 2);
}

std::int64_t noise_of_value(std::int64_t s, std::int64_t w) {
  return s == kNoExponent ? kNoExponent : s + 3 - w;
}

// Exponent e with |z| < 10^e, at least the noise exponent.
std::int64_t upper(const Complex* z, std::int64_t noise) {
  return std::max(cplx_is_zero(z) ? kNoExponent : magnitude(z) + 1, noise);
}

// The same when z stands clearly above the noise, so that its true value is about as large and
// more digits would not make it smaller; kNoExponent otherwise.
std::int64_t genuine(const Complex* z, std::int64_t noise) {
  return !cplx_is_zero(z) && magnitude(z) >= noise + 1 ? magnitude(z) + 1 : kNoExponent;
}

class Refiner {
 public:
  Refiner(const Complex* c, std::int64_t m, std::int64_t target)
      : c_(c), m_(m), target_(target), full_(g_arith.precision) {}

  bool run(Complex* out);

 private:
  // The records of q_ at the current precision: coefficients of p^(j)/j!, of degree m - j.
  void load(std::int64_t j);
  // Moves x_ to w digits (exact when w grows) and makes w the current precision.
  void move_to(std::int64_t w);
  void snap(Axis axis);
  bool refine(std::int64_t k, const Complex* start, std::int64_t start_digits, std::int64_t acc,
              std::int64_t sep, int depth, Complex* results, std::int64_t* reach);
  bool split(std::int64_t k, std::int64_t radius, std::int64_t sep, int depth, Complex* results,
             std::int64_t* reach);
  // Sorts the m approximations z (records of `digits` digits) into groups of equal values.
  int group(const Complex* z, std::int64_t m, std::int64_t digits, Group* groups, int* group_of);

  const Complex* c_;
  std::int64_t m_, target_, full_;
  std::int64_t low_target_ = 0;  // digits of the first approximations
  std::int64_t low_ = 0;         // and of their arithmetic
  std::int64_t zero_below_ = 0;  // parts this many digits below the root are rounding noise
  bool real_ = true, parity_ = true;
  Complex *q_ = nullptr, *a_ = nullptr, *x_ = nullptr, *xb_ = nullptr, *v_ = nullptr, *d_ = nullptr,
          *t_ = nullptr;
  std::int64_t q_j_ = -1, q_digits_ = 0, x_digits_ = 0;
};

void Refiner::load(std::int64_t j) {
  if (q_j_ == j && q_digits_ == g_arith.precision) return;
  const std::size_t fw = complex_words_at(full_);
  for (std::int64_t i = 0; i + j <= m_; ++i) {
    cplx_convert_precision(at(q_, i), g_arith.precision, c_ + fw * static_cast<std::size_t>(i + j),
                           full_);
    std::uint64_t binom = 1;  // C(i + j, j), at most 252
    for (std::int64_t t = 1; t <= j; ++t) {
      binom = binom * static_cast<std::uint64_t>(i + t) / static_cast<std::uint64_t>(t);
    }
    if (binom != 1) cplx_mul_word(at(q_, i), at(q_, i), binom);
  }
  q_j_ = j;
  q_digits_ = g_arith.precision;
}

void Refiner::move_to(std::int64_t w) {
  if (w != x_digits_) {
    cplx_convert_precision(xb_, w, x_, x_digits_);
    std::swap(x_, xb_);
    x_digits_ = w;
  }
  set_precision_shape(w);
}

void Refiner::snap(Axis axis) {
  if (axis == kRealAxis) make_zero(cplx_im(x_), false);
  if (axis == kImaginaryAxis) make_zero(cplx_re(x_), false);
}

int Refiner::group(const Complex* z, std::int64_t m, std::int64_t digits, Group* groups,
                   int* group_of) {
  ContextScope scope = ContextScope::precision(digits);
  auto value = [&](int i) { return at(z, i); };
  int count = 0;
  for (int i = 0; i < m; ++i) {
    int g = 0;
    while (g < count && (dec_compare(cplx_re(value(i)), cplx_re(value(groups[g].first)), false) ||
                         dec_compare(cplx_im(value(i)), cplx_im(value(groups[g].first)), false))) {
      ++g;
    }
    if (g == count) groups[count++] = Group{i, 0};
    ++groups[g].k;
    group_of[i] = g;
  }
  for (int g = 0; g < count; ++g) {
    for (int h = 0; h < count; ++h) {
      if (h == g) continue;
      cplx_sub(t_, value(groups[g].first), value(groups[h].first));
      groups[g].sep = std::min(groups[g].sep, magnitude(t_));
    }
  }
  return count;
}

// Refines the k roots near `start` (a record of start_digits digits, about acc digits correct)
// whose neighbours lie 10^sep or farther away. Writes them, rounded to the target, into results
// (k records of full_ digits), and into *reach an exponent e such that all of them and their
// disks lie within 10^e of start. Leaves the precision at full_.
bool Refiner::refine(std::int64_t k, const Complex* start, std::int64_t start_digits,
                     std::int64_t acc, std::int64_t sep, int depth, Complex* results,
                     std::int64_t* reach) {
  const std::int64_t p = target_;
  const std::int64_t deg = m_ - k + 1;  // of q = p^(k-1)/(k-1)!
  set_precision_shape(start_digits);
  cplx_copy(x_, start);
  x_digits_ = start_digits;
  const std::int64_t ex0 = magnitude(x_);
  if (ex0 == kNoExponent) return false;
  // The roots of a real polynomial lie symmetric to the real axis, those of a real polynomial
  // with only even or only odd powers also to the imaginary one.
  Axis axis = kAnywhere;
  const std::int64_t tiny = ex0 - acc - 2;
  if (real_ && (is_zero(cplx_im(x_)) || dec_exponent(cplx_im(x_)) < tiny)) {
    axis = kRealAxis;
  } else if (real_ && parity_ && (is_zero(cplx_re(x_)) || dec_exponent(cplx_re(x_)) < tiny)) {
    axis = kImaginaryAxis;
  }
  snap(axis);

  // Estimates at the start's precision: how many digits the root of q loses to rounding
  // (cond), and for a k-fold root how many the test of p, ..., p^(k-1) needs.
  std::int64_t ex = magnitude(x_);
  std::int64_t s;
  // q' must stand above its rounding noise; near other roots that takes more digits.
  for (std::int64_t we = start_digits;; we = std::min(kMaxPrecision, 2 * we)) {
    move_to(we);
    load(k - 1);
    horner(v_, d_, q_, deg, x_);
    s = sum_bound(q_, deg, x_);
    if (!cplx_is_zero(d_) && magnitude(d_) >= s + 6 - ex - we) break;
    if (we >= 4 * start_digits || we >= kMaxPrecision) return false;
  }
  const std::int64_t cond = std::max<std::int64_t>(0, s - magnitude(d_) - ex);
  std::int64_t w1 = p + cond + 12;
  std::int64_t wt = w1;
  if (k > 1) {
    load(k);
    horner(v_, nullptr, q_, m_ - k, x_);
    if (cplx_is_zero(v_)) return false;
    const std::int64_t mk = magnitude(v_);
    for (std::int64_t j = 0; j < k; ++j) {
      load(j);
      const std::int64_t sj = sum_bound(q_, m_ - j, x_);
      wt = std::max(wt, sj + 3 - mk + 4 - (k - j) * (ex - p - 2) + 4);
    }
  }
  w1 = std::min(w1, kMaxPrecision);
  wt = std::min(std::max(wt, w1), kMaxPrecision);

  std::int64_t radius = 0;
  for (int round = 0;; ++round) {
    for (int top_steps = 0;;) {
      const std::int64_t w = std::min(w1, std::max<std::int64_t>(2 * acc + cond + 10, 30));
      move_to(w);
      load(k - 1);
      horner(v_, d_, q_, deg, x_);
      if (cplx_is_zero(d_)) return false;
      cplx_div(t_, v_, d_);
      cplx_sub(x_, x_, t_);
      snap(axis);
      if (math_status() != MathStatus::Ok || interrupted()) return false;
      acc = std::min(2 * acc, w - cond - 10);
      if (w < w1) continue;
      ++top_steps;
      // After a step of relative size 10^rel Newton's error is about 10^(2·rel + cond).
      const std::int64_t rel = cplx_is_zero(t_) ? -kExponentLimit : magnitude(t_) - ex;
      if (2 * rel + cond + 2 <= -(w1 - cond - 8) || top_steps >= 6) break;
    }
    std::int64_t w = x_digits_;
    ex = magnitude(x_);
    if (ex == kNoExponent) return false;
    // Newton's method must have stayed near its start, away from the other approximations.
    cplx_convert_precision(t_, w, start, start_digits);
    cplx_sub(t_, x_, t_);
    if (!cplx_is_zero(t_) && magnitude(t_) > sep - 2) return false;

    // The radius as the rounding errors allow, and as the values that stand above them give:
    // where the latter is too large, more digits cannot help.
    std::int64_t signal;
    if (k == 1) {
      load(0);
      horner(v_, d_, q_, m_, x_);
      s = sum_bound(q_, m_, x_);
      if (cplx_is_zero(d_) || magnitude(d_) < s + 6 - ex - w) return false;
      // m·|p|/|p'| < 10·10^e / (0.99·10^magnitude(p')).
      radius = upper(v_, noise_of_value(s, w)) + 2 - magnitude(d_);
      const std::int64_t g = genuine(v_, noise_of_value(s, w));
      signal = g == kNoExponent ? -kExponentLimit : g + 2 - magnitude(d_);
    } else {
      move_to(wt);
      w = wt;
      // a_j = p^(j)(x)/j! into a_, for the test and for splitting the group.
      for (std::int64_t j = 0; j <= m_; ++j) {
        load(j);
        horner(at(a_, j), nullptr, q_, m_ - j, x_);
      }
      const Complex* ak = at(a_, k);
      load(k);
      if (cplx_is_zero(ak) || magnitude(ak) < noise_of_value(sum_bound(q_, m_ - k, x_), w) + 2) {
        return false;
      }
      const std::int64_t mk = magnitude(ak);  // |a_k| > 0.99·10^mk
      // Pellet: every other term below |a_k|ρ^k / 1000, so their sum stays below it.
      radius = signal = -kExponentLimit;
      for (std::int64_t j = 0; j < k; ++j) {
        load(j);
        const std::int64_t nj = noise_of_value(sum_bound(q_, m_ - j, x_), w);
        radius = std::max(radius, ceil_div(upper(at(a_, j), nj) - mk + 4, k - j));
        const std::int64_t sj = genuine(at(a_, j), nj);
        if (sj != kNoExponent) signal = std::max(signal, ceil_div(sj - mk + 4, k - j));
      }
      for (std::int64_t j = k + 1; j <= m_; ++j) {
        load(j);
        const std::int64_t ej = upper(at(a_, j), noise_of_value(sum_bound(q_, m_ - j, x_), w));
        if (ej + (j - k) * radius > mk - 4) return false;
      }
    }
    if (math_status() != MathStatus::Ok || interrupted()) return false;
    if (radius > sep - 2) return false;
    // Every part must be known to P digits, or lie so far below the root that it is noise.
    std::int64_t short_by = radius - (ex - p - 2);
    bool hopeless = signal > ex - p - 2;
    bool noise_part = false;
    for (const DecFloat* part : {cplx_re(x_), cplx_im(x_)}) {
      if (is_zero(part)) continue;
      const std::int64_t e = dec_exponent(part);
      if (e >= radius + p + 1 || e < ex - zero_below_) continue;
      short_by = std::max(short_by, radius + p + 1 - e);
      // A part at the noise level may be zero; otherwise it lacks digits that only a smaller
      // value of p could give.
      if (e <= radius + 2) {
        noise_part = true;
      } else {
        hopeless |= e < signal + p + 1;
      }
    }
    if (short_by <= 0) break;
    // k roots within 10^radius of x but apart: each is found on its own.
    if (k > 1 && signal > ex - p - 2) return split(k, radius, sep, depth, results, reach);
    if (hopeless || round >= 6 || (w1 >= kMaxPrecision && wt >= kMaxPrecision)) return false;
    // A part that may be zero stays undecided until the noise sinks below the threshold.
    const std::int64_t more = noise_part ? zero_below_ + cond + 20 : w1 + short_by + 5;
    w1 = std::min(kMaxPrecision, std::max(w1 + short_by + 5, more));
    wt = std::min(kMaxPrecision, std::max(wt + short_by + 5, w1));
  }
  {
    const std::int64_t ex_final = magnitude(x_);
    for (DecFloat* part : {cplx_re(x_), cplx_im(x_)}) {
      if (!is_zero(part) && dec_exponent(part) < ex_final - zero_below_) make_zero(part, false);
    }
  }
  const std::int64_t w = x_digits_;
  set_precision_shape(full_);
  const std::size_t fw = cplx_words();
  cplx_convert_precision(results, full_, x_, w);
  cplx_round_digits(results, results, p);
  for (std::int64_t i = 1; i < k; ++i)
    cplx_copy(results + fw * static_cast<std::size_t>(i), results);
  *reach = radius;
  return math_status() == MathStatus::Ok;
}

// The k roots of a group lie within 10^radius of x_ (Pellet's test) but do not agree to the
// target digits. Near x, p(x + t) = sum of a_j t^j, and the higher terms hardly matter within
// the disk: the k roots of a_0 + ... + a_k t^k, found at a few digits, are start values for the
// roots of p, which are then refined and verified like the others.
bool Refiner::split(std::int64_t k, std::int64_t radius, std::int64_t sep, int depth,
                    Complex* results, std::int64_t* reach) {
  if (depth >= 2 || radius > sep - 5) return false;
  ScratchScope scope;
  const std::int64_t wt = x_digits_, ex = magnitude(x_);
  const std::int64_t lt = low_target_, lw = root_working_digits(k, lt);
  // Start values x + t_i need the digits of x down to 10^(radius - lt).
  const std::int64_t sd = std::min(wt, std::max(lw, ex - radius + lt + 10));
  const std::size_t lws = complex_words_at(lw), sws = complex_words_at(sd);
  Complex* local = scratch_alloc(lws * static_cast<std::size_t>(k + 1));
  Complex* t = scratch_alloc(lws * static_cast<std::size_t>(k));
  Complex* starts = scratch_alloc(sws * static_cast<std::size_t>(k));
  Complex* x = scratch_alloc(sws);
  cplx_convert_precision(x, sd, x_, wt);
  {
    ContextScope low = ContextScope::precision(lw);
    // t = 10^radius·u keeps the local roots near the unit circle.
    for (std::int64_t j = 0; j <= k; ++j) {
      cplx_convert_precision(at(local, j), lw, a_ + complex_words_at(wt) * j, wt);
      shift_exponent(at(local, j), radius * j);
    }
    if (cplx_is_zero(at(local, 0))) return false;
    const std::int64_t e = make_monic_scaled(local, k);
    if (!DurandKernerSpread(local, k, lt, t) || math_status() != MathStatus::Ok) {
      if (app_error_code() == 2001) clear_app_error();
      clear_status();
      return false;
    }
    for (std::int64_t i = 0; i < k; ++i) {
      shift_exponent(at(t, i), e + radius);
      if (magnitude(at(t, i)) > radius + 1) return false;
    }
  }
  Group groups[kMaxRootDegree];
  int group_of[kMaxRootDegree];
  const int count = group(t, k, lw, groups, group_of);
  {
    ContextScope start = ContextScope::precision(sd);
    for (std::int64_t i = 0; i < k; ++i) {
      cplx_convert_precision(at(starts, i), sd, t + lws * static_cast<std::size_t>(i), lw);
      cplx_add(at(starts, i), at(starts, i), x);
    }
  }
  const std::size_t fw = complex_words_at(full_);
  std::int64_t offset = 0;
  for (int g = 0; g < count; ++g) {
    std::int64_t r = 0;
    if (!refine(groups[g].k, starts + sws * static_cast<std::size_t>(groups[g].first), sd,
                ex - radius + lt - 2, std::min(groups[g].sep, radius + 3), depth + 1,
                results + fw * static_cast<std::size_t>(offset), &r)) {
      return false;
    }
    offset += groups[g].k;
  }
  *reach = radius + 2;
  return true;
}

bool Refiner::run(Complex* out) {
  ContextScope scope(ContextScope::kScratch);
  const std::size_t fw = cplx_words();
  for (std::int64_t i = 0; i <= m_; ++i) {
    const Complex* ci = c_ + fw * static_cast<std::size_t>(i);
    if (cplx_is_zero(ci)) continue;
    real_ &= is_zero(cplx_im(ci));
    parity_ &= (i % 2) == (m_ % 2);
    // Exponents this far out would overflow the bookkeeping of exponents below; such
    // polynomials are left to the iteration.
    const std::int64_t e = magnitude(ci);
    if (e > kExponentLimit / 64 || e < -kExponentLimit / 64) return false;
  }
  zero_below_ = target_ + (full_ - target_) / 2;
  // Buffers for any precision the tests may need, up to the largest there is.
  const std::size_t most = complex_words_at(kMaxPrecision);
  q_ = scratch_alloc(most * static_cast<std::size_t>(m_ + 1));
  a_ = scratch_alloc(most * static_cast<std::size_t>(m_ + 1));
  for (Complex** b : {&x_, &xb_, &v_, &d_, &t_}) *b = scratch_alloc(most);
  Complex* results = scratch_alloc(fw * static_cast<std::size_t>(m_));

  // First approximations by the iteration at a few digits.
  low_target_ = std::min(target_, kLowDigits);
  low_ = root_working_digits(m_, low_target_);
  const std::size_t lw = complex_words_at(low_);
  Complex* z = scratch_alloc(lw * static_cast<std::size_t>(m_));
  {
    ContextScope low = ContextScope::precision(low_);
    Complex* cl = scratch_alloc(lw * static_cast<std::size_t>(m_ + 1));
    for (std::int64_t i = 0; i <= m_; ++i) {
      cplx_convert_precision(at(cl, i), low_, c_ + fw * static_cast<std::size_t>(i), full_);
    }
    const std::int64_t e = make_monic_scaled(cl, m_);
    if (!DurandKernerSpread(cl, m_, low_target_, z) || math_status() != MathStatus::Ok) {
      if (app_error_code() == 2001) clear_app_error();
      clear_status();
      return false;
    }
    for (std::int64_t i = 0; i < m_; ++i) shift_exponent(at(z, i), e);
  }
  // Equal approximations form a group: a multiple root, or roots too close to tell apart.
  Group groups[kMaxRootDegree];
  int group_of[kMaxRootDegree];
  const int count = group(z, m_, low_, groups, group_of);
  auto approx = [&](int i) { return z + lw * static_cast<std::size_t>(i); };
  int offset[kMaxRootDegree];
  for (int g = 0, o = 0; g < count; o += groups[g++].k) offset[g] = o;
  auto slot = [&](int g) { return results + fw * static_cast<std::size_t>(offset[g]); };

  for (int g = 0; g < count; ++g) {
    Group& gr = groups[g];
    if (gr.done) continue;
    if (!refine(gr.k, approx(gr.first), low_, std::max<std::int64_t>(1, low_target_ - 2), gr.sep, 0,
                slot(g), &gr.radius)) {
      set_precision_shape(full_);
      if (math_status() == MathStatus::Cancelled) set_app_error(kAppErrorStopped);
      clear_status();
      return false;
    }
    gr.done = true;
    // The mirror image of a root of a real polynomial is a root, verified by the same disk.
    if (!real_ || is_zero(cplx_im(slot(g)))) continue;
    cplx_copy(xb_, slot(g));
    dec_negate(cplx_im(xb_));
    for (int h = g + 1; h < count; ++h) {
      Group& mirror = groups[h];
      if (mirror.done || mirror.k != gr.k || gr.radius > mirror.sep - 2) continue;
      cplx_convert_precision(t_, full_, approx(mirror.first), low_);
      cplx_sub(t_, xb_, t_);
      if (cplx_is_zero(t_) || magnitude(t_) <= mirror.sep - 2) {
        for (std::int64_t i = 0; i < gr.k; ++i) {
          Complex* mine = slot(h) + fw * static_cast<std::size_t>(i);
          cplx_copy(mine, slot(g) + fw * static_cast<std::size_t>(i));
          dec_negate(cplx_im(mine));
        }
        mirror.done = true;
        break;
      }
    }
  }
  // Group g's roots sit at k slots from offset[g] on, whoever its members are.
  int next[kMaxRootDegree] = {};
  for (int i = 0; i < m_; ++i) {
    const int g = group_of[i];
    cplx_copy(out + fw * static_cast<std::size_t>(i),
              slot(g) + fw * static_cast<std::size_t>(next[g]++));
  }
  return true;
}

}  // namespace

bool RefineRoots(const Complex* c, std::int64_t m, std::int64_t target, Complex* out) {
  return Refiner(c, m, target).run(out);
}

}  // namespace roots_detail
