// Addition and subtraction. The operand with the smaller exponent is shifted right; the digits
// shifted out form the round_limb, and a sticky flag remembers non-zero digits beyond it so
// that a subtraction borrows exactly and the kept digits stay the exact truncation.
#include <cstring>

#include "core/arith.h"
#include "core/limbs.h"

namespace {

// The same for one-limb mantissas (P <= 19) on two words [hi, lo]: lo takes the 19 digits
// below the mantissa's last place, and `sticky` any non-zero digit beyond them.
Word add_sub_one_limb(DecFloat* dst, Word mx, Word my, std::int64_t ex, std::int64_t d, bool sx,
                      bool subtract, bool sa) {
  const int k = static_cast<int>(g_arith.top_digits);
  Word yh = 0, yl = 0;
  bool sticky = false;
  if (d < 19) {
    Word r;
    yh = div_pow10(my, static_cast<int>(d), &r);
    yl = d == 0 ? 0 : r * kPow10[19 - d];
  } else if (d < 38) {
    Word r;
    yl = div_pow10(my, static_cast<int>(d - 19), &r);
    sticky = r != 0;
  } else {
    sticky = true;  // my != 0
  }
  Word hi, rl;
  std::int64_t e = ex;
  if (!subtract) {
    Word carry = 0;
    hi = limb_add(mx, yh, &carry);
    rl = yl;
    if (carry || hi >= kPow10[k]) {
      Word low, unused;
      hi = div_pow10(hi, 1, &low) + (carry ? kPow10[18] : 0);
      rl = low * kPow10[18] + div_pow10(rl, 1, &unused);
      ++e;
    }
  } else {
    const Word borrow = (yl != 0 || sticky) ? 1 : 0;
    rl = borrow ? kLimbBase - yl - (sticky ? 1 : 0) : 0;
    hi = mx - yh - borrow;  // |x| >= |y|
    if (hi == 0 && rl == 0) {
      make_zero(dst, sa);
      return 0;
    }
    const int have = hi == 0 ? 0 : digit_count(hi);
    if (have < k) {
      // Large shifts only follow d <= 1, when the round limb holds at most one digit.
      const int shift = have == 0 ? k + 19 - digit_count(rl) : k - have;
      if (shift >= 19) {
        hi = rl * kPow10[shift - 19];
        rl = 0;
      } else {
        Word keep;
        hi = hi * kPow10[shift] + div_pow10(rl, 19 - shift, &keep);
        rl = keep * kPow10[shift];
      }
      e -= shift;
    }
  }
  dst[1] = hi;
  set_exponent_checked(dst, e, sx);
  return rl;
}

// One pass over x and y shifted right by d < 19 n digits (n >= 2): limb i of the shifted y is
// y's limb j = i - d/19 moved right by r = d mod 19 digits, with the low r digits of limb
// j - 1 coming in on top. step(x limb, shifted y limb) gives the result limb (carrying its
// own carry or borrow), from the least significant limb up into m.
template <class Step>
void shifted_pass(Word* m, const Word* xm, const Word* ym, std::int64_t n, std::int64_t d,
                  Step step) {
  const std::int64_t whole = d / 19;
  const int r = static_cast<int>(d % 19);
  std::int64_t i = n - 1;
  if (r == 0) {
    for (; i >= whole; --i) m[i] = step(xm[i], ym[i - whole]);
  } else {
    const Word up = kPow10[19 - r];
    std::int64_t j = n - 1 - whole;
    Word rem_j;
    Word q_j = div_pow10(ym[j], r, &rem_j);
    for (; j >= 1; --i, --j) {
      Word rem_below;
      const Word q_below = div_pow10(ym[j - 1], r, &rem_below);
      m[i] = step(xm[i], q_j + rem_below * up);
      q_j = q_below;
    }
    m[i] = step(xm[i], q_j);
    --i;
  }
  for (; i >= 0; --i) m[i] = step(xm[i], 0);
}

// The digits of y that the same shift drops: the first 19 as a round limb, and whether any
// beyond them is non-zero.
Word shifted_out(const Word* ym, std::int64_t n, std::int64_t d, bool* sticky) {
  const std::int64_t whole = d / 19;
  const int r = static_cast<int>(d % 19);
  Word rem_j = 0, unused;
  if (r != 0) div_pow10(ym[n - 1 - whole], r, &rem_j);
  const Word up = r == 0 ? 0 : kPow10[19 - r];
  if (whole == 0) {
    *sticky = false;
    return rem_j * up;
  }
  // The round limb: the top 19 - r digits of y[n - whole] below the low r of y[n - 1 - whole];
  // beyond it, the low r digits of y[n - whole] and every later limb.
  Word low_r = 0;
  const Word top = r == 0 ? ym[n - whole] : div_pow10(ym[n - whole], r, &low_r);
  bool lost = low_r != 0;
  for (std::int64_t k = n - whole + 1; k < n && !lost; ++k) lost = ym[k] != 0;
  *sticky = lost;
  (void)unused;
  return top + rem_j * up;
}

}  // namespace

