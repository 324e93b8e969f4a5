// The BigUInt size settings, plain access, sums, differences, products and shifts.
#include "integer/biguint.h"

#include "integer/biguint_internal.h"

namespace bl = binary_limbs;
using biguint_detail::current_limbs;
using biguint_detail::Len;
using biguint_detail::Limb;
using biguint_detail::scratch_limbs;

static_assert(biguint_digits_of_limbs(2) == 38, "the context starts with 2 limbs of 38 digits");

static_assert(biguint_digits_of_limbs(2) == 38 && biguint_digits_of_limbs(26) == 500 &&
              biguint_digits_of_limbs(65) == 1252);
static_assert(biguint_limbs_of_digits(20000) == 1039 && biguint_limbs_of_digits(10000) == 520);
static_assert(biguint_limbs_of_digits(kMaxBigUIntDigits) == kMaxBigUIntLimbs &&
              biguint_limbs_of_digits(kMaxBigUIntDigits + 1) == kMaxBigUIntLimbs + 1);

void biguint_set_limbs(std::int64_t limbs) {
  if (limbs < 1 || limbs > kMaxBigUIntLimbs) {
    set_status(MathStatus::InvalidSetting);
    return;
  }
  BigUIntLimbs = limbs;
  BigUIntDigits = biguint_digits_of_limbs(limbs);
}

void biguint_set_digits(std::uint64_t digits) {
  if (digits == 0 || digits > kMaxBigUIntDigits) {
    set_status(MathStatus::InvalidSetting);
    return;
  }
  BigUIntDigits = digits;
  BigUIntLimbs = biguint_limbs_of_digits(digits);
}

// --- plain access ------------------------------------------------------------------------------

void biguint_zero(BigUInt* r) {
  if (const Len n = current_limbs()) bl::zero(r, n);
}

void biguint_copy(BigUInt* r, const BigUInt* a) {
  if (const Len n = current_limbs()) bl::copy(r, a, n);
}

void biguint_set_u64(BigUInt* r, std::uint64_t v) {
  if (const Len n = current_limbs()) {
    bl::zero(r, n);
    r[0] = v;
  }
}

bool biguint_is_zero(const BigUInt* a) {
  const Len n = current_limbs();
  return n != 0 && bl::significant(a, n) == 0;
}

int biguint_compare(const BigUInt* a, const BigUInt* b) {
  const Len n = current_limbs();
  return n == 0 ? 0 : bl::compare_n(a, b, n);
}

std::int64_t biguint_bit_length(const BigUInt* a) {
  const Len n = current_limbs();
  return n == 0 ? 0 : bl::bit_length(a, n);
}

std::int64_t biguint_significant_limbs(const BigUInt* a) {
  const Len n = current_limbs();
  return n == 0 ? 0 : bl::significant(a, n);
}

// --- sums and differences ------------------------------------------------------------------------

void biguint_resize(BigUInt* dst, std::int64_t dst_limbs, const BigUInt* src,
                    std::int64_t src_limbs) {
  if (dst_limbs <= 0 || src_limbs <= 0) {
    set_status(MathStatus::InvalidSetting);
    return;
  }
  if (src_limbs > dst_limbs && bl::significant(src + dst_limbs, src_limbs - dst_limbs) != 0) {
    bl::zero(dst, dst_limbs);
    set_status(MathStatus::Overflow);
    return;
  }
  const Len kept = src_limbs < dst_limbs ? src_limbs : dst_limbs;
  bl::copy(dst, src, kept);  // memmove: the arrays may overlap
  bl::zero(dst + kept, dst_limbs - kept);
}

namespace {

void fail_overflow(BigUInt* r, Len n) {
  bl::zero(r, n);
  set_status(MathStatus::Overflow);
}

}  // namespace

void biguint_add(BigUInt* r, const BigUInt* a, const BigUInt* b) {
  const Len n = current_limbs();
  if (n == 0) return;
  if (bl::add_n(r, a, b, n) != 0) fail_overflow(r, n);
}

void biguint_add_u64(BigUInt* r, const BigUInt* a, std::uint64_t k) {
  const Len n = current_limbs();
  if (n == 0) return;
  if (bl::add_1(r, a, n, k) != 0) fail_overflow(r, n);
}

void biguint_sub(BigUInt* r, const BigUInt* a, const BigUInt* b) {
  const Len n = current_limbs();
  if (n == 0) return;
  if (bl::sub_n(r, a, b, n) != 0) fail_overflow(r, n);
}

void biguint_decrement(BigUInt* r, const BigUInt* a) {
  const Len n = current_limbs();
  if (n == 0) return;
  if (bl::sub_1(r, a, n, 1) != 0) fail_overflow(r, n);
}

// --- products
// -------------------------------------------------------------------------------------

