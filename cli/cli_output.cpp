#include "cli/cli_output.h"

#include "app/app_error.h"
#include "app/text_builder.h"
#include "app/utf8.h"

std::string app_error_line(FormulaErrorView formula) {
  std::u16string buffer(kErrorTextCapacity + 1, u'\0');
  TextBuilder b{0, kErrorTextCapacity, buffer.data()};
  build_app_error_text(b, app_error_code(), g_app_error.param1, g_app_error.param2, formula);
  if (builder_overflowed(b)) builder_mark_cut(b);
  std::u16string text(buffer.data(), static_cast<std::size_t>(builder_stored(b)));
  for (char16_t& c : text) {
    if (c == u'\r' || c == u'\n') c = u' ';
  }
  return "error: " + utf16_to_utf8(text) + "\n";
}

std::string field_text_utf8(std::u16string_view text) {
  std::u16string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') continue;
    out.push_back(text[i]);
  }
  return utf16_to_utf8(out);
}
