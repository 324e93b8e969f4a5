// The decision of Ziv's loop and its retry counter.
#include "core/correct_rounding.h"

#include "core/limbs.h"
#include "core/word_arith.h"

namespace {
thread_local constinit std::uint64_t g_ziv_retries = 0;
}

bool rounding_decided(const DecFloat* wide, std::int64_t p, std::uint64_t bound) {
  // The digits of wide from place p on, read as the fraction D of a unit at p: undecided when
  // |D - 1/2| <= bound 10^-g. With k the digits of bound, that takes a first digit 4 or 5,
  // then g - 1 - k nines or zeros, and a last k digits within bound of 10^k or of 0.
  const std::int64_t end = g_arith.precision;
  const int k = digit_count(bound);
  if (end - p <= k) return false;
  const Word* m = wide + 1;
  const int d0 = mantissa_digit(m, p);
  if (d0 != 4 && d0 != 5) return true;
  const int fill = d0 == 5 ? 0 : 9;
  for (std::int64_t i = p + 1; i < end - k; ++i) {
    if (mantissa_digit(m, i) != fill) return true;
  }
  Word tail = 0;
  for (std::int64_t i = end - k; i < end; ++i)
    tail = tail * 10 + static_cast<Word>(mantissa_digit(m, i));
  return d0 == 5 ? tail > bound : kPow10[k] - tail > bound;
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
