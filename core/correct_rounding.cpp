// The decision of Ziv's loop and its retry counter.
#include "core/correct_rounding.h"

#include "core/word_arith.h"

namespace {
thread_local constinit std::uint64_t g_ziv_retries = 0;
}

bool rounding_decided(Word rl, std::int64_t g, std::uint64_t bound) {
  // The dropped digits D lie in [rl, rl + 1) units of 10^-19 (exactly rl when g <= 19); the
  // exact value lies within t = bound * 10^(19 - g) of the same scale, rounded up to a whole
  // unit. D must stay more than t away from the midpoint 5 * 10^18 on either side.
  unsigned __int128 t;
  if (g <= 19) {
    t = static_cast<unsigned __int128>(bound) * kPow10[19 - g];
  } else if (g - 19 >= 19) {
    t = 1;
  } else {
    const Word scale = kPow10[g - 19];
    t = bound / scale + (bound % scale != 0 ? 1 : 0);
    if (t == 0) t = 1;
  }
  if (t >= kHalfLimb) return false;
  const Word tw = static_cast<Word>(t);
  if (rl >= kHalfLimb) return rl - kHalfLimb > tw;
  return kHalfLimb - rl > tw + 1;
}

std::uint64_t ziv_retry_count() {
  return g_ziv_retries;
}
void reset_ziv_retry_count() {
  g_ziv_retries = 0;
}
void count_ziv_retry() {
  ++g_ziv_retries;
}
