// ApproximateRoots and the Durand-Kerner iteration. ApproximateRoots takes the roots that the
// refinement (roots_refine.cpp) verifies and runs the iteration at the full working precision
// only when it cannot; ApproximateRootsByIteration always runs it.
//
// The iteration as such settles multiple roots only slowly and its rounded values may flicker
// in the last digit for ever, so once the corrections have become small (or the rings agree)
// the approximations are grouped into clusters and each cluster of k members is refined by
// Newton's method on the (k-1)-th derivative, where a k-fold root is a simple root. A cluster
// is accepted only when the derivatives 0..k-1 vanish at the refined point to P digits;
// otherwise the plain iteration continues under its sweep limit. Above a few hundred working
// digits the start values come from the same procedure at a quarter of the digits.
#include "solvers/roots.h"

#include <algorithm>
#include <cmath>

#include "app/app_error.h"
#include "core/arith.h"
#include "solvers/roots_internal.h"

using namespace roots_detail;

namespace {

constexpr std::uint16_t kPrecisionTable[11] = {1000, 950, 482, 320, 230, 184, 130, 110, 95, 84, 76};

void cplx_set_int(Complex* z, std::int64_t v) {
  dec_from_int(cplx_re(z), v);
  make_zero(cplx_im(z), false);
}

// Horner's scheme, for the refinement.
void horner(Complex* out, const Complex* c, std::int64_t deg, const Complex* z) {
  cplx_copy(out, at(c, deg));
  for (std::int64_t k = deg - 1; k >= 0; --k) {
    cplx_mul(out, out, z);
    cplx_add(out, out, at(c, k));
  }
}

// Refines the clusters of z (m approximations) and writes the roots rounded to P digits into
// out. False when some cluster does not verify as a root of its multiplicity.
// Approximations closer than near_digits (relative) form one cluster.
bool refine_clusters(const Complex* c, std::int64_t m, std::int64_t target, const Complex* z,
                     Complex* out, std::int64_t near_digits) {
  ScratchScope scope;
  const std::int64_t w = g_arith.precision;
  bool real_coefficients = true;
  for (std::int64_t k = 0; k <= m; ++k) real_coefficients &= cplx_is_real(at(c, k));

  int cluster[kMaxRootDegree];
  for (int i = 0; i < m; ++i) cluster[i] = i;
  Complex* d = scratch_cplx();
  for (int i = 0; i < m; ++i) {
    for (int j = i + 1; j < m; ++j) {
      cplx_sub(d, at(z, i), at(z, j));
      const std::int64_t scale = std::max(magnitude(at(z, i)), magnitude(at(z, j)));
      if (cplx_is_zero(d) || magnitude(d) < scale - near_digits) {
        const int from = cluster[j], to = cluster[i];
        for (int k = 0; k < m; ++k) {
          if (cluster[k] == from) cluster[k] = to;
        }
      }
    }
  }

  // Coefficients of p^(j), j = 0..m: entry i of derivative j is c_(i+j)·(i+j)!/i!.
  // One allocation per derivative: the scratch stack caps the size of a single request.
  Complex* deriv[kMaxRootDegree + 1];
  for (std::int64_t j = 0; j <= m; ++j) {
    deriv[j] = scratch_alloc(cplx_words() * static_cast<std::size_t>(m + 1));
  }
  auto dcoef = [&](std::int64_t j, std::int64_t i) { return at(deriv[j], i); };
  for (std::int64_t j = 0; j <= m; ++j) {
    for (std::int64_t i = 0; i + j <= m; ++i) {
      std::uint64_t f = 1;
      for (std::int64_t t = i + 1; t <= i + j; ++t) f *= static_cast<std::uint64_t>(t);
      cplx_mul_word(dcoef(j, i), at(c, i + j), f);
    }
  }

  Complex* x = scratch_cplx();
  Complex* g = scratch_cplx();
  Complex* gd = scratch_cplx();
  Complex* kc = scratch_cplx();
  Complex* start = scratch_cplx();
  for (int lead = 0; lead < m; ++lead) {
    int k = 0;
    cplx_make_zero(x, false);
    for (int i = 0; i < m; ++i) {
      if (cluster[i] != lead) continue;
      cplx_add(x, x, at(z, i));
      ++k;
    }
    if (k == 0) continue;
    cplx_set_int(kc, k);
    cplx_div(x, x, kc);
    // A cluster that is its own mirror image belongs to a real root of a real polynomial.
    if (real_coefficients && !is_zero(cplx_im(x)) &&
        dec_exponent(cplx_im(x)) < magnitude(x) - near_digits) {
      make_zero(cplx_im(x), false);
    }
    cplx_copy(start, x);
    const std::int64_t gdeg = m - (k - 1);
    const Complex* gc = dcoef(k - 1, 0);
    const Complex* gdc = dcoef(k, 0);
    for (int it = 0; it < 200; ++it) {
      horner(g, gc, gdeg, x);
      if (cplx_is_zero(g)) break;
      horner(gd, gdc, gdeg - 1, x);
      if (cplx_is_zero(gd)) return false;
      cplx_div(g, g, gd);
      cplx_sub(x, x, g);
      if (magnitude(g) < magnitude(x) - (w - 4)) break;
    }
    if (math_status() != MathStatus::Ok) return false;
    // Newton's method must not have wandered off to another cluster's root.
    cplx_sub(g, x, start);
    if (!cplx_is_zero(g) && magnitude(g) >= magnitude(start) - near_digits) return false;
    // Near x, p(x + t) = sum of p^(j)(x)/j!·t^j, and its k smallest roots are at most twice
    // max over j < k of (|p^(j)(x)/j!| / |p^(k)(x)/k!|)^(1/(k-j)) away from x. All k must lie
    // within the P digits of x. Values at the level of the rounding noise count as zero.
    horner(gd, dcoef(k, 0), m - k, x);
    if (cplx_is_zero(gd)) return false;
    const std::int64_t ex = magnitude(x);
    for (std::int64_t j = 0; j < k; ++j) {
      horner(g, dcoef(j, 0), m - j, x);
      if (cplx_is_zero(g)) continue;
      std::int64_t scale = kNoExponent;
      for (std::int64_t i = 0; i + j <= m; ++i) {
        const std::int64_t e = magnitude(dcoef(j, i));
        if (e != kNoExponent) scale = std::max(scale, e + i * ex);
      }
      if (magnitude(g) < scale - (w - 3)) continue;
      std::uint64_t ratio = 1;  // k!/j!
      for (std::int64_t t = j + 1; t <= k; ++t) ratio *= static_cast<std::uint64_t>(t);
      std::int64_t ratio_digits = 1;
      while (ratio >= 10) {
        ratio /= 10;
        ++ratio_digits;
      }
      if (magnitude(g) - magnitude(gd) + ratio_digits > (k - j) * (ex - target - 1)) return false;
    }
    // A part far below the root's own size is rounding noise of the other part: Newton's
    // method leaves it at about 10^-W, well beyond the P digits of the result.
    const std::int64_t noise = magnitude(x) - (target + (w - target) / 2);
    if (!is_zero(cplx_re(x)) && dec_exponent(cplx_re(x)) < noise) make_zero(cplx_re(x), false);
    if (!is_zero(cplx_im(x)) && dec_exponent(cplx_im(x)) < noise) make_zero(cplx_im(x), false);
    for (int i = 0; i < m; ++i) {
      if (cluster[i] == lead) cplx_round_digits(at(out, i), x, target);
    }
  }
  return math_status() == MathStatus::Ok;
}

// Below this many working digits the iteration starts from (1+i)^k directly.
constexpr std::int64_t kWarmStartDigits = 160;

// Start values from the same iteration at a quarter of the digits (and of the target), which
// itself starts the same way: the long approach from (1+i)^k is paid at a low precision, and
// the sweeps at full precision only polish. A failed warm-up leaves z as it was and no error.
void warm_start(const Complex* c, std::int64_t m, std::int64_t target, Complex* z) {
  const std::int64_t w = g_arith.precision;
  const std::int64_t low = w / 4;
  const std::int64_t low_target = std::max<std::int64_t>(5, target / 4);
  ScratchScope scope;
  const std::size_t lw = complex_words_at(low);
  const std::size_t ww = cplx_words();
  Complex* cl = scratch_alloc(lw * static_cast<std::size_t>(m + 1));
  Complex* zl = scratch_alloc(lw * static_cast<std::size_t>(m));
  for (std::int64_t k = 0; k <= m; ++k) {
    cplx_convert_precision(cl + lw * static_cast<std::size_t>(k), low, at(c, k), w);
  }
  set_precision(low);
  const bool ok = DurandKerner(cl, m, low_target, zl);
  set_precision(w);
  if (ok) {
    for (std::int64_t i = 0; i < m; ++i) {
      cplx_convert_precision(z + ww * static_cast<std::size_t>(i), w,
                             zl + lw * static_cast<std::size_t>(i), low);
    }
  } else if (app_error_code() == 2001) {
    g_app_error.code.store(0, std::memory_order_relaxed);
  }
  clear_status();
}

}  // namespace

