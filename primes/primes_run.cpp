#include "primes/primes_run.h"

#include <array>

#include "app/app_error.h"
#include "app/messages.h"
#include "app/text_builder.h"
#include "primes/prime_test.h"

namespace {

constexpr MessageId kMsgIsPrime = 42;
constexpr MessageId kMsgIsNotPrime = 43;
constexpr MessageId kMsgPrimesFrom = 44;
constexpr MessageId kMsgTo = 45;
constexpr MessageId kMsgNextPrime = 46;
constexpr MessageId kMsgPrimeCount = 47;
constexpr std::uint32_t kAppErrorPrimeOverflow = 3000;

using Limbs = std::array<Word, kMaxPrimeLimbs + 1>;

bool run_stopped() {
  return prime_stop_requested() || math_status() != MathStatus::Ok;
}

// Collects the primes of one run with ", " between them.
class PrimeList {
 public:
  explicit PrimeList(const PrimesRunParams& p) : p_(p) {}
  void add(const BigUInt* x) {
    std::u16string piece;
    if (count_ > 0) piece = u", ";
    append_number(piece, x, p_.flags);
    p_.output(piece);
    ++count_;
  }
  std::int64_t count() const { return count_; }

 private:
  const PrimesRunParams& p_;
  std::int64_t count_ = 0;
};

void print_verdict(const PrimesRunParams& p, const BigUInt* x, bool prime) {
  if (run_stopped()) return;
  std::u16string text;
  append_number(text, x, p.flags);
  text += msg(prime ? kMsgIsPrime : kMsgIsNotPrime);
  text += u"\r\n";
  p.output(text);
}

void print_header(const PrimesRunParams& p, const BigUInt* x) {
  std::u16string text;
  if (p.mode == PrimeMode::NextPrime) {
    text = msg(kMsgNextPrime);
    text += u"\r\n";
    p.output(text);
    return;
  }
  text = msg(kMsgPrimesFrom);
  append_number(text, x, p.flags);
  text += msg(kMsgTo);
  Limbs last{};
  biguint_add_u64(last.data(), x, static_cast<std::uint64_t>(p.size - 1));
  if (math_status() != MathStatus::Ok) {
    p.output(text);
    return;
  }
  append_number(text, last.data(), p.flags);
  text += u":\r\n{ ";
  p.output(text);
}

void print_count(const PrimesRunParams& p, std::int64_t count) {
  if (p.mode != PrimeMode::Interval || run_stopped()) return;
  std::u16string buffer(200, u'\0');
  TextBuilder b{0, 199, buffer.data()};
  format_text(b, u" }\r\n%s %d\r\n", msg(kMsgPrimeCount), static_cast<std::int32_t>(count));
  p.output(std::u16string_view(buffer.data(), static_cast<std::size_t>(builder_stored(b))));
}

void load_start(BigUInt* x, const PrimesRunParams& p) {
  biguint_zero(x);
  for (std::int64_t i = 0; i < BigUIntLimbs && i < static_cast<std::int64_t>(p.start.size()); ++i) {
    x[i] = p.start[static_cast<std::size_t>(i)];
  }
}

}  // namespace

void finish_run_status(std::uint32_t overflow_code) {
  const MathStatus s = math_status();
  if (s == MathStatus::Cancelled) {
    set_app_error(kAppErrorStopped);
  } else if (s == MathStatus::BufferTooSmall) {
    set_app_error(kAppErrorBufferOverflow);
  } else if (s == MathStatus::InternalLimit) {
    set_app_error(kAppErrorInternal);
  } else if (s != MathStatus::Ok) {
    set_app_error(overflow_code);
  }
  clear_status();
  if (cancel_requested()) set_app_error(kAppErrorStopped);
}

void primes_run_exact(const PrimesRunParams& p) {
  Limbs x{};
  load_start(x.data(), p);
  if (p.mode == PrimeMode::Test) {
    const PrimeVerdict v = prime_test_exact(x.data());
    if (v != PrimeVerdict::Unknown) print_verdict(p, x.data(), v == PrimeVerdict::Prime);
    return;
  }
  print_header(p, x.data());
  if (math_status() != MathStatus::Ok) return;
  PrimeList list(p);
  std::int64_t remaining = p.size;
  bool two = false;
  if (biguint_significant_limbs(x.data()) <= 1 && x[0] == 1) {
    two = p.size >= 2;
    biguint_set_u64(x.data(), 3);
    remaining -= 2;
  } else {
    two = biguint_significant_limbs(x.data()) <= 1 && x[0] == 2;
    if ((x[0] & 1) == 0) {
      biguint_add_u64(x.data(), x.data(), 1);
      remaining -= 1;
    }
  }
  if (two) {
    Limbs t{};
    biguint_set_u64(t.data(), 2);
    list.add(t.data());
    if (p.mode == PrimeMode::NextPrime) return;
  }
  // Odd candidates only; each is decided by the exact test, whose trial division by the small
  // primes acts as the sieve.
  while (remaining >= 1 && math_status() == MathStatus::Ok) {
    const PrimeVerdict v = prime_test_exact(x.data());
    if (v == PrimeVerdict::Unknown || run_stopped()) return;
    if (v == PrimeVerdict::Prime) {
      list.add(x.data());
      if (p.mode == PrimeMode::NextPrime) return;
    }
    remaining -= 2;
    if (remaining < 1) break;
    biguint_add_u64(x.data(), x.data(), 2);
  }
  print_count(p, list.count());
}

void primes_run_probabilistic(const PrimesRunParams& p) {
  Limbs x{};
  load_start(x.data(), p);
  if (p.mode == PrimeMode::Test) {
    const int v = prime_test_probabilistic(x.data());
    print_verdict(p, x.data(), v == 0);
    return;
  }
  print_header(p, x.data());
  if (math_status() != MathStatus::Ok) return;
  PrimeList list(p);
  for (std::int64_t i = 0; i < p.size; ++i) {
    if (run_stopped()) return;
    if (prime_test_probabilistic(x.data()) == 0 && !run_stopped()) {
      list.add(x.data());
      if (p.mode == PrimeMode::NextPrime) return;
    }
    if (i + 1 < p.size) biguint_add_u64(x.data(), x.data(), 1);
  }
  print_count(p, list.count());
}

void primes_run(const PrimesRunParams& params) {
  {
    ContextScope size(ContextScope::kSizes);
    biguint_set_limbs(primes_method_limbs(params.method));
    if (params.method == PrimeMethod::Exact) {
      primes_run_exact(params);
    } else {
      primes_run_probabilistic(params);
    }
  }
  finish_run_status(kAppErrorPrimeOverflow);
}
