#include "calc/buttons.h"

#include <algorithm>

#include "app/messages.h"
#include "core/text.h"
#include "formula/tokens.h"
#include "integer/number.h"

namespace {

struct Entry {
  const char16_t* label;
  int code;
  int colour_class;
};

// Variants of one button: the general entry, and those of the unsigned-integer, rational and
// complex types. A null label in a variant means "as the general entry"; kEmpty leaves the
// button empty for that type.
struct Row {
  Entry all;
  Entry uint = {nullptr, 0, 0};
  Entry rational = {nullptr, 0, 0};
  Entry complex = {nullptr, 0, 0};
};

constexpr Entry kEmpty = {u"", 0, 0};
constexpr Entry kSame = {nullptr, 0, 0};

// clang-format off
const Row kRows[kCalcButtonCount] = {
    // row 0
    {{u"CA", 1325, 3}}, {{u"\u2190", 1324, 3}}, {{u"7", 1307, 1}}, {{u"8", 1308, 1}},
    {{u"9", 1309, 1}},
    {{u"log\u2081\u2080", 1106, 4}, {u"[lg\u2081\u2080]", 1106, 4}},
    {{u"log\u2082", 1104, 4}, {u"[log\u2082]", 1104, 4}},
    {{u"logx", 1107, 4}, {u"[logx]", 1107, 4}},
    {kEmpty, kSame, {u"R\u2194M", 1403, 5}, {u"i", 1323, 6}},
    // row 1
    {{u"CF", 1332, 3}}, {{u"var", 1404, 5}}, {{u"4", 1304, 1}}, {{u"5", 1305, 1}},
    {{u"6", 1306, 1}}, {{u"x^y", 1004, 4}}, {{u"e^x", 1108, 4}, kEmpty}, {{u"ln", 1105, 4}, kEmpty},
    {kEmpty, kSame, kSame, {u"arg?", 1128, 6}},
    // row 2
    {{u"(", 1326, 5}}, {{u")", 1327, 5}}, {{u"1", 1301, 1}}, {{u"2", 1302, 1}}, {{u"3", 1303, 1}},
    {{u"\u00b2\u221ax", 1100, 4}, {u"[\u00b2\u221ax]", 1100, 4}},
    {{u"\u00b3\u221ax", 1101, 4}, {u"[\u00b3\u221ax]", 1101, 4}},
    {{u"x\u221ay", 1137, 4}, {u"[x\u221ay]", 1137, 4}},
    {kEmpty, kSame, kSame, {u"\u00b2\u221az", 1138, 6}},
    // row 3
    {{u"(..)", 1331, 5}}, {{u";", 1328, 5}}, {{u"0", 1300, 1}}, {{u"=", 1400, 2}},
    {{u"ans", 1329, 2}}, {{u"sin?", 1110, 4}, {u"A", 1310, 2}}, {{u"cos?", 1111, 4}, {u"B", 1311, 2}},
    {{u"tan?", 1112, 4}, {u"C", 1312, 2}}, {kEmpty, kSame, kSame, {u"\u00b3\u221az", 1139, 6}},
    // row 4
    {{u"x!", 1122, 4}}, {{u".", 1318, 2}, kEmpty}, {{u"+", 1000, 2}}, {{u"\u2013", 1001, 2}},
    {{u"*", 1002, 2}}, {{u"asin?", 1113, 4}, {u"D", 1313, 2}}, {{u"acos?", 1114, 4}, {u"E", 1314, 2}},
    {{u"atan?", 1115, 4}, {u"F", 1315, 2}}, {kEmpty, kSame, kSame, {u"x\u221az", 1140, 6}},
    // row 5
    {{u"ncr", 1135, 4}}, {{u"npr", 1136, 4}}, {{u"/", 1003, 2}, {u"[/]", 1003, 2}},
    {{u"mod", 1008, 2}}, {{u"1/x", 1018, 2}, {u"^mod", 1144, 4}},
    {{u"sinh", 1116, 4}, {u"bin", 1333, 5}}, {{u"cosh", 1117, 4}, {u"oct", 1334, 5}},
    {{u"tanh", 1118, 4}, {u"hex", 1335, 5}}, {kEmpty, kSame, kSame, {u"realp", 1133, 6}},
    // row 6
    {{u"gcd", 1141, 4}}, {{u"lcm", 1142, 4}}, {{u"F\u2194S", 1402, 5}}, {{u"e\u00b1", 1319, 5}, kEmpty},
    {{u"|x|", 1127, 2}, kEmpty}, {{u"asinh", 1119, 4}, kEmpty}, {{u"acosh", 1120, 4}, kEmpty},
    {{u"atanh", 1121, 4}, kEmpty}, {kEmpty, kSame, kSame, {u"imagp", 1134, 6}},
    // row 7
    {{u"trunc", 1125, 4}, kEmpty}, {{u"frac", 1126, 4}, kEmpty}, {{u"round", 1129, 4}, kEmpty},
    {{u"\u03c0", 1320, 4}, kEmpty}, {kEmpty}, {kEmpty}, {kEmpty}, {kEmpty}, {kEmpty},
};
// clang-format on

// Function codes and the names they insert; "?" ends the angle names (the suffix goes there).
struct FunctionName {
  int code;
  const char16_t* name;
  const char16_t* params;  // parameter list of the call form; "$b", "$e", "$m": translated words
};
const FunctionName kFunctions[] = {
    {1100, u"sqrt", u"x"},     {1101, u"cbrt", u"x"},     {1104, u"log2", u"x"},
    {1105, u"ln", u"x"},       {1106, u"log10", u"x"},    {1107, u"logx", u"$b; x"},
    {1108, u"exp", u"x"},      {1110, u"sin?", u"x"},     {1111, u"cos?", u"x"},
    {1112, u"tan?", u"x"},     {1113, u"asin?", u"x"},    {1114, u"acos?", u"x"},
    {1115, u"atan?", u"x"},    {1116, u"sinh", u"x"},     {1117, u"cosh", u"x"},
    {1118, u"tanh", u"x"},     {1119, u"asinh", u"x"},    {1120, u"acosh", u"x"},
    {1121, u"atanh", u"x"},    {1122, u"fact", u"n"},     {1125, u"trunc", u"x"},
    {1126, u"frac", u"x"},     {1127, u"abs", u"x"},      {1128, u"arg?", u"z"},
    {1129, u"round", u"x"},    {1133, u"realp", u"z"},    {1134, u"imagp", u"z"},
    {1135, u"ncr", u"n; k"},   {1136, u"npr", u"n; k"},   {1137, u"root", u"n; x"},
    {1138, u"sqrtc", u"z; k"}, {1139, u"cbrtc", u"z; k"}, {1140, u"rootc", u"z; n; k"},
    {1141, u"gcd", u"a; b"},   {1142, u"lcm", u"a; b"},   {1144, u"powmod", u"$b; $e; $m"},
};

const FunctionName* function_of(int code) {
  for (const FunctionName& f : kFunctions) {
    if (f.code == code) return &f;
  }
  return nullptr;
}

std::u16string with_suffix(const char16_t* name, int angle) {
  std::u16string s = name;
  if (!s.empty() && s.back() == u'?') {
    s.pop_back();
    s += angle_suffix(angle);
  }
  return s;
}

bool is_hex_letter_label(const std::u16string& label) {
  return label.size() == 1 && label[0] >= u'A' && label[0] <= u'F';
}

}  // namespace

