// Reading and writing the settings file. One table lists the sections and keys in file order;
// the reader and the writer both walk it, so the two cannot drift apart.
#include "app/settings.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#include "app/platform.h"
#include "core/text.h"

Settings g_settings;

namespace {

bool g_changed = false;
void (*g_save_hook)() = nullptr;

// --- values ----------------------------------------------------------------------------------

struct Choice {
  std::u16string_view text;
  int value;
};
constexpr Choice kLanguageWords[] = {{u"(automatic)", kLanguageAutomatic},
                                     {u"English", kLanguageEnglish},
                                     {u"German", kLanguageGerman}};
constexpr Choice kDecimalWords[] = {
    {u"(automatic)", kSeparatorAutomatic}, {u"point", kDecimalPoint}, {u"comma", kDecimalComma}};
constexpr Choice kThousandsWords[] = {{u"(automatic)", kSeparatorAutomatic},
                                      {u"point", kThousandsPoint},
                                      {u"comma", kThousandsComma},
                                      {u"apostrophe", kThousandsApostrophe},
                                      {u"space_U202F", kThousandsNarrowSpace}};
constexpr Choice kAngleWords[] = {{u"deg", kAngleDeg}, {u"rad", kAngleRad}, {u"gon", kAngleGon}};
constexpr Choice kNumberTypeWords[] = {{u"real", 1}, {u"cplx", 2}, {u"uint", 10}, {u"rat", 11}};

// The value of `text`, or `fallback` when the word is unknown. Words compare exactly.
template <std::size_t N>
int read_word(const Choice (&words)[N], std::u16string_view text, int fallback) {
  for (const Choice& w : words) {
    if (w.text == text) return w.value;
  }
  return fallback;
}

// The word of `value`; the word of `fallback` for a value without one.
template <std::size_t N>
std::u16string_view write_word(const Choice (&words)[N], int value, int fallback) {
  for (const Choice& w : words) {
    if (w.value == value) return w.text;
  }
  for (const Choice& w : words) {
    if (w.value == fallback) return w.text;
  }
  return words[0].text;
}

// Text to number in base 10 as the C library does it: optional sign, the leading digits, the
// rest ignored; no digits gives 0. Saturates at the 32-bit range.
std::int32_t read_int(std::u16string_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  std::int64_t v = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    v = v * 10 + (text[i] - u'0');
    if (v > std::int64_t{INT32_MAX} + 1) v = std::int64_t{INT32_MAX} + 1;
  }
  if (negative) v = -v;
  if (v > INT32_MAX) v = INT32_MAX;
  return static_cast<std::int32_t>(v);
}

void write_int(std::u16string& out, std::int64_t v) {
  if (v < 0) {
    out.push_back(u'-');
    v = -v;
  }
  char16_t digits[20];
  int n = 0;
  do {
    digits[n++] = static_cast<char16_t>(u'0' + v % 10);
    v /= 10;
  } while (v != 0);
  while (n > 0) out.push_back(digits[--n]);
}

// --- the layout --------------------------------------------------------------------------------

enum class Kind { Section, Key, Variables };
struct Entry {
  Kind kind;
  std::u16string_view name;
  void (*read)(Settings&, std::u16string_view);
  void (*write)(const Settings&, std::u16string&);
};

