// The local help page and its address.
#include <system_error>

#include "app/app_error.h"
#include "app/messages.h"
#include "app/utf8.h"
#include "windows/app_windows.h"

namespace {

constexpr std::size_t kMaxAddressLength = 259;
constexpr std::u16string_view kFilePrefix = u"file://";  // the path itself starts with "/"

}  // namespace

std::filesystem::path build_help_folder(const std::filesystem::path& module_path) {
  // Beside the program in the build tree and in a folder of its own; under P/share/numerion when
  // installed the Linux way to P/bin. A missing folder is reported under the first name.
  const std::filesystem::path beside = module_path.parent_path() / "HtmlBrowserHelpFiles";
  const std::filesystem::path shared =
      module_path.parent_path() / NUMERION_SHARE_FROM_BIN / "HtmlBrowserHelpFiles";
  std::error_code ec;
  if (!std::filesystem::is_directory(beside, ec) && std::filesystem::is_directory(shared, ec)) {
    return shared.lexically_normal();
  }
  return beside;
}

std::filesystem::path help_page_path(const std::filesystem::path& folder, int language) {
  const char* suffix = "_??";
  if (language == kLanguageEnglish) suffix = "_en";
  if (language == kLanguageGerman) suffix = "_de";
  return folder / "Numerion" / (std::string("overview") + suffix + ".html");
}

void show_help(std::u16string_view fragment) {
  std::string page = help_page_path(g_app.help_folder, current_language()).native();
  std::u16string address = std::u16string(kFilePrefix) + utf8_or_latin1_to_utf16(page);
  if (address.size() > kMaxAddressLength) {
    // Reported, and the cut path is what is looked for; it will hardly exist.
    address.resize(kMaxAddressLength);
    set_app_error(kAppErrorBufferOverflow);
    page = utf16_to_utf8(std::u16string_view(address).substr(kFilePrefix.size()));
  }
  std::error_code ec;
  const std::filesystem::path path(page);
  if (!std::filesystem::exists(path, ec) || std::filesystem::is_directory(path, ec)) {
    const std::u16string shown = address.substr(kFilePrefix.size());
    set_app_error(kAppErrorFileNotFound, shown.c_str());
    show_app_error();
    return;
  }
  show_app_error();
  // Nothing happens when no browser is installed, as when none is registered for web pages.
  ui_open_file(page, fragment);
}