std::u16string_view angle_suffix(int angle) {
  switch (angle) {
    case 1:
      return u"d";
    case 3:
      return u"g";
    default:
      return u"";
  }
}

CalcButton calc_button(int index, std::uint32_t type, int angle, bool lower_hex) {
  CalcButton b;
  if (index < 0 || index >= kCalcButtonCount) return b;
  const Row& row = kRows[index];
  Entry e = row.all;
  const Entry* variant = nullptr;
  if (type == kTypeUInt) variant = &row.uint;
  if (type == kTypeRational) variant = &row.rational;
  if (type == kTypeComplex) variant = &row.complex;
  if (variant != nullptr && variant->label != nullptr) e = *variant;
  if (e.code == 0) return b;
  b.code = e.code;
  b.colour_class = e.colour_class;
  b.label = with_suffix(e.label, angle);
  if (lower_hex && is_hex_letter_label(b.label))
    b.label[0] = static_cast<char16_t>(b.label[0] + 32);
  return b;
}

std::u16string calc_insert_text(int code, int angle, bool lower_hex) {
  if (code >= 1300 && code <= 1309)
    return std::u16string(1, static_cast<char16_t>(u'0' + code - 1300));
  if (code >= 1310 && code <= 1315) {
    return std::u16string(1, static_cast<char16_t>((lower_hex ? u'a' : u'A') + code - 1310));
  }
  switch (code) {
    case 1000:
      return u"+";
    case 1001:
      return u"-";
    case 1002:
      return u"*";
    case 1003:
      return u"/";
    case 1004:
      return u"^";
    case 1008:
      return u" mod ";
    case 1018:
      return u"1/";
    case 1318:
      return std::u16string(1, g_number_settings.decimal_sep[0]);
    case 1319:
      return std::u16string(1, g_number_settings.exponent_marker[0]);
    case 1320:
      return u"\u03c0";
    case 1323:
      return std::u16string(1, g_number_settings.imaginary_unit[0]);
    case 1326:
      return u"(";
    case 1327:
      return u")";
    case 1328:
      return u"; ";
    case 1329:
      return u"ans";
    case 1333:
      return u"0y";
    case 1334:
      return u"0t";
    case 1335:
      return u"0x";
    default:
      break;
  }
  if (const FunctionName* f = function_of(code)) return with_suffix(f->name, angle) + u"(";
  return {};
}

