// pi/4 beyond the table: the Gauss-Legendre iteration (the arithmetic-geometric mean), which
// doubles the correct digits with every step, so 40,000 digits take 16 steps of one square
// root and two products each. The digits are kept per thread, like the rest of the context.
#include <algorithm>
#include <vector>

#include "core/arith.h"
#include "core/constants.h"
#include "core/elementary_internal.h"

namespace {

// Digits of pi/4 in the table layout (first limb full), every one a digit of pi/4.
struct PiDigits {
  ConstantTableHeader head{0, 0, 0, -1};
  std::vector<Word> limbs;
};
thread_local PiDigits g_pi;

constexpr std::int64_t kTableLimbs = static_cast<std::int64_t>(kConstantLimbs);

// Two guard limbs: the iteration's rounding errors stay far below the last of them.
constexpr std::int64_t kGuardLimbs = 2;

// pi/4 at 19 (limbs + 2) digits into out (the current precision), by Gauss-Legendre:
// a' = (a + b)/2, b' = sqrt(ab), t' = t - p (a - a')^2, p' = 2p from a = 1, b = sqrt(1/2),
// t = 1/4, p = 1; then pi = (a + b)^2 / (4t), so pi/4 = (a + b)^2 / (16t).
void gauss_legendre(DecFloat* out) {
  const std::int64_t w = g_arith.precision;
  ScratchScope scope;
  DecFloat* a = scratch_dec();
  DecFloat* b = scratch_dec();
  DecFloat* t = scratch_dec();
  DecFloat* an = scratch_dec();
  DecFloat* d = scratch_dec();
  dec_from_word(a, 1);
  dec_div_word(b, a, 2, 0);
  dec_sqrt(b, b);
  dec_from_word(t, 25);
  dec_div_word(t, t, 100, 0);
  std::uint64_t p = 1;
  for (int step = 0; step < 40; ++step) {
    dec_add_sub(an, a, b, 0);
    dec_div_word(an, an, 2, 0);
    dec_mul(b, a, b);
    dec_sqrt(b, b);
    dec_add_sub(d, a, an, 1);
    dec_mul(d, d, d);
    dec_mul_word(d, d, p);
    dec_add_sub(t, t, d, 1);
    p *= 2;
    dec_copy(a, an);
    dec_add_sub(d, a, b, 1);
    // pi_n is off by about (a - b)^2: below 10^-w once a - b is below 10^-(w/2).
    if (is_zero(d) || dec_exponent(d) < -(w / 2) - 2) break;
  }
  dec_add_sub(d, a, b, 0);
  dec_mul(d, d, d);
  dec_mul_word(t, t, 16);
  dec_div(out, d, t);
}

// Fills g_pi with at least `limbs` limbs.
void extend(std::int64_t limbs) {
  for (std::int64_t guard = kGuardLimbs;; guard += kGuardLimbs) {
    const std::int64_t total = limbs + guard;
    ContextScope scope = ContextScope::precision(19 * total, ContextScope::kScratch);
    DecFloat* v = scratch_dec();
    gauss_legendre(v);
    // The first dropped limb all zeros or all nines: the truncation may sit one unit off.
    const Word first_dropped = v[1 + limbs];
    if (first_dropped == 0 || first_dropped == kLimbBase - 1) continue;
    g_pi.limbs.assign(v + 1, v + 1 + limbs);
    g_pi.head.limb_count = static_cast<std::uint16_t>(limbs);
    g_pi.head.exponent = static_cast<std::int32_t>(dec_exponent(v));
    return;
  }
}

}  // namespace

Word load_pi_quarter(DecFloat* x) {
  const std::int64_t p = g_arith.precision;
  if (p <= 19 * kTableLimbs) return load_constant(x, kConstPiQuarter);
  if (p > kMaxPiDigits) set_status(MathStatus::InternalLimit);
  return load_computed_pi_quarter(x);
}

Word load_computed_pi_quarter(DecFloat* x) {
  const std::int64_t p = std::min(g_arith.precision, kMaxPiDigits);
  // One limb beyond the precision so that the round limb is right; grown by half again, so
  // that a slowly rising precision recomputes rarely.
  const std::int64_t need = limbs_for_digits(p) + 1;
  const auto have = static_cast<std::int64_t>(g_pi.limbs.size());
  if (have < need)
    extend(std::max(need, std::min(have + have / 2, limbs_for_digits(kMaxPiDigits))));
  return load_constant(x, g_pi.head, g_pi.limbs.data());
}
