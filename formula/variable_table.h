// The variables a formula can read: (name, value text) pairs in lookup order, the result
// variable "ans" first. Values are number texts, never formulas; an empty value counts as
// absent. The table and its texts belong to the caller and must outlive the evaluation.
#pragma once

#include <cstdint>

inline constexpr std::uint32_t kMaxUserVariables = 100;
inline constexpr std::uint32_t kMaxVariableTableEntries = kMaxUserVariables + 1;  // with "ans"

struct VariableEntry {
  const char16_t* name = nullptr;   // NUL-terminated
  const char16_t* value = nullptr;  // NUL-terminated; nullptr or "" means no value
};

struct VariableTable {
  std::uint32_t count = 0;
  VariableEntry entries[kMaxVariableTableEntries];
};
