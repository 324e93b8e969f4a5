// The command line's view of the calculator's history file: the same reader and writer as the
// calculator window, with the entries in UTF-8.
#include "cli/history_file.h"

#include <system_error>

#include "app/platform.h"
#include "app/utf8.h"
#include "calc/history.h"

std::filesystem::path history_file_path() {
  // The settings file lies in the root folder only when there is no folder for it.
  if (platform_app_data_folder().empty()) return {};
  return history_path();
}

std::vector<std::string> read_history_file(const std::filesystem::path& path) {
  std::vector<std::string> entries;
  CalcHistory history;
  if (!read_history_file(path, history)) return entries;
  for (const std::u16string& e : history.entries()) entries.push_back(utf16_to_utf8(e));
  return entries;
}

bool append_history_file(const std::filesystem::path& path, const std::vector<std::string>& added) {
  if (added.empty()) return true;
  CalcHistory history;
  read_history_file(path, history);  // another program may have written it since it was read
  for (const std::string& line : added) {
    std::u16string text;
    if (utf8_to_utf16(line, text)) history.add(text);
  }
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  return write_history_file(path, history);
}

void add_history_entry(std::vector<std::string>& entries, std::string_view line) {
  if (line.find_first_not_of(" \t") == std::string_view::npos) return;
  if (!entries.empty() && entries.back() == line) return;
  entries.emplace_back(line);
}