std::size_t complex_words_at(std::int64_t digits) {
  return 2 * dec_words_for(digits);
}

void root_polynomial_init(RootPolynomial& p, std::int64_t degree) {
  p.degree = degree;
  p.digits = g_arith.precision;
  p.words.assign(complex_words_at(p.digits) * static_cast<std::size_t>(degree + 1), 0);
  for (std::int64_t k = 0; k <= degree; ++k) cplx_make_zero(root_coefficient(p, k), false);
}

Complex* root_coefficient(RootPolynomial& p, std::int64_t k) {
  return p.words.data() + complex_words_at(p.digits) * static_cast<std::size_t>(k);
}
const Complex* root_coefficient(const RootPolynomial& p, std::int64_t k) {
  return p.words.data() + complex_words_at(p.digits) * static_cast<std::size_t>(k);
}

Complex* root_value(RootSet& r, std::int64_t i) {
  return r.values.data() + complex_words_at(r.digits) * static_cast<std::size_t>(i);
}
const Complex* root_value(const RootSet& r, std::int64_t i) {
  return r.values.data() + complex_words_at(r.digits) * static_cast<std::size_t>(i);
}

std::int64_t root_working_digits(std::int64_t degree, std::int64_t target_digits) {
  const std::int64_t t = kPrecisionTable[std::clamp<std::int64_t>(degree, 0, 10)];
  return (1000 * target_digits - 1 + t) / t;
}