void biguint_mul(BigUInt* r, const BigUInt* a, const BigUInt* b) {
  const Len n = current_limbs();
  if (n == 0) return;
  const Len la = bl::significant(a, n), lb = bl::significant(b, n);
  if (la == 0 || lb == 0) {
    bl::zero(r, n);
    return;
  }
  // A product of la + lb significant limbs has la + lb - 1 or la + lb limbs: more than N + 1
  // cannot fit, exactly N + 1 fits only when its top limb is zero.
  if (la + lb > n + 1) {
    fail_overflow(r, n);
    return;
  }
  // Small products (the two-limb prime work) stay off the scratch stack.
  Limb small[8];
  ScratchScope scope;
  Limb* t = la + lb <= 8 ? small : scratch_limbs(la + lb);
  if (la >= lb) {
    bl::mul(t, a, la, b, lb);
  } else {
    bl::mul(t, b, lb, a, la);
  }
  if (la + lb == n + 1 && t[n] != 0) {
    fail_overflow(r, n);
    return;
  }
  const Len kept = la + lb < n ? la + lb : n;
  bl::copy(r, t, kept);
  bl::zero(r + kept, n - kept);
}

void biguint_mul_wide(BigUInt* r2, const BigUInt* a, const BigUInt* b) {
  const Len n = current_limbs();
  if (n == 0) return;
  const Len la = bl::significant(a, n), lb = bl::significant(b, n);
  if (la == 0 || lb == 0) {
    bl::zero(r2, 2 * n);
    return;
  }
  ScratchScope scope;
  Limb* t = scratch_limbs(la + lb);
  if (la >= lb) {
    bl::mul(t, a, la, b, lb);
  } else {
    bl::mul(t, b, lb, a, la);
  }
  bl::copy(r2, t, la + lb);
  bl::zero(r2 + la + lb, 2 * n - la - lb);
}

void biguint_mul_u64(BigUInt* r, const BigUInt* a, std::uint64_t k) {
  const Len n = current_limbs();
  if (n == 0) return;
  if (bl::mul_1(r, a, n, k) != 0) fail_overflow(r, n);
}

// --- shifts and powers of two
// ---------------------------------------------------------------------

void biguint_shr_small(BigUInt* r, std::uint64_t* lost, const BigUInt* a, std::uint64_t s) {
  const Len n = current_limbs();
  if (n == 0) return;
  Limb out = 0;
  if (s == 0) {
    bl::copy(r, a, n);
  } else if (s < 64) {
    out = bl::rshift(r, a, n, static_cast<unsigned>(s)) >> (64 - s);
  } else if (s == 64) {
    out = a[0];
    bl::copy(r, a + 1, n - 1);
    r[n - 1] = 0;
  } else {
    bl::zero(r, n);
    set_status(MathStatus::Undefined);
  }
  if (lost) *lost = out;
}

void biguint_shr(BigUInt* r, const BigUInt* a, std::int64_t s) {
  const Len n = current_limbs();
  if (n == 0) return;
  if (s < 0) {
    bl::zero(r, n);
    set_status(MathStatus::Undefined);
    return;
  }
  if (s >= 64 * n) {
    bl::zero(r, n);
    return;
  }
  const Len q = s / 64;
  const unsigned bits = static_cast<unsigned>(s % 64);
  // Limb i of r comes from limbs q + i and above, so writing upwards is safe when r is a.
  if (bits != 0) {
    bl::rshift(r, a + q, n - q, bits);
  } else {
    bl::copy(r, a + q, n - q);
  }
  bl::zero(r + n - q, q);
}

void biguint_shl_small(BigUInt* r, const BigUInt* a, std::int64_t s, bool check) {
  const Len n = current_limbs();
  if (n == 0) return;
  if (s < 1 || s > 63) {
    bl::zero(r, n);
    set_status(MathStatus::Undefined);
    return;
  }
  const Limb out = bl::lshift(r, a, n, static_cast<unsigned>(s));
  if (check && out != 0) fail_overflow(r, n);
}

void biguint_pow2(BigUInt* r, const BigUInt* e) {
  const Len n = current_limbs();
  if (n == 0) return;
  if (bl::significant(e, n) > 1 || e[0] >= static_cast<std::uint64_t>(64 * n)) {
    fail_overflow(r, n);
    return;
  }
  const std::uint64_t bit = e[0];
  bl::zero(r, n);
  r[bit / 64] = Limb{1} << (bit % 64);
}

void biguint_pow2_i64(BigUInt* r, std::int64_t e) {
  const Len n = current_limbs();
  if (n == 0) return;
  if (e < 0) {
    bl::zero(r, n);
    set_status(MathStatus::Undefined);
    return;
  }
  if (e >= 64 * n) {
    fail_overflow(r, n);
    return;
  }
  bl::zero(r, n);
  r[e / 64] = Limb{1} << (e % 64);
}