constexpr Entry kLayout[] = {
    {Kind::Section, u"options", nullptr, nullptr},
    {Kind::Key, u"language",
     [](Settings& s, std::u16string_view v) {
       s.language = read_word(kLanguageWords, v, kLanguageAutomatic);
     },
     [](const Settings& s, std::u16string& o) {
       o += write_word(kLanguageWords, s.language, kLanguageAutomatic);
     }},
    {Kind::Key, u"decimal_separator",
     [](Settings& s, std::u16string_view v) {
       s.decimal_separator = read_word(kDecimalWords, v, kSeparatorAutomatic);
     },
     [](const Settings& s, std::u16string& o) {
       o += write_word(kDecimalWords, s.decimal_separator, kSeparatorAutomatic);
     }},
    {Kind::Key, u"thousands_separator",
     [](Settings& s, std::u16string_view v) {
       s.thousands_separator = read_word(kThousandsWords, v, kSeparatorAutomatic);
     },
     [](const Settings& s, std::u16string& o) {
       o += write_word(kThousandsWords, s.thousands_separator, kSeparatorAutomatic);
     }},
    {Kind::Key, u"thousands_sep_sci_calc",
     [](Settings& s, std::u16string_view v) { s.thousands_sep_sci_calc = v == u"1"; },
     [](const Settings& s, std::u16string& o) { o += s.thousands_sep_sci_calc ? u"1" : u"0"; }},
    {Kind::Key, u"thousands_sep_equations",
     [](Settings& s, std::u16string_view v) { s.thousands_sep_equations = v == u"1"; },
     [](const Settings& s, std::u16string& o) { o += s.thousands_sep_equations ? u"1" : u"0"; }},
    {Kind::Key, u"thousands_sep_prime_nums",
     [](Settings& s, std::u16string_view v) { s.thousands_sep_prime_nums = v == u"1"; },
     [](const Settings& s, std::u16string& o) { o += s.thousands_sep_prime_nums ? u"1" : u"0"; }},
    {Kind::Section, u"scientific_calculator", nullptr, nullptr},
    {Kind::Key, u"angle_type",
     [](Settings& s, std::u16string_view v) {
       s.angle_type = read_word(kAngleWords, v, kAngleRad);
     },
     [](const Settings& s, std::u16string& o) {
       o += write_word(kAngleWords, s.angle_type, kAngleRad);
     }},
    {Kind::Key, u"number_type",
     [](Settings& s, std::u16string_view v) { s.number_type = read_word(kNumberTypeWords, v, 1); },
     [](const Settings& s, std::u16string& o) {
       o += write_word(kNumberTypeWords, s.number_type, 1);
     }},
    {Kind::Key, u"decimal_precision",
     [](Settings& s, std::u16string_view v) { s.decimal_precision = read_int(v); },
     [](const Settings& s, std::u16string& o) { write_int(o, s.decimal_precision); }},
    {Kind::Key, u"output_number_base",
     [](Settings& s, std::u16string_view v) {
       const std::int32_t base = read_int(v);
       s.output_number_base = base == 0 ? 10 : base;
     },
     [](const Settings& s, std::u16string& o) { write_int(o, s.output_number_base); }},
    {Kind::Key, u"use_lower_case_hex",
     [](Settings& s, std::u16string_view v) { s.use_lower_case_hex = !v.empty() && v[0] == u'1'; },
     [](const Settings& s, std::u16string& o) { o += s.use_lower_case_hex ? u"1" : u"0"; }},
    {Kind::Variables, u"variable", nullptr, nullptr},
    {Kind::Section, u"hints", nullptr, nullptr},
    {Kind::Key, u"show_welcome_hint",
     [](Settings& s, std::u16string_view v) { s.show_welcome_hint = v != u"0"; },
     [](const Settings& s, std::u16string& o) { o += s.show_welcome_hint ? u"1" : u"0"; }},
};

// Lone halves of surrogate pairs become U+FFFD: they cannot be shown, typed or converted, and a
// name holding one could never be matched again. Everything else is kept as written.
std::u16string well_formed(std::u16string_view text) {
  std::u16string out(text);
  for (std::size_t i = 0; i < out.size(); ++i) {
    const char16_t c = out[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < out.size() && out[i + 1] >= 0xDC00 &&
        out[i + 1] <= 0xDFFF) {
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      out[i] = u'\uFFFD';
    }
  }
  return out;
}

// --- positional reader -------------------------------------------------------------------------

class Reader {
 public:
  explicit Reader(std::u16string_view text) : text_(text) {}

  void section(std::u16string_view name) {
    std::size_t p = skip_spaces(pos_);
    if (!match(p, u"[") || !match(p + 1, name) || !match(p + 1 + name.size(), u"]")) return;
    pos_ = next_line(p);
  }

  // The value of the key at the current position; empty (position unchanged) when the key or
  // its "=" is not there.
  std::u16string_view key(std::u16string_view name) {
    std::size_t p = skip_spaces(pos_);
    if (!match(p, name)) return {};
    p = skip_spaces(p + name.size());
    if (!match(p, u"=")) return {};
    p = skip_spaces(p + 1);
    const std::size_t end = line_end(p);
    pos_ = next_line(p);
    return text_.substr(p, end - p);
  }

  void variables(std::vector<SettingsVariable>& out) {
    for (;;) {
      const std::size_t start = pos_;
      std::size_t p = skip_spaces(pos_);
      constexpr std::u16string_view kPrefix = u"variable";
      const std::size_t digit = p + kPrefix.size();
      if (!match(p, kPrefix) || digit >= text_.size() || text_[digit] < u'0' ||
          text_[digit] > u'9') {
        pos_ = start;
        return;
      }
      const std::size_t end = line_end(digit);
      pos_ = next_line(digit);
      const std::size_t eq = text_.substr(digit, end - digit).find(u'=');
      if (eq == std::u16string_view::npos) continue;
      const std::size_t v = skip_spaces(digit + eq + 1);
      if (v >= end || out.size() >= kMaxSettingsVariables) continue;
      const std::u16string_view pair = text_.substr(v, end - v);
      const std::size_t semicolon = pair.find(u';');
      if (semicolon == std::u16string_view::npos) {
        out.push_back({well_formed(pair), {}});
      } else {
        out.push_back(
            {well_formed(pair.substr(0, semicolon)), well_formed(pair.substr(semicolon + 1))});
      }
    }
  }