void EvaluatePolynomial(Complex* out, const Complex* c, std::int64_t m, const Complex* z) {
  ScratchScope scope;
  Complex* s = scratch_cplx();
  Complex* w = scratch_cplx();
  Complex* t = scratch_cplx();
  cplx_copy(s, at(c, 0));
  cplx_copy(w, z);
  for (std::int64_t k = 1; k < m; ++k) {
    cplx_mul(t, at(c, k), w);
    cplx_add(s, s, t);
    cplx_mul(w, w, z);
  }
  const Complex* top = at(c, m);
  if (is_zero(cplx_im(top)) && dec_compare_int(cplx_re(top), 1) == 0) {
    cplx_add(s, s, w);
  } else {
    cplx_mul(t, top, w);
    cplx_add(s, s, t);
  }
  cplx_copy(out, s);
}

bool SnapToZero(const DecFloat* const ring[6], int s) {
  ScratchScope scope;
  DecFloat* r = scratch_dec();
  DecFloat* one = scratch_dec();
  DecFloat* limit = scratch_dec();
  dec_from_int(one, 1);
  dec_from_int(limit, 1);
  set_exponent_checked(limit, -4);
  bool steady = true;
  for (int p = 0; p < 5 && steady; ++p) {
    const DecFloat* newer = ring[(s - p + 12) % 6];
    const DecFloat* older = ring[(s - p - 1 + 12) % 6];
    const bool nz = is_zero(newer), oz = is_zero(older);
    if (nz && oz) continue;
    if (nz != oz || dec_negative(newer) != dec_negative(older)) {
      steady = false;
      break;
    }
    Word rl = with_guard_digits(3, dec_div, r, newer, older);
    apply_rounding(r, rl);
    dec_sub_rounded(r, r, one);
    steady = dec_compare(r, limit, true) < 0;
  }
  if (steady) return false;
  DecFloat* tenth = limit;
  dec_from_int(tenth, 1);
  set_exponent_checked(tenth, -1);
  return is_zero(ring[s]) || dec_compare(ring[s], tenth, true) < 0;
}

