#include "primes/factors.h"

#include <algorithm>
#include <array>

#include "app/app_error.h"
#include "app/messages.h"
#include "app/text_builder.h"
#include "primes/factor_engine.h"
#include "primes/prime_tables.h"
#include "primes/prime_test.h"
#include "primes/primes_run.h"

namespace {

constexpr MessageId kMsgNoPrimeFactors = 32;
constexpr MessageId kMsgDivisorPrefix = 33;
constexpr std::uint32_t kAppErrorFactorOverflow = 3100;
constexpr std::uint32_t kAppErrorTooManyFactors = 3101;
constexpr std::uint64_t kQuickTrialBound = 1 << 16;

void append_factor(FactorList& list, u128 p, std::int64_t m) {
  if (list.count < 0) return;
  if (list.count >= kMaxFactors) {
    list.count = -1;
    return;
  }
  list.factor[list.count] = p;
  list.multiplicity[list.count] = m;
  ++list.count;
}

std::int64_t divide_out(u128& y, u128 d) {
  std::int64_t m = 0;
  while (y % d == 0) {
    y /= d;
    ++m;
  }
  return m;
}

bool limb_count_ok(FactorList& list) {
  if (BigUIntLimbs == 2) return true;
  list.count = -1;
  set_app_error(kAppErrorInternal);
  return false;
}

// Trial division from the walk's position up to `limit` (or sqrt(y)): divides out each divisor
// found. True when y is now fully factored.
bool trial_walk(FactorList& list, u128& y, WheelWalk& walk, u128 limit) {
  Word limbs[2];
  while (y > 1) {
    const u128 s = isqrt_u128(y);
    bool found = false;
    for (std::uint64_t n = 0;; ++n) {
      if ((n & 1023) == 0 && prime_stop_requested()) return false;
      const std::uint64_t d = walk.next();
      if (d > s || walk.wrapped()) break;
      std::uint64_t rem = 1;
      u128_to_limbs(limbs, y);
      biguint_divmod_u64(nullptr, &rem, limbs, d, 0);
      if (rem == 0) {
        append_factor(list, d, divide_out(y, d));
        found = true;
        break;
      }
      if (d > limit) return false;
    }
    if (!found) {
      append_factor(list, y, 1);
      y = 1;
    }
  }
  return true;
}

void print_factor_line(const FactorsRunParams& p, u128 x, const FactorList& f) {
  std::u16string line;
  append_u128(line, x, p.flags);
  line += u" = ";
  if (f.count == 0) line += msg(kMsgNoPrimeFactors);
  for (std::int64_t i = 0; i < f.count; ++i) {
    if (i > 0) line += u" * ";
    append_u128(line, f.factor[i], p.flags);
    if (f.multiplicity[i] >= 2) {
      line += u'^';
      append_u128(line, static_cast<u128>(f.multiplicity[i]), p.flags);
    }
  }
  line += u"\r\n";
  p.output(line);
}

void print_divisor_line(const FactorsRunParams& p, u128 x, const DivisorList& d) {
  std::u16string line = msg(kMsgDivisorPrefix);
  append_u128(line, x, p.flags);
  line += u" = { ";
  for (std::size_t i = 0; i < d.values.size(); ++i) {
    if (i > 0) line += u", ";
    append_u128(line, d.values[i], p.flags);
  }
  line += u" }";
  if (p.show_count) {
    char16_t buffer[32];
    TextBuilder b{0, 31, buffer};
    format_text(b, u"  [%d]", static_cast<std::int32_t>(d.count));
    line.append(buffer, static_cast<std::size_t>(builder_stored(b)));
  }
  line += u"\r\n";
  p.output(line);
}

void too_many(const FactorsRunParams& p, u128 x) {
  std::u16string text;
  append_u128(text, x, p.flags);
  set_app_error(kAppErrorTooManyFactors, text.c_str());
}

}  // namespace

void factorize_trial_division(FactorList& list, const BigUInt* x) {
  list = FactorList{};
  if (!limb_count_ok(list)) return;
  u128 y = u128_from_biguint(x);
  if (y < 2) return;
  WheelWalk walk;
  trial_walk(list, y, walk, ~static_cast<u128>(0));
}

