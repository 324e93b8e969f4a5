// libFuzzer target for the settings file reader.
//
// Input: byte 0 bit 0 set: the rest is taken as the whole file; clear: a byte-order mark is put
// before the rest, so most inputs reach the text reader. Invariants: a file that reads writes
// back to one that reads the same, and the start-up checks leave sound values.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "app/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  std::vector<unsigned char> bytes;
  if ((data[0] & 1) == 0) bytes = {0xFF, 0xFE};
  bytes.insert(bytes.end(), data + 1, data + size);
  Settings first;
  decode_settings_file(bytes, first);
  if (first.variables.size() > kMaxSettingsVariables) __builtin_trap();
  Settings second;
  decode_settings_file(encode_settings_file(first), second);
  if (!(second == first)) __builtin_trap();
  for (const SettingsVariable& v : first.variables) {
    for (const std::u16string* t : {&v.name, &v.value}) {
      for (std::size_t i = 0; i < t->size(); ++i) {
        const char16_t c = (*t)[i];
        if (c == 0 || c == u'\r' || c == u'\n') __builtin_trap();
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        const bool low = c >= 0xDC00 && c <= 0xDFFF;
        if (low) __builtin_trap();  // a low half is only ever read past after its high half
        if (high) {
          if (i + 1 >= t->size() || (*t)[i + 1] < 0xDC00 || (*t)[i + 1] > 0xDFFF) __builtin_trap();
          ++i;
        }
      }
    }
  }
  // What start-up and the calculator page make of the values.
  make_separators_consistent(first);
  if (make_separators_consistent(first)) __builtin_trap();
  const bool automatic = first.decimal_separator == kSeparatorAutomatic;
  if (automatic != (first.thousands_separator == kSeparatorAutomatic)) __builtin_trap();
  if (!automatic && first.decimal_separator == first.thousands_separator) __builtin_trap();
  normalize_calculator_settings(first);
  if (first.decimal_precision < 1 || first.decimal_precision > kMaxSettingsPrecision) {
    __builtin_trap();
  }
  return 0;
}
