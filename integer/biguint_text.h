// Text form of BigUInt: reading in bases 2, 8, 10 (with a decimal exponent) and 16, writing in
// the same bases with grouping, fixed separators and decimal scientific notation.
//
// Text is UTF-16. Separators come from g_number_settings (first slot written on output), or "."
// and "'" under kFixedNotation. Parse failures leave the value 0 and set 100 (bad base), 301 (not
// a number of this base, or a decimal value that is not an integer) or 200 (more than N limbs).
// The formatter writes "[P]" with status 100 for a base it cannot write, and "[§]" with 400 when
// its digit area cannot be had; a sink that is too small is left for the caller to notice.
#pragma once

#include <cstdint>

#include "core/text.h"
#include "integer/biguint.h"

// Output: hexadecimal digits a-f instead of A-F.
inline constexpr std::uint32_t kLowerHexDigits = 0x40000;

// length: characters, or -1 for a NUL-terminated text (other negative values fail with 301).
// Spaces (U+0020) around the number are ignored; one leading "+" is accepted. Saves status.
void biguint_parse(BigUInt* result, const char16_t* text, std::int64_t length, std::uint32_t flags);

// Decimal core: digits with thousands and one decimal separator (the configured ones, or "'" and
// "." when fixed), times 10^exponent, which must leave an integer. length as above.
void biguint_parse_decimal(BigUInt* result, const char16_t* digits, std::int64_t length,
                           std::int64_t exponent, bool fixed);

// Characters any value at the current N can need under these flags, terminating zero included.
std::int64_t biguint_text_size(std::uint32_t flags);

// Appends the text of value to the sink. Saves status.
void biguint_format(TextSink& sink, const BigUInt* value, std::uint32_t flags);