 private:
  std::size_t skip_spaces(std::size_t p) const {
    while (p < text_.size() && text_[p] == u' ') ++p;
    return p;
  }
  bool match(std::size_t p, std::u16string_view s) const {
    return p <= text_.size() && text_.substr(p, s.size()) == s;
  }
  std::size_t line_end(std::size_t p) const {
    while (p < text_.size() && text_[p] != u'\r' && text_[p] != u'\n') ++p;
    return p;
  }
  // Behind the end of the line holding p; CR LF counts as one end.
  std::size_t next_line(std::size_t p) const {
    p = line_end(p);
    if (p < text_.size() && text_[p] == u'\r') {
      ++p;
      if (p < text_.size() && text_[p] == u'\n') ++p;
    } else if (p < text_.size()) {
      ++p;
    }
    return p;
  }

  std::u16string_view text_;
  std::size_t pos_ = 0;
};

void put_sanitized(std::u16string& out, std::u16string_view text, bool is_name) {
  for (char16_t c : text) {
    const bool unfit = c == u'\r' || c == u'\n' || c == 0 || (is_name && c == u';');
    out.push_back(unfit ? u' ' : c);
  }
}

}  // namespace

// --- file contents -------------------------------------------------------------------------------

void parse_settings(std::u16string_view text, Settings& out) {
  out = Settings{};
  Reader reader(text);
  for (const Entry& e : kLayout) {
    switch (e.kind) {
      case Kind::Section:
        reader.section(e.name);
        break;
      case Kind::Key:
        e.read(out, reader.key(e.name));
        break;
      case Kind::Variables:
        reader.variables(out.variables);
        break;
    }
  }
}

std::u16string settings_text(const Settings& s) {
  std::u16string out;
  std::size_t size = 512;
  for (const SettingsVariable& v : s.variables) size += 16 + v.name.size() + v.value.size();
  out.reserve(size);
  for (const Entry& e : kLayout) {
    switch (e.kind) {
      case Kind::Section:
        out += u"[";
        out += e.name;
        out += u"]\r\n";
        break;
      case Kind::Key:
        out += e.name;
        out += u" = ";
        e.write(s, out);
        out += u"\r\n";
        break;
      case Kind::Variables: {
        const std::size_t count = std::min<std::size_t>(s.variables.size(), kMaxSettingsVariables);
        for (std::size_t i = 0; i < count; ++i) {
          out += e.name;
          out.push_back(static_cast<char16_t>(u'0' + i / 10));
          out.push_back(static_cast<char16_t>(u'0' + i % 10));
          out += u" = ";
          put_sanitized(out, s.variables[i].name, true);
          out.push_back(u';');
          put_sanitized(out, s.variables[i].value, false);
          out += u"\r\n";
        }
        break;
      }
    }
  }
  return out;
}

std::vector<unsigned char> encode_settings_file(const Settings& s) {
  const std::u16string text = settings_text(s);
  std::vector<unsigned char> bytes;
  bytes.reserve(2 + 2 * text.size());
  bytes.push_back(0xFF);
  bytes.push_back(0xFE);
  for (char16_t c : text) {
    bytes.push_back(static_cast<unsigned char>(c & 0xFF));
    bytes.push_back(static_cast<unsigned char>(c >> 8));
  }
  return bytes;
}

void decode_settings_file(std::span<const unsigned char> bytes, Settings& out) {
  std::u16string text;
  if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
    const std::size_t units = (bytes.size() - 2) / 2;  // an odd last byte is dropped
    text.reserve(units);
    for (std::size_t i = 0; i < units; ++i) {
      const char16_t c = static_cast<char16_t>(bytes[2 + 2 * i] | (bytes[3 + 2 * i] << 8));
      // The writer turns a NUL into a space; one written by anything else is read the same way,
      // so the lines after it survive.
      text.push_back(c == 0 ? u' ' : c);
    }
  }
  parse_settings(text, out);
}

bool read_settings_file(const std::filesystem::path& path, Settings& out) {
  out = Settings{};
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::vector<unsigned char> bytes;
  constexpr std::size_t kChunk = 1 << 16;
  while (bytes.size() < kMaxSettingsFileBytes) {
    const std::size_t old = bytes.size();
    bytes.resize(std::min(old + kChunk, kMaxSettingsFileBytes));
    in.read(reinterpret_cast<char*>(bytes.data() + old),
            static_cast<std::streamsize>(bytes.size() - old));
    bytes.resize(old + static_cast<std::size_t>(in.gcount()));
    if (!in) break;
  }
  if (in.bad()) return false;
  decode_settings_file(bytes, out);
  return true;
}

