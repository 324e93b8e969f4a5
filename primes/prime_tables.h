// The built-in tables of trial division, computed at compile time from their rules:
// SmallPrimes holds the 168 primes below 1000; WheelGaps walks the trial divisors 2, 3, 5, 7,
// 11, 13, 17 (entries 0-6, starting from 1) and then every integer coprime to
// 30030 = 2*3*5*7*11*13 from 17 on (entries 7-5766, which add up to 30030 and repeat).
#pragma once

#include <array>
#include <cstdint>

inline constexpr int kSmallPrimeCount = 168;
inline constexpr int kWheelGapCount = 5767;
inline constexpr int kWheelRepeat = 7;  // the walk continues here after the last entry
inline constexpr std::uint64_t kWheelModulus = 30030;

namespace primes_detail {

constexpr std::array<std::uint16_t, kSmallPrimeCount> make_small_primes() {
  std::array<std::uint16_t, kSmallPrimeCount> out{};
  int count = 0;
  for (std::uint16_t n = 2; n < 1000; ++n) {
    bool prime = true;
    for (std::uint16_t d = 2; d * d <= n; ++d) {
      if (n % d == 0) {
        prime = false;
        break;
      }
    }
    if (prime) out[count++] = n;
  }
  return out;
}

constexpr bool coprime_to_wheel(std::uint64_t n) {
  return n % 2 != 0 && n % 3 != 0 && n % 5 != 0 && n % 7 != 0 && n % 11 != 0 && n % 13 != 0;
}

constexpr std::array<std::uint8_t, kWheelGapCount> make_wheel_gaps() {
  std::array<std::uint8_t, kWheelGapCount> out{1, 1, 2, 2, 4, 2, 4};
  int count = kWheelRepeat;
  std::uint64_t prev = 17;
  for (std::uint64_t n = 18; count < kWheelGapCount; ++n) {
    if (coprime_to_wheel(n)) {
      out[count++] = static_cast<std::uint8_t>(n - prev);
      prev = n;
    }
  }
  return out;
}

}  // namespace primes_detail

inline constexpr std::array<std::uint16_t, kSmallPrimeCount> SmallPrimes =
    primes_detail::make_small_primes();
inline constexpr std::array<std::uint8_t, kWheelGapCount> WheelGaps =
    primes_detail::make_wheel_gaps();

// One walk over the wheel's trial divisors: 2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37, 41, ...
// Every prime appears; the composites among the divisors have a smaller prime factor that the
// walk has already tried. wrapped() tells that the 64-bit divisor has passed 2^64.
class WheelWalk {
 public:
  std::uint64_t next() {
    const std::uint64_t before = d_;
    d_ += WheelGaps[static_cast<std::size_t>(index_)];
    if (d_ < before) wrapped_ = true;
    if (++index_ == kWheelGapCount) index_ = kWheelRepeat;
    return d_;
  }
  bool wrapped() const { return wrapped_; }
  std::uint64_t divisor() const { return d_; }

 private:
  std::uint64_t d_ = 1;
  int index_ = 0;
  bool wrapped_ = false;
};
