// Conversions between the UTF-16 text used inside the program and the UTF-8 of the system's
// interfaces (environment, locale, terminal).
#pragma once

#include <string>
#include <string_view>

// Strict decoding: false (and `out` unspecified) for malformed, overlong or surrogate encodings.
bool utf8_to_utf16(std::string_view in, std::u16string& out);
// Unpaired surrogates become U+FFFD, so the result is always valid UTF-8.
std::string utf16_to_utf8(std::u16string_view in);
// Text from a C library that follows the locale's encoding: UTF-8 when it decodes as such,
// otherwise each byte is read as Latin-1.
std::u16string utf8_or_latin1_to_utf16(std::string_view in);
