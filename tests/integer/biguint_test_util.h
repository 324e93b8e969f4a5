// Helpers of the BigUInt tests: values as vectors, hexadecimal conversion written independently
// of the library, random operands of chosen shapes, and a fixture that restores the settings.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "core/decfloat.h"
#include "core/text.h"
#include "core/word_arith.h"
#include "integer/biguint.h"

namespace biguint_test {

using Limbs = std::vector<std::uint64_t>;

inline Limbs hex_to_limbs(std::string_view hex, std::int64_t n) {
  Limbs v(static_cast<std::size_t>(n), 0);
  std::int64_t bit = 0;
  for (std::int64_t i = static_cast<std::int64_t>(hex.size()) - 1; i >= 0; --i, bit += 4) {
    const char c = hex[static_cast<std::size_t>(i)];
    const std::uint64_t d = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
    if (d == 0) continue;
    if (bit / 64 >= n) {
      ADD_FAILURE() << "hex value longer than " << n << " limbs";
      break;
    }
    v[static_cast<std::size_t>(bit / 64)] |= d << (bit % 64);
  }
  return v;
}

inline std::string limbs_to_hex(const std::uint64_t* a, std::int64_t n) {
  static const char* digits = "0123456789abcdef";
  std::string s;
  for (std::int64_t i = n - 1; i >= 0; --i) {
    for (int b = 60; b >= 0; b -= 4) s.push_back(digits[(a[i] >> b) & 15]);
  }
  const std::size_t nz = s.find_first_not_of('0');
  return nz == std::string::npos ? "0" : s.substr(nz);
}
inline std::string hex(const Limbs& v) {
  return limbs_to_hex(v.data(), static_cast<std::int64_t>(v.size()));
}

inline Limbs from_u64(std::uint64_t x, std::int64_t n) {
  Limbs v(static_cast<std::size_t>(n), 0);
  v[0] = x;
  return v;
}

inline std::u16string u16(std::string_view s) {
  return std::u16string(s.begin(), s.end());
}
inline std::string narrow(const std::u16string& s) {
  std::string out;
  for (char16_t c : s) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

// Random value with exactly k significant limbs (k = 0 gives zero) in an n-limb array; shapes
// that stress carries and quotient estimates come up often.
inline Limbs random_value(std::mt19937_64& rng, std::int64_t k, std::int64_t n) {
  Limbs v(static_cast<std::size_t>(n), 0);
  if (k > n) ADD_FAILURE() << "random value of " << k << " limbs in " << n;
  if (k == 0 || k > n) return v;
  const int shape = static_cast<int>(rng() % 8);
  for (std::int64_t i = 0; i < k; ++i) {
    switch (shape) {
      case 0:
        v[i] = ~std::uint64_t{0};
        break;
      case 1:
        v[i] = rng() % 4 == 0 ? rng() : 0;
        break;
      case 2:
        v[i] = rng() % 2 ? ~std::uint64_t{0} : rng();
        break;
      default:
        v[i] = rng();
    }
  }
  if (v[k - 1] == 0) v[k - 1] = (rng() | 0x8000000000000000ULL) >> (rng() % 64);
  if (shape == 3) v[k - 1] = 0x8000000000000000ULL | (rng() & 0xff);
  if (shape == 4) v[k - 1] = 1;
  return v;
}

inline std::int64_t significant(const Limbs& v) {
  std::int64_t k = static_cast<std::int64_t>(v.size());
  while (k > 0 && v[k - 1] == 0) --k;
  return k;
}

inline bool is_zero(const Limbs& v) {
  return significant(v) == 0;
}

// Clean settings for every test: N = 2, no status, no stop request, default separators.
class BigUIntTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_limbs_ = BigUIntLimbs;
    saved_digits_ = BigUIntDigits;
    saved_settings_ = g_number_settings;
    biguint_set_limbs(2);
    clear_status();
    g_cancel_request.store(0);
    g_arith.cancel_flag = &g_cancel_request;
    mark_ = scratch_mark();
  }
  void TearDown() override {
    EXPECT_EQ(scratch_mark(), mark_) << "scratch stack not restored";
    scratch_release(mark_);
    BigUIntLimbs = saved_limbs_;
    BigUIntDigits = saved_digits_;
    g_number_settings = saved_settings_;
    g_cancel_request.store(0);
    clear_status();
  }
  static void set_n(std::int64_t n) {
    biguint_set_limbs(n);
    ASSERT_EQ(BigUIntLimbs, n);
  }
  static std::int64_t n() { return BigUIntLimbs; }
  static Limbs zeros() { return Limbs(static_cast<std::size_t>(BigUIntLimbs), 0); }
  static Limbs num(std::uint64_t x) { return from_u64(x, BigUIntLimbs); }
  static Limbs num(std::string_view hex_digits) { return hex_to_limbs(hex_digits, BigUIntLimbs); }
  static std::uint32_t status() { return g_arith.status; }

 private:
  std::int64_t saved_limbs_ = 2;
  std::uint64_t saved_digits_ = 38;
  NumberSettings saved_settings_;
  ScratchMark mark_ = nullptr;
};

}  // namespace biguint_test
