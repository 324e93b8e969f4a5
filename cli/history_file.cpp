#include "cli/history_file.h"

#include <fstream>
#include <system_error>

#include "app/platform.h"
#include "app/settings.h"

std::filesystem::path history_file_path() {
  // The settings file lies in the root folder only when there is no folder for it.
  if (platform_app_data_folder().empty()) return {};
  return settings_path().parent_path() / "history.txt";
}

std::vector<std::string> read_history_file(const std::filesystem::path& path) {
  std::vector<std::string> entries;
  std::ifstream in(path, std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    while (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) entries.push_back(std::move(line));
  }
  return entries;
}

bool append_history_file(const std::filesystem::path& path, const std::vector<std::string>& added) {
  if (added.empty()) return true;
  std::vector<std::string> entries = read_history_file(path);
  for (const std::string& line : added) add_history_entry(entries, line);
  const std::size_t first = entries.size() > kHistoryLimit ? entries.size() - kHistoryLimit : 0;
  std::string text;
  for (std::size_t i = first; i < entries.size(); ++i) text += entries[i] + '\n';
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  return platform_replace_file(path, text.data(), text.size());
}

void add_history_entry(std::vector<std::string>& entries, std::string_view line) {
  if (line.find_first_not_of(" \t") == std::string_view::npos) return;
  if (!entries.empty() && entries.back() == line) return;
  entries.emplace_back(line);
}