void factorize(FactorList& list, const BigUInt* x) {
  list = FactorList{};
  if (!limb_count_ok(list)) return;
  u128 y = u128_from_biguint(x);
  if (y < 2) return;
  WheelWalk walk;
  if (trial_walk(list, y, walk, kQuickTrialBound) || prime_stop_requested()) return;
  std::vector<u128> primes;
  if (!factor_completely(y, primes, PrimeClock::now() + kFactorTimeLimit)) {
    if (!prime_stop_requested()) trial_walk(list, y, walk, ~static_cast<u128>(0));
    return;
  }
  std::sort(primes.begin(), primes.end());
  primes.erase(std::unique(primes.begin(), primes.end()), primes.end());
  for (u128 p : primes) append_factor(list, p, divide_out(y, p));
}

void divisor_insert(DivisorList& list, u128 value) {
  if (list.count < 0) return;
  if (list.count >= kMaxDivisors) {
    list.count = -1;
    return;
  }
  // After the last entry that is not greater.
  const auto at = std::upper_bound(list.values.begin(), list.values.end(), value);
  list.values.insert(at, value);
  list.count = static_cast<std::int64_t>(list.values.size());
}

void enumerate_divisors(DivisorList& list, const FactorList& factors) {
  list.values.clear();
  list.values.reserve(64);
  list.count = 0;
  divisor_insert(list, 1);
  if (factors.count <= 0) {
    if (factors.count < 0) list.count = -1;
    return;
  }
  const auto k = static_cast<std::size_t>(factors.count);
  struct Record {
    u128 value;
    std::array<std::uint8_t, kMaxFactors> left;
  };
  std::vector<Record> current, next;
  for (std::size_t i = 0; i < k; ++i) {
    if (factors.multiplicity[i] < 1 || factors.multiplicity[i] > 255) {
      list.count = -1;
      return;
    }
  }
  for (std::size_t i = 0; i < k; ++i) {
    Record r{factors.factor[i], {}};
    for (std::size_t j = 0; j < k; ++j) {
      r.left[j] = static_cast<std::uint8_t>(factors.multiplicity[j] - (i == j ? 1 : 0));
    }
    current.push_back(r);
    divisor_insert(list, r.value);
  }
  while (!current.empty() && list.count >= 0) {
    next.clear();
    std::vector<u128> values;
    for (const Record& r : current) {
      for (std::size_t j = 0; j < k && list.count >= 0; ++j) {
        if (r.left[j] == 0) continue;
        const u128 w = r.value * factors.factor[j];
        const auto at = std::lower_bound(values.begin(), values.end(), w);
        if (at != values.end() && *at == w) continue;
        if (next.size() >= kMaxGeneration) {
          list.count = -1;
          return;
        }
        values.insert(at, w);
        Record n = r;
        n.value = w;
        --n.left[j];
        next.push_back(n);
        divisor_insert(list, w);
      }
    }
    current.swap(next);
  }
}

void factors_run(const FactorsRunParams& p) {
  {
    ContextScope size(ContextScope::kSizes);
    biguint_set_limbs(2);
    u128 x = p.start;
    for (std::int32_t i = 0; i < p.size && !prime_stop_requested(); ++i) {
      FactorList f;
      Word limbs[2];
      u128_to_limbs(limbs, x);
      factorize(f, limbs);
      if (math_status() != MathStatus::Ok) {
        finish_run_status(kAppErrorFactorOverflow);
        break;
      }
      if (prime_stop_requested()) break;
      if (f.count < 0) {
        too_many(p, x);
        break;
      }
      if (p.divisors) {
        DivisorList d;
        enumerate_divisors(d, f);
        if (d.count < 0) {
          too_many(p, x);
          break;
        }
        print_divisor_line(p, x, d);
      } else {
        print_factor_line(p, x, f);
      }
      // Stepping past 2^128 - 1 matters only when another number follows.
      if (i + 1 < p.size) {
        if (x == ~static_cast<u128>(0)) {
          set_status(MathStatus::Overflow);
        }
        ++x;
      }
    }
  }
  finish_run_status(kAppErrorFactorOverflow);
}