bool write_settings_file(const std::filesystem::path& path, const Settings& s) {
  std::error_code ec;
  const std::filesystem::path folder = path.parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder, ec);
  const std::vector<unsigned char> bytes = encode_settings_file(s);
  return platform_replace_file(path, bytes.data(), bytes.size());
}

// --- the program's settings ----------------------------------------------------------------------

std::filesystem::path build_settings_path() {
  constexpr const char16_t* kFileName = u"UserSettings_3.8.ini";
  const std::filesystem::path folder = platform_app_data_folder();
  if (folder.empty()) {
    std::error_code ec;
    const std::filesystem::path cwd = std::filesystem::current_path(ec);
    return (ec ? std::filesystem::path("/") : cwd.root_path()) / kFileName;
  }
  return folder / u"Numerion" / kFileName;
}

const std::filesystem::path& settings_path() {
  static const std::filesystem::path path = build_settings_path();
  return path;
}

void load_settings() {
  read_settings_file(settings_path(), g_settings);
  if (make_separators_consistent(g_settings)) mark_settings_changed();
  apply_separators(g_settings);
}

bool save_settings() {
  if (g_save_hook != nullptr) g_save_hook();
  if (!g_changed) return true;
  if (!write_settings_file(settings_path(), g_settings)) return false;
  g_changed = false;
  return true;
}

void mark_settings_changed() {
  g_changed = true;
}
bool settings_changed() {
  return g_changed;
}
void clear_settings_changed() {
  g_changed = false;
}
void set_settings_save_hook(void (*hook)()) {
  g_save_hook = hook;
}

void store_settings_variables(std::span<const SettingsVariable> variables) {
  const std::size_t count = std::min<std::size_t>(variables.size(), kMaxSettingsVariables);
  g_settings.variables.assign(variables.begin(),
                              variables.begin() + static_cast<std::ptrdiff_t>(count));
  mark_settings_changed();
}

// --- separators ----------------------------------------------------------------------------------

bool make_separators_consistent(Settings& s) {
  const bool decimal_auto = s.decimal_separator == kSeparatorAutomatic;
  const bool thousands_auto = s.thousands_separator == kSeparatorAutomatic;
  const bool decimal_known =
      s.decimal_separator == kDecimalPoint || s.decimal_separator == kDecimalComma;
  const bool thousands_known =
      s.thousands_separator >= kThousandsPoint && s.thousands_separator <= kThousandsNarrowSpace;
  // Point and comma have the same codes in both lists, so equal codes are equal characters.
  const bool sound = decimal_auto ? thousands_auto
                                  : (decimal_known && thousands_known &&
                                     s.decimal_separator != s.thousands_separator);
  if (sound) return false;
  s.decimal_separator = kSeparatorAutomatic;
  s.thousands_separator = kSeparatorAutomatic;
  return true;
}

void apply_separators(const Settings& s) {
  constexpr char16_t kDecimalChars[] = {u'.', u','};
  constexpr char16_t kThousandsChars[] = {u'.', u',', u'\'', u'\u202F'};
  char16_t locale_decimal[4] = {};
  char16_t locale_thousands[4] = {};
  const bool decimal_fixed = s.decimal_separator >= 0 && s.decimal_separator < 2;
  const bool thousands_fixed = s.thousands_separator >= 0 && s.thousands_separator < 4;
  if (!decimal_fixed || !thousands_fixed) {
    platform_locale_separators(locale_decimal, locale_thousands);
  }
  if (decimal_fixed) {
    set_separator_slots(g_number_settings.decimal_sep, &kDecimalChars[s.decimal_separator], 1,
                        u'.');
  } else {
    set_separator_slots(g_number_settings.decimal_sep, locale_decimal, -1, u'.');
  }
  if (thousands_fixed) {
    set_separator_slots(g_number_settings.thousands_sep, &kThousandsChars[s.thousands_separator], 1,
                        u'\'');
  } else {
    set_separator_slots(g_number_settings.thousands_sep, locale_thousands, -1, u'\'');
  }
}

bool normalize_calculator_settings(Settings& s) {
  const int base = s.output_number_base;
  if (base != 2 && base != 8 && base != 10 && base != 16) s.output_number_base = 10;
  if (s.decimal_precision >= 1 && s.decimal_precision <= kMaxSettingsPrecision) return false;
  s.decimal_precision = 10;
  return true;
}
