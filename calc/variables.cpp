#include "calc/variables.h"

#include "core/text.h"

namespace {

bool is_name_start(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' ||
         (c >= u'\u03b1' && c <= u'\u03c9') || (c >= u'\u0391' && c <= u'\u03a9');
}

// "var" and exactly two digits: the number, else -1.
int default_name_number(std::u16string_view name) {
  if (name.size() != 5 || name.substr(0, 3) != u"var") return -1;
  const char16_t a = name[3], b = name[4];
  if (a < u'0' || a > u'9' || b < u'0' || b > u'9') return -1;
  return (a - u'0') * 10 + (b - u'0');
}

}  // namespace

bool is_valid_variable_name(std::u16string_view name) {
  if (name.empty() || name.size() > kMaxVariableNameLength) return false;
  if (name == u"e" || name == u"i" || name == u"\u03c0" || name == u"pi" || name == u"ans") {
    return false;
  }
  if (!is_name_start(name[0])) return false;
  for (std::size_t i = 1; i < name.size(); ++i) {
    const char16_t c = name[i];
    if (!is_name_start(c) && !(c >= u'0' && c <= u'9')) return false;
  }
  return true;
}

std::u16string default_variable_name(const std::vector<UserVariable>& vars) {
  bool used[100] = {};
  for (const UserVariable& v : vars) {
    const int n = default_name_number(v.name);
    if (n >= 0) used[n] = true;
  }
  for (int n = 0; n < 100; ++n) {
    if (!used[n]) {
      std::u16string name = u"var";
      name.push_back(static_cast<char16_t>(u'0' + n / 10));
      name.push_back(static_cast<char16_t>(u'0' + n % 10));
      return name;
    }
  }
  return {};
}

std::u16string stored_variable_value(std::u16string_view typed) {
  std::u16string out;
  out.reserve(typed.size());
  for (char16_t c : typed) {
    // A character that is both counts as the decimal separator, as in the scanner.
    if (is_decimal_separator(c, 0)) {
      out.push_back(u'.');
    } else if (!is_thousands_separator(c, 0)) {
      out.push_back(c);
    }
  }
  return out;
}

void build_variable_table(VariableTableStorage& storage, std::u16string_view result_text,
                          const std::vector<UserVariable>& vars) {
  const char16_t point = g_number_settings.decimal_sep[0];
  storage.ans_value.assign(result_text);
  storage.values.clear();
  storage.values.reserve(vars.size());
  storage.table = VariableTable{};
  storage.table.entries[0] = {storage.ans_name.c_str(), storage.ans_value.c_str()};
  std::uint32_t count = 1;
  for (const UserVariable& v : vars) {
    if (count >= kMaxVariableTableEntries) break;
    std::u16string value = v.value;
    for (char16_t& c : value) {
      if (c == u'.') c = point;
    }
    storage.values.push_back(std::move(value));
    storage.table.entries[count++] = {v.name.c_str(), storage.values.back().c_str()};
  }
  storage.table.count = count;
}

std::u16string cut_with_ellipsis(std::u16string_view text, std::size_t max) {
  if (text.size() <= max) return std::u16string(text);
  if (max == 0) return {};
  std::u16string s(text.substr(0, max - 1));
  // Never leave half of a surrogate pair before the mark.
  if (!s.empty() && s.back() >= 0xD800 && s.back() <= 0xDBFF)
    s.back() = u'\u2026';
  else
    s += u'\u2026';
  return s;
}

std::vector<UserVariable> load_user_variables(const std::vector<StoredVariable>& stored) {
  std::vector<UserVariable> out;
  for (const StoredVariable& v : stored) {
    if (out.size() >= kMaxUserVariables) break;
    UserVariable u;
    u.name = v.name.empty() ? std::u16string(u"var??")
                            : cut_with_ellipsis(v.name, kMaxVariableNameLength);
    u.value = cut_with_ellipsis(v.value, kVariableValueLength);
    out.push_back(std::move(u));
  }
  return out;
}