namespace {

// Start values on circles whose radii the Newton polygon of the coefficients gives: where the
// upper convex hull of the points (k, log10 |c_k|) has an edge of slope s and length l, about
// l roots have modulus 10^-s. Roots whose sizes lie hundreds of decades apart are then reached
// in a few sweeps instead of hundreds.
void spread_start(const Complex* c, std::int64_t m, Complex* z) {
  double lg[kMaxRootDegree + 1];
  bool present[kMaxRootDegree + 1];
  for (std::int64_t k = 0; k <= m; ++k) {
    const Complex* ck = at(c, k);
    present[k] = !cplx_is_zero(ck);
    if (!present[k]) continue;
    // Leading digits of the larger part are enough for a logarithm.
    const DecFloat* big = cplx_re(ck);
    if (is_zero(big) || (!is_zero(cplx_im(ck)) && dec_exponent(cplx_im(ck)) > dec_exponent(big))) {
      big = cplx_im(ck);
    }
    const Word top = big[1];
    double lead = static_cast<double>(top);
    int digits = 0;
    for (Word t = top; t > 0; t /= 10) ++digits;
    lg[k] = static_cast<double>(dec_exponent(big)) + std::log10(lead) - (digits - 1);
  }
  std::int64_t hull[kMaxRootDegree + 1];
  int h = 0;
  for (std::int64_t k = 0; k <= m; ++k) {
    if (!present[k]) continue;
    while (h >= 2) {
      const std::int64_t a = hull[h - 2], b = hull[h - 1];
      // b lies on or below the chord from a to k: drop it.
      if ((lg[b] - lg[a]) * static_cast<double>(k - a) <=
          (lg[k] - lg[a]) * static_cast<double>(b - a)) {
        --h;
      } else {
        break;
      }
    }
    hull[h++] = k;
  }
  std::int64_t next = 0;
  for (int e = 0; e + 1 < h; ++e) {
    const std::int64_t a = hull[e], b = hull[e + 1], l = b - a;
    const double log_r = -(lg[b] - lg[a]) / static_cast<double>(l);
    const double whole = std::floor(log_r);
    const double scale = std::pow(10.0, log_r - whole) * 1e15;
    for (std::int64_t j = 0; j < l; ++j, ++next) {
      const double angle = 6.283185307179586 * (static_cast<double>(j) / static_cast<double>(l)) +
                           1.7 * static_cast<double>(e) + 0.4;
      Complex* zk = at(z, next);
      dec_from_int(cplx_re(zk), std::llround(std::cos(angle) * scale));
      dec_from_int(cplx_im(zk), std::llround(std::sin(angle) * scale));
      shift_exponent(zk, static_cast<std::int64_t>(whole) - 15);
    }
  }
}

bool durand_kerner(const Complex* c, std::int64_t m, std::int64_t target, Complex* roots,
                   bool spread);

}  // namespace

