#include "cli/subcommand.h"

#include "app/app_error.h"
#include "app/messages.h"
#include "app/text_builder.h"
#include "app/utf8.h"
#include "core/decfloat.h"
#include "core/text.h"
#include "formula/formula.h"

int begin_subcommand(int argc, char** argv, const char* usage, std::vector<std::string>& args) {
  arith_reset();
  attach_formula_error(&g_formula_error);
  const char16_t point[2] = {u'.', 0};
  const char16_t group[2] = {u'\'', 0};
  set_separator_slots(g_number_settings.decimal_sep, point, 1, u'.');
  set_separator_slots(g_number_settings.thousands_sep, group, 1, u'\'');
  clear_app_error();
  int language = kLanguageEnglish;
  bool help = false;
  args.clear();
  for (int i = 2; i < argc; ++i) {
    const std::string a = argv[i];
    std::string value;
    if (a == "--lang") {
      if (i + 1 >= argc) {
        load_texts(language);
        return usage_failure(usage, "option '--lang' needs a value");
      }
      value = argv[++i];
    } else if (a.starts_with("--lang=")) {
      value = a.substr(7);
    } else {
      help = help || a == "--help" || a == "-h";
      args.push_back(a);
      continue;
    }
    if (value != "en" && value != "de") {
      load_texts(language);
      return usage_failure(usage, "invalid value '" + value + "' for --lang (en or de)");
    }
    language = value == "de" ? kLanguageGerman : kLanguageEnglish;
  }
  load_texts(language);
  if (help) {
    write_now(stdout, usage);
    return kExitOk;
  }
  return -1;
}

int usage_failure(const char* usage, const std::string& reason) {
  write_now(stderr, "numerion-cli: " + reason + "\n" + usage);
  return kExitUsage;
}

void write_now(std::FILE* f, std::string_view bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fflush(f);
}

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

int finish_subcommand() {
  const std::uint32_t code = app_error_code();
  if (code == kAppErrorStopped || cancel_requested()) {
    write_now(stderr, "stopped\n");
    return kExitStopped;
  }
  if (code == 0) return kExitOk;
  write_now(stderr, app_error_line(*attached_formula_error()));
  return kExitFailed;
}
