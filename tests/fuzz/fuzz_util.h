// Pieces the fuzz targets share: bytes to UTF-16 text, the precision of an input, and a
// watchdog that raises the stop request when one input runs too long.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "core/decfloat.h"
#include "integer/biguint.h"

namespace fuzz {

// UTF-8 where the bytes form 2- and 3-byte sequences; any other byte becomes the code unit of
// the same value, so every UTF-16 code unit (lone surrogates and NUL too) can be reached.
inline std::u16string utf16_of(const std::uint8_t* s, std::size_t n) {
  std::u16string out;
  out.reserve(n);
  for (std::size_t i = 0; i < n;) {
    const std::uint8_t c = s[i];
    if (c >= 0xE0 && c < 0xF0 && i + 2 < n && (s[i + 1] & 0xC0) == 0x80 &&
        (s[i + 2] & 0xC0) == 0x80) {
      out.push_back(
          static_cast<char16_t>(((c & 0x0F) << 12) | ((s[i + 1] & 0x3F) << 6) | (s[i + 2] & 0x3F)));
      i += 3;
    } else if (c >= 0xC0 && c < 0xE0 && i + 1 < n && (s[i + 1] & 0xC0) == 0x80) {
      out.push_back(static_cast<char16_t>(((c & 0x1F) << 6) | (s[i + 1] & 0x3F)));
      i += 2;
    } else {
      out.push_back(c);
      i += 1;
    }
  }
  return out;
}

// Command-line arguments: `args` followed by the NUL-separated pieces of the bytes.
inline std::vector<std::string> append_arguments(std::vector<std::string> args,
                                                 const std::uint8_t* s, std::size_t n) {
  std::string current;
  for (std::size_t i = 0; i < n; ++i) {
    if (s[i] == 0) {
      args.push_back(current);
      current.clear();
    } else {
      current.push_back(static_cast<char>(s[i]));
    }
  }
  args.push_back(current);
  return args;
}

// The precision of one input from two bytes: mostly 1 ... 64 digits, one input in eight at
// 1,000 ... 10,005 digits, where the long-number paths run.
inline std::int64_t digits_of(std::uint8_t a, std::uint8_t b) {
  const unsigned v = (unsigned{a} << 8) | b;
  if (a < 0xE0) return 1 + v % 64;
  return 1000 + v % (kMaxPrecision - 1000 + 1);
}

// BigUInt sizes to match: 1 ... 8 limbs, or the limbs that hold the large digit counts.
inline void set_integer_size(std::uint8_t a, std::uint8_t b) {
  if (a < 0xE0) {
    biguint_set_limbs(1 + b % 8);
  } else {
    biguint_set_digits(static_cast<std::uint64_t>(digits_of(a, b)));
  }
}

// Raises a stop flag (its own `stop`, or the one given) when an input has run for more than
// `limit_ms`; inputs mark their start and end.
class Watchdog {
 public:
  explicit Watchdog(int limit_ms, std::atomic<std::uint8_t>* flag = nullptr)
      : limit_ms_(limit_ms), flag_(flag != nullptr ? flag : &stop) {
    std::thread([this] {
      for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const std::int64_t t = started_.load();
        if (t != 0 && now_ms() - t > limit_ms_) flag_->store(1);
      }
    }).detach();
  }
  void begin() {
    flag_->store(0);
    started_.store(now_ms());
  }
  void end() { started_.store(0); }
  std::atomic<std::uint8_t> stop{0};

 private:
  static std::int64_t now_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  }
  int limit_ms_;
  std::atomic<std::uint8_t>* flag_;
  std::atomic<std::int64_t> started_{0};
};

}  // namespace fuzz