bool DurandKerner(const Complex* c, std::int64_t m, std::int64_t target, Complex* roots) {
  return durand_kerner(c, m, target, roots, false);
}

bool roots_detail::DurandKernerSpread(const Complex* c, std::int64_t m, std::int64_t target,
                                      Complex* roots) {
  return durand_kerner(c, m, target, roots, true);
}

namespace {

bool durand_kerner(const Complex* c, std::int64_t m, std::int64_t target, Complex* roots,
                   bool spread) {
  if (m < 2 || m > kMaxRootDegree || cplx_is_zero(at(c, 0)) || !is_zero(cplx_im(at(c, m))) ||
      dec_compare_int(cplx_re(at(c, m)), 1) != 0) {
    set_app_error(kAppErrorInternal);
    return false;
  }
  ScratchScope scope;
  const std::size_t dw = static_cast<std::size_t>(dec_words());
  Complex* z = scratch_alloc(cplx_words() * static_cast<std::size_t>(m));
  // One allocation per ring: the scratch stack caps the size of a single request.
  DecFloat* rings[kMaxRootDegree * 2];
  for (std::int64_t r = 0; r < 2 * m; ++r) rings[r] = scratch_alloc(dw * 6);
  auto slot = [&](std::int64_t i, int part, int k) -> DecFloat* {
    return rings[i * 2 + part] + dw * static_cast<std::size_t>(k);
  };
  for (std::int64_t i = 0; i < m; ++i) {
    for (int part = 0; part < 2; ++part) {
      for (int k = 0; k < 6; ++k) make_zero(slot(i, part, k), false);
    }
  }
  Complex* a = scratch_cplx();
  cplx_parse(a, u"1+i", 3, 0);
  cplx_set_int(at(z, 0), 1);
  cplx_copy(at(z, 1), a);
  for (std::int64_t k = 2; k < m; ++k) cplx_mul(at(z, k), at(z, k - 1), a);
  if (spread) {
    spread_start(c, m, z);
  } else if (g_arith.precision > kWarmStartDigits) {
    warm_start(c, m, target, z);
    if (interrupted()) return false;
  }

  Complex* v = scratch_cplx();
  Complex* q = scratch_cplx();
  Complex* d = scratch_cplx();
  Complex* nudge = scratch_cplx();
  const std::int64_t limit = 3 * m * target;
  int s = 5;
  // Refinement is tried each time the corrections have shrunk by a few more digits; a failed
  // try costs a few Newton steps, a successful early one saves the slow linear approach of
  // the iteration to a multiple root.
  std::int64_t next_try = -3;
  const std::int64_t try_spacing = std::max<std::int64_t>(2, target / 8);
  bool refined_stable = false;
  for (std::int64_t t = 0;;) {
    std::int64_t largest_step = kNoExponent;
    for (std::int64_t i = 0; i < m; ++i) {
      EvaluatePolynomial(v, c, m, at(z, i));
      // Coinciding approximations leave no direction to move in: push z_i aside and retry.
      for (int attempt = 0;; ++attempt) {
        cplx_set_int(q, 1);
        for (std::int64_t j = 0; j < m; ++j) {
          if (j == i) continue;
          cplx_sub(d, at(z, i), at(z, j));
          cplx_mul(q, q, d);
        }
        if (!cplx_is_zero(q) || attempt == 3) break;
        cplx_parse(nudge, u"0.0013+0.0007i", -1, 0);
        cplx_mul_word(nudge, nudge, static_cast<std::uint64_t>(i + attempt + 1));
        cplx_add(at(z, i), at(z, i), nudge);
        EvaluatePolynomial(v, c, m, at(z, i));
      }
      if (cplx_is_zero(q)) break;  // only reachable after an overflow; the status tells
      cplx_div(d, v, q);
      cplx_sub(at(z, i), at(z, i), d);
      if (!cplx_is_zero(d)) {
        const std::int64_t base = cplx_is_zero(at(z, i)) ? 0 : magnitude(at(z, i));
        largest_step = std::max(largest_step, magnitude(d) - base);
      }
    }
    s = s == 5 ? 0 : s + 1;
    for (std::int64_t i = 0; i < m; ++i) {
      dec_round_digits(slot(i, 0, s), cplx_re(at(z, i)), target);
      dec_round_digits(slot(i, 1, s), cplx_im(at(z, i)), target);
    }
    ++t;
    if (math_status() != MathStatus::Ok) {
      // A run that overflows has diverged: it is a failure to converge, not an arithmetic fault.
      set_app_error(math_status() == MathStatus::Cancelled ? kAppErrorStopped : 2001);
      clear_status();
      return false;
    }
    bool stable[kMaxRootDegree][2] = {};
    bool converged = t >= 6;
    for (std::int64_t i = 0; i < m && t >= 6; ++i) {
      for (int part = 0; part < 2; ++part) {
        stable[i][part] = true;
        for (int k = 1; k < 6; ++k) {
          if (dec_compare(slot(i, part, k), slot(i, part, 0), false) != 0) {
            stable[i][part] = false;
            break;
          }
        }
      }
      converged &= stable[i][0] || stable[i][1];
    }
    if (t >= 2 && largest_step < next_try) {
      const std::int64_t near_digits = -next_try - 2;
      next_try -= try_spacing;
      if (refine_clusters(c, m, target, z, roots, std::max<std::int64_t>(1, near_digits))) {
        return true;
      }
      clear_status();
    }
    if (converged && !refined_stable) {
      refined_stable = true;
      if (refine_clusters(c, m, target, z, roots, target / 4 + 1)) return true;
      clear_status();
    }
    if (converged) {
      for (std::int64_t i = 0; i < m; ++i) {
        for (int part = 0; part < 2; ++part) {
          if (stable[i][part]) continue;
          const DecFloat* ring[6];
          for (int k = 0; k < 6; ++k) ring[k] = slot(i, part, k);
          if (SnapToZero(ring, s)) make_zero(slot(i, part, s), false);
        }
        dec_copy(cplx_re(at(roots, i)), slot(i, 0, s));
        dec_copy(cplx_im(at(roots, i)), slot(i, 1, s));
      }
      return true;
    }
    if (t >= limit) {
      set_app_error(2001);
      return false;
    }
    if (interrupted()) return false;
  }
}

}  // namespace

