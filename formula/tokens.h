// Formula tokens: the kinds the scanner produces, the table of built-in names and the scanner.
//
// The scanner reads a NUL-terminated UTF-16 formula one token at a time and keeps no state but
// the read position. Kinds are numeric codes that the parser tests by range: 200-499 functions,
// 600-699 operators, 700-799 constants. A token never reaches past the terminating NUL.
#pragma once

#include <cstdint>

// Token kinds; 100 also marks a computed value on the parser's stack.
enum FormulaTokenKind : std::uint32_t {
  kTokEnd = 1,
  kTokInvalid = 2,
  kTokNumber = 100,
  kTokValue = 100,
  kTokLeftParen = 110,
  kTokRightParen = 111,
  kTokImaginary = 112,
  kTokPlus = 600,
  kTokMinus = 601,
  kTokTimes = 602,
  kTokDivide = 603,
  kTokPower = 604,
  kTokMod = 605,
  kTokPi = 700,
  kTokSeparator = 800,
  kTokIdentifier = 801,
};

// Function codes (token kinds 200-499). 315 is not used.
enum FormulaFunction : std::uint32_t {
  kFnSqrt = 200,
  kFnCbrt = 201,
  kFnLn = 202,
  kFnLog2 = 203,
  kFnLog10 = 204,
  kFnExp = 205,
  kFnAbs = 206,
  kFnSin = 207,
  kFnCos = 208,
  kFnTan = 209,
  kFnAsin = 210,
  kFnAcos = 211,
  kFnAtan = 212,
  kFnSind = 213,
  kFnCosd = 214,
  kFnTand = 215,
  kFnAsind = 216,
  kFnAcosd = 217,
  kFnAtand = 218,
  kFnSing = 219,
  kFnCosg = 220,
  kFnTang = 221,
  kFnAsing = 222,
  kFnAcosg = 223,
  kFnAtang = 224,
  kFnSinh = 225,
  kFnCosh = 226,
  kFnTanh = 227,
  kFnAsinh = 228,
  kFnAcosh = 229,
  kFnAtanh = 230,
  kFnFact = 231,
  kFnRoot = 232,
  kFnSqrtc = 300,
  kFnCbrtc = 301,
  kFnRootc = 302,
  kFnArg = 303,
  kFnArgd = 304,
  kFnArgg = 305,
  kFnRealp = 306,
  kFnImagp = 307,
  kFnTrunc = 308,
  kFnFrac = 309,
  kFnNcr = 310,
  kFnNpr = 311,
  kFnLogx = 312,
  kFnGcd = 313,
  kFnLcm = 314,
  kFnPowmod = 316,
  kFnRound = 317,
};

inline bool is_function_kind(std::uint32_t k) {
  return k >= 200 && k <= 499;
}
inline bool is_operator_kind(std::uint32_t k) {
  return k >= 600 && k <= 699;
}
inline bool is_constant_kind(std::uint32_t k) {
  return k >= 700 && k <= 799;
}

struct FormulaToken {
  std::uint32_t kind = kTokEnd;
  std::int64_t start = 0;   // index of the first character, 0-based
  std::int64_t length = 0;  // characters; 0 for the end and for an invalid character
};

// One row of the table of built-in names. The operator "mod" carries 65535 parameters, a value
// that is never used as a count.
struct FunctionRow {
  const char16_t* name;
  std::uint32_t code;
  std::uint32_t params;
};
inline constexpr int kFunctionTableRows = 53;
extern const FunctionRow kFunctionTable[kFunctionTableRows];

// The first row bearing the code, or nullptr.
const FunctionRow* lookup_function(std::uint32_t code);
// The row whose name equals text[0, length) exactly (case-sensitive), or nullptr.
const FunctionRow* find_function_name(const char16_t* text, std::int64_t length);

// Name characters: Latin letters, "_", Greek small (U+03B1-U+03C9) and capital (U+0391-U+03A9)
// letters; after the first character also the digits 0-9.
bool is_name_start(char16_t c);
bool is_name_char(char16_t c);

// Recognises the token at `position` (spaces skipped first) and moves `position` just behind
// it. Flags: 0x100 accepts thousands separators inside numbers, 0x200 takes "." and "'" as the
// separators instead of the configured ones. The text must be NUL-terminated.
FormulaToken next_token(const char16_t* text, std::uint32_t flags, std::int64_t& position);
