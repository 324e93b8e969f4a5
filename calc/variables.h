// The calculator's user variables: name rules, default names, and the VariableTable that a
// calculation reads, "ans" first. Values are stored with "." as the decimal point and no
// thousands separators; the table hands them over in the current separators.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "formula/variable_table.h"

inline constexpr std::size_t kMaxVariableNameLength = 10;

struct UserVariable {
  std::u16string name;
  std::u16string value;  // stored form
};

// Not "e", "i", "π", "pi" or "ans"; first a Latin letter, "_" or a Greek letter, then also
// decimal digits; at most 10 characters. The same characters make one identifier token.
bool is_valid_variable_name(std::u16string_view name);

// "var00".."var99": the smallest number no name of exactly that form uses; empty when all 100
// are taken.
std::u16string default_variable_name(const std::vector<UserVariable>& vars);

// A value as the user typed it into the stored form: thousands separators dropped, the decimal
// separator becoming ".".
std::u16string stored_variable_value(std::u16string_view typed);

// The table for one calculation. Its texts live in `storage`, which must outlive the table.
struct VariableTableStorage {
  std::u16string ans_name = u"ans";
  std::u16string ans_value;
  std::vector<std::u16string> values;
  VariableTable table;
};
void build_variable_table(VariableTableStorage& storage, std::u16string_view result_text,
                          const std::vector<UserVariable>& vars);

// `text` cut to `max` characters, the last becoming "…" when it was longer.
std::u16string cut_with_ellipsis(std::u16string_view text, std::size_t max);
// The list as the dialog loads it from the stored (name, value) pairs: at most 100 entries, an
// empty name becomes "var??", a name is cut to 10 and a value to kVariableValueLength characters.
inline constexpr std::size_t kVariableValueLength = 88661;
struct StoredVariable {
  std::u16string_view name;
  std::u16string_view value;
};
std::vector<UserVariable> load_user_variables(const std::vector<StoredVariable>& stored);
