// Helpers shared by the BigUInt sources: the size check every public entry makes, the
// saved-status guard, scratch temporaries and the exact powers used by several operations.
#pragma once

#include <cstdint>

#include "core/decfloat.h"
#include "integer/biguint.h"
#include "integer/binary_limbs.h"

namespace biguint_detail {

using binary_limbs::Len;
using binary_limbs::Limb;

// N for the current call, or 0 (after setting status 100) when the setting is out of range.
inline Len current_limbs() {
  const std::int64_t n = BigUIntLimbs;
  if (n < 1 || n > kMaxBigUIntLimbs) {
    set_status(MathStatus::InvalidSetting);
    return 0;
  }
  return n;
}

inline Limb* scratch_limbs(Len n) {
  return scratch_alloc(static_cast<std::size_t>(n));
}

// x^e into r, which has room for `cap` limbs; x has nx significant limbs (nx >= 1), e >= 1.
// Returns the significant length of the result, or -1 when it needs more than `cap` limbs
// (found from the growing length, so an oversized power costs little).
Len pow_bounded(Limb* r, Len cap, const Limb* x, Len nx, std::uint64_t e);

// Floor of the k-th root of a (na significant limbs, na >= 1, k >= 2) into r, which has room for
// na limbs. Returns whether the root is exact.
bool root_floor(Limb* r, const Limb* a, Len na, std::uint64_t k);

}  // namespace biguint_detail