namespace roots_detail {

void shift_exponent(Complex* z, std::int64_t d) {
  for (DecFloat* part : {cplx_re(z), cplx_im(z)}) {
    if (!is_special(part)) set_exponent_checked(part, dec_exponent(part) + d);
  }
}

std::int64_t make_monic_scaled(Complex* c, std::int64_t m) {
  for (std::int64_t k = m - 1; k >= 0; --k) cplx_div(at(c, k), at(c, k), at(c, m));
  cplx_set_int(at(c, m), 1);
  // x = 10^e·y with 10^e near the geometric mean of the roots' sizes, so that the start
  // values are not hundreds of digits away from the roots. Powers of ten shift exponents
  // only, so the scaling is exact.
  const std::int64_t mag = magnitude(at(c, 0));
  const std::int64_t e = mag >= 0 ? mag / m : -((-mag + m - 1) / m);
  for (std::int64_t k = 0; k < m; ++k) shift_exponent(at(c, k), -e * (m - k));
  return e;
}

}  // namespace roots_detail

namespace {

void approximate(const RootPolynomial& p, std::int64_t target, std::uint32_t flags, RootSet& result,
                 bool refine) {
  const std::int64_t outer = g_arith.precision;
  result.count = -1;
  result.digits = outer;
  result.values.assign(complex_words_at(outer) * kMaxRootDegree, 0);
  const std::int64_t n = p.degree;
  if (target > outer || target < 1 || n < 1 || n > kMaxRootDegree) {
    set_app_error(kAppErrorInternal);
    return;
  }
  for (auto& e : result.exact) e.clear();
  const std::int64_t w = root_working_digits(n, target);
  if (w > kMaxPrecision) {
    set_app_error(kAppErrorInternal);  // the page refuses such a P before it gets here
    return;
  }
  ScratchScope scope;
  const std::size_t cw = complex_words_at(w);
  Complex* c = scratch_alloc(cw * static_cast<std::size_t>(n + 1));
  Complex* roots = scratch_alloc(cw * kMaxRootDegree);
  for (std::int64_t k = 0; k <= n; ++k) {
    cplx_convert_precision(c + cw * static_cast<std::size_t>(k), w, root_coefficient(p, k),
                           p.digits);
  }
  set_precision(w);
  if (math_status() != MathStatus::Ok) {
    const MathStatus st = math_status();
    set_app_error(st == MathStatus::Cancelled        ? kAppErrorStopped
                  : st == MathStatus::BufferTooSmall ? kAppErrorBufferOverflow
                                                     : kAppErrorInternal);
    clear_status();
  }
  std::int64_t found = 0;
  if (app_error_code() == 0 && g_arith.precision == w) {
    std::int64_t zeros = 0;
    if (cplx_is_zero(at(c, n))) {
      set_app_error(kAppErrorInternal);
    } else {
      while (zeros < n && cplx_is_zero(at(c, zeros))) ++zeros;
    }
    const std::int64_t m = n - zeros;
    if (zeros > 0) {
      for (std::int64_t k = 0; k <= m; ++k) cplx_copy(at(c, k), at(c, k + zeros));
      for (std::int64_t k = m + 1; k <= n; ++k) cplx_make_zero(at(c, k), false);
    }
    bool ok = app_error_code() == 0;
    if (ok && m == 1) {
      cplx_div(at(roots, 0), at(c, 0), at(c, 1));
      // Flip only non-zero parts, so that a real root does not get a "-0" imaginary part.
      if (!is_zero(cplx_re(at(roots, 0)))) dec_negate(cplx_re(at(roots, 0)));
      if (!is_zero(cplx_im(at(roots, 0)))) dec_negate(cplx_im(at(roots, 0)));
      cplx_round_digits(at(roots, 0), at(roots, 0), target);
      found = 1;
    } else if (ok && m >= 2) {
      found = m;
      // Roots that the refinement cannot vouch for come from the iteration at full precision.
      if ((!refine || !RefineRoots(c, m, target, roots)) && (ok = app_error_code() == 0)) {
        const std::int64_t e = make_monic_scaled(c, m);
        ok = DurandKerner(c, m, target, roots);
        for (std::int64_t k = 0; ok && k < m; ++k) shift_exponent(at(roots, k), e);
      }
    }
    if (ok && app_error_code() == 0) {
      for (std::int64_t k = 0; k < zeros; ++k) cplx_make_zero(at(roots, found + k), false);
      found += zeros;
      for (std::int64_t i = 0; i < found; ++i) {
        cplx_convert_precision(root_value(result, i), outer, at(roots, i), w);
        result.multiplicity[i] = 1;
      }
    }
  }
  set_precision(outer);
  if (app_error_code() != 0) return;
  result.count = found;
  SortRoots(result);
  if ((flags & kKeepDuplicates) == 0) MergeEqualRoots(result);
  if ((flags & kRealOnly) != 0) KeepRealRoots(result);
}

}  // namespace

void ApproximateRoots(const RootPolynomial& p, std::int64_t target, std::uint32_t flags,
                      RootSet& result) {
  approximate(p, target, flags, result, true);
}

void ApproximateRootsByIteration(const RootPolynomial& p, std::int64_t target, std::uint32_t flags,
                                 RootSet& result) {
  approximate(p, target, flags, result, false);
}
