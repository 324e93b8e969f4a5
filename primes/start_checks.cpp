#include "primes/start_checks.h"

#include <array>
#include <string>

#include "app/app_error.h"
#include "app/text_builder.h"
#include "integer/biguint_text.h"

namespace {

void refuse(std::u16string_view text) {
  const std::u16string shown(text.substr(0, static_cast<std::size_t>(kAppErrorParamLength) + 1));
  set_app_error(kAppErrorInvalidInput, shown.c_str());
}

// Parses at the current N; false for any parse failure.
bool parse(std::u16string_view text, std::uint32_t flags, BigUInt* out) {
  const std::uint32_t saved = g_arith.status;
  clear_status();
  biguint_parse(out, text.data(), static_cast<std::int64_t>(text.size()), flags);
  const bool ok = math_status() == MathStatus::Ok;
  g_arith.status = saved;
  return ok;
}

// A value of one limb below `limit` (exclusive), read at N = 2; 0 on failure.
std::uint64_t parse_small(std::u16string_view text, std::uint32_t flags, std::uint64_t limit) {
  ContextScope two(ContextScope::kSizes);
  biguint_set_limbs(2);
  Word v[2] = {};
  if (!parse(text, flags, v) || v[1] != 0 || v[0] >= limit) return 0;
  return v[0];
}

}  // namespace

std::uint32_t number_read_flags(bool hex) {
  return kAllowGrouping | (hex ? 16u : 0u);
}

std::uint32_t number_write_flags(bool hex, bool group) {
  return (group ? kAllowGrouping : 0u) | (hex ? 16u : 0u);
}

bool read_start_number(std::u16string_view text, std::uint32_t read_flags, BigUInt* out) {
  const auto limit = static_cast<std::size_t>(biguint_text_size(read_flags) - 1);
  if (text.size() > limit) {
    std::u16string cut(text.substr(0, limit));
    cut.back() = kEllipsis;
    refuse(cut);
    biguint_zero(out);
    return false;
  }
  if (!parse(text, read_flags, out) || biguint_is_zero(out)) {
    refuse(text);
    biguint_zero(out);
    return false;
  }
  return true;
}

bool read_primes_interval_size(std::u16string_view text, std::uint32_t read_flags,
                               std::int64_t& out) {
  const std::uint64_t v =
      parse_small(text, read_flags, static_cast<std::uint64_t>(kMaxPrimesIntervalSize) + 1);
  if (v == 0) {
    refuse(text);
    return false;
  }
  out = static_cast<std::int64_t>(v);
  return true;
}

bool read_factors_interval_size(std::u16string_view text, std::uint32_t read_flags,
                                std::int32_t& out) {
  if (text.find_first_not_of(u" \t") == std::u16string_view::npos) {
    out = 1;
    return true;
  }
  const std::uint64_t v =
      parse_small(text, read_flags, static_cast<std::uint64_t>(kMaxFactorsIntervalSize) + 1);
  if (v == 0) {
    refuse(text);
    return false;
  }
  out = static_cast<std::int32_t>(v);
  return true;
}
