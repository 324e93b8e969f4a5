// Shared setup of the number theory tests: English texts, N = 2, no status, no pending message,
// an independent sieve, and decimal conversion of 128-bit values.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "app/app_error.h"
#include "app/messages.h"
#include "core/decfloat.h"
#include "integer/biguint.h"
#include "primes/u128_math.h"

inline std::string u128_decimal(u128 v) {
  if (v == 0) return "0";
  std::string s;
  while (v != 0) {
    s.insert(s.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
    v /= 10;
  }
  return s;
}

inline u128 u128_parse(const std::string& s) {
  u128 v = 0;
  for (char c : s) v = v * 10 + static_cast<unsigned>(c - '0');
  return v;
}

// Smallest prime factor of every n below limit (0 and 1 map to themselves).
inline std::vector<std::uint32_t> smallest_factor_sieve(std::uint32_t limit) {
  std::vector<std::uint32_t> spf(limit);
  for (std::uint32_t i = 0; i < limit; ++i) spf[i] = i;
  for (std::uint32_t i = 2; i * i < limit; ++i) {
    if (spf[i] != i) continue;
    for (std::uint32_t j = i * i; j < limit; j += i) {
      if (spf[j] == j) spf[j] = i;
    }
  }
  return spf;
}

// "kind value" lines of tests/data/primes_reference.txt.
inline std::vector<std::pair<std::string, u128>> reference_values() {
  std::vector<std::pair<std::string, u128>> out;
  std::ifstream in(std::string(NUMERION_TEST_DATA) + "/primes_reference.txt");
  std::string kind, value;
  while (in >> kind >> value) out.emplace_back(kind, u128_parse(value));
  return out;
}

class PrimesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    arith_reset();
    load_texts(kLanguageEnglish);
    biguint_set_limbs(2);
    clear_app_error();
    g_cancel_request.store(0);
    g_arith.cancel_flag = &g_cancel_request;
  }
  void TearDown() override {
    clear_app_error();
    g_cancel_request.store(0);
  }
  static void set(Word* limbs, u128 v) { u128_to_limbs(limbs, v); }
};