Word dec_add_sub(DecFloat* dst, const DecFloat* a, const DecFloat* b, int op) {
  const bool sa = dec_negative(a);
  const bool sb = dec_negative(b) != (op == 1);
  if (is_undefined(a) || is_undefined(b)) {
    make_undefined(dst);
    return 0;
  }
  if (is_zero(a)) {
    dec_copy(dst, b);
    dec_set_sign(dst, sb);
    return 0;
  }
  if (is_zero(b)) {
    dec_copy(dst, a);
    return 0;
  }
  if (is_infinity(a) || is_infinity(b)) {
    if (is_infinity(a) && is_infinity(b) && sa != sb) {
      make_undefined(dst, MathStatus::Undefined);
    } else if (is_infinity(a)) {
      make_infinity(dst, sa);
    } else {
      make_infinity(dst, sb);
    }
    return 0;
  }

  const std::int64_t n = g_arith.limb_count;
  const std::int64_t k = g_arith.top_digits;
  const std::int64_t ea = dec_exponent(a), eb = dec_exponent(b);
  const bool subtract = sa != sb;

  // x: the operand of larger magnitude (for addition: of larger exponent), y: the other.
  const DecFloat* x = a;
  const DecFloat* y = b;
  bool sx = sa;
  std::int64_t ex = ea, ey = eb;
  if (eb > ea || (subtract && eb == ea && limbs_compare(b + 1, a + 1, n) > 0)) {
    x = b;
    y = a;
    sx = sb;
    ex = eb;
    ey = ea;
  }

  if (n == 1) return add_sub_one_limb(dst, x[1], y[1], ex, ex - ey, sx, subtract, sa);

  ScratchScope scope;
  Word* m = scratch_alloc(static_cast<std::size_t>(n));  // result mantissa
  // ex - ey cannot overflow: both lie within +-(2^62 - 1).
  const std::int64_t d = ex - ey;
  bool sticky = false;
  Word rl;
  std::int64_t e = ex;

  const bool fused = d < 19 * n;
  Word* t = nullptr;  // y shifted, when the shift leaves nothing of it
  if (fused) {
    rl = shifted_out(y + 1, n, d, &sticky);
  } else {
    t = scratch_alloc(static_cast<std::size_t>(n));
    std::memcpy(m, x + 1, static_cast<std::size_t>(n) * sizeof(Word));
    std::memcpy(t, y + 1, static_cast<std::size_t>(n) * sizeof(Word));
    rl = limbs_shift_right(t, n, d, &sticky);
  }

  if (!subtract) {
    Word carry = 0;
    if (fused) {
      shifted_pass(m, x + 1, y + 1, n, d,
                   [&carry](Word xi, Word ti) { return limb_add(xi, ti, &carry); });
    } else {
      carry = limbs_add(m, t, n);
    }
    if (carry || m[0] >= kPow10[k]) {
      // One digit more than k at the top: shift right by one digit.
      Word low, unused;
      div_pow10(m[n - 1], 1, &low);
      rl = low * kPow10[18] + div_pow10(rl, 1, &unused);
      limbs_shift_right(m, n, 1, nullptr);
      if (carry) m[0] += kPow10[18];  // k = 19: the carry becomes the leading digit
      ++e;
    }
  } else {
    // Borrow through the round limb: 1 - tail, with the sticky digits taking one unit.
    Word borrow = 0;
    if (rl != 0 || sticky) {
      rl = kLimbBase - rl - (sticky ? 1 : 0);
      borrow = 1;
    }
    if (fused) {
      shifted_pass(m, x + 1, y + 1, n, d, [&borrow](Word xi, Word ti) {
        const Word sub = ti + borrow;  // <= 10^19
        borrow = xi < sub;
        return borrow ? xi + (kLimbBase - sub) : xi - sub;
      });
    } else {
      limbs_sub(m, t, n);
      if (borrow) {
        for (std::int64_t i = n - 1; i >= 0; --i) {
          if (m[i] > 0) {
            --m[i];
            break;
          }
          m[i] = kLimbBase - 1;
        }
      }
    }
    // Normalise: the top limb must have k digits again.
    const std::int64_t first = first_nonzero(m, n);
    if (first == n && rl == 0) {
      make_zero(dst, sa);
      return 0;
    }
    std::int64_t have;  // digits of the mantissa as it stands (within n limbs)
    if (first == n) {
      have = 0;
    } else {
      have = digit_count(m[first]) + 19 * (n - 1 - first);
    }
    const std::int64_t p = g_arith.precision;
    if (have < p) {
      std::int64_t shift;
      if (have == 0) {
        shift = p + 19 - digit_count(rl);  // everything comes from the round limb
      } else {
        shift = p - have;
      }
      if (shift > 19) {
        // The round limb moves in whole; more digits than it holds are zeros (exact: such a
        // shift happens only when y was not shifted, so the round limb is 0 or one digit).
        limbs_shift_left(m, n, shift, rl);
        rl = 0;
      } else {
        limbs_shift_left(m, n, shift, rl);
        Word keep;  // the round limb's digits that did not move in
        div_pow10(rl, static_cast<int>(19 - shift), &keep);
        rl = shift == 19 ? 0 : keep * kPow10[shift];
      }
      e -= shift;
    }
  }
  std::memcpy(dst + 1, m, static_cast<std::size_t>(n) * sizeof(Word));
  set_exponent_checked(dst, e, sx);
  return rl;
}