std::u16string calc_call_form(int code, int angle) {
  const FunctionName* f = function_of(code);
  if (f == nullptr) {
    if (code == 1004) return u"x ^ y";
    if (code == 1008) return u"a mod b";
    if (code == 1018) return u"1/x";
    return {};
  }
  std::u16string s = with_suffix(f->name, angle) + u"(";
  for (const char16_t* p = f->params; *p != 0; ++p) {
    if (*p == u'$' && p[1] != 0) {
      ++p;
      const MessageId id = *p == u'b' ? 173 : *p == u'e' ? 174 : 175;
      s += msg(id);
    } else {
      s += *p;
    }
  }
  return s + u")";
}

Rgb calc_colour(int colour_class, bool dark) {
  switch (colour_class) {
    case 1:
    case 2:
      return dark ? Rgb{110, 210, 110} : Rgb{0, 100, 0};
    case 3:
      return dark ? Rgb{255, 115, 115} : Rgb{255, 0, 0};
    case 4:
      return dark ? Rgb{125, 170, 255} : Rgb{0, 0, 255};
    case 6:
      return dark ? Rgb{235, 150, 150} : Rgb{128, 0, 0};
    default:
      return dark ? Rgb{235, 235, 235} : Rgb{0, 0, 0};
  }
}

Rgb calc_selected_colour(bool dark) {
  return dark ? Rgb{255, 130, 130} : Rgb{139, 0, 0};
}

Rgb calc_stale_colour(bool dark) {
  return dark ? Rgb{150, 150, 150} : Rgb{128, 128, 128};
}

std::vector<std::u16string> completion_candidates(std::u16string_view text, std::size_t caret,
                                                  const std::vector<UserVariable>& vars,
                                                  std::size_t& start) {
  caret = std::min(caret, text.size());
  start = caret;
  while (start > 0 && is_name_char(text[start - 1])) --start;
  // A name cannot begin with a digit: skip leading digits of the run.
  while (start < caret && !is_name_start(text[start])) ++start;
  std::vector<std::u16string> out;
  if (start == caret) return out;
  const std::u16string_view prefix = text.substr(start, caret - start);
  auto consider = [&](std::u16string_view name) {
    if (name.size() >= prefix.size() && name.substr(0, prefix.size()) == prefix) {
      out.emplace_back(name);
    }
  };
  for (const FunctionRow& row : kFunctionTable) consider(row.name);
  consider(u"ans");
  for (const UserVariable& v : vars) {
    if (is_valid_variable_name(v.name)) consider(v.name);
  }
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

std::u16string common_prefix(const std::vector<std::u16string>& candidates) {
  if (candidates.empty()) return {};
  std::u16string p = candidates.front();
  for (const std::u16string& c : candidates) {
    std::size_t n = 0;
    while (n < p.size() && n < c.size() && p[n] == c[n]) ++n;
    p.resize(n);
  }
  return p;
}
