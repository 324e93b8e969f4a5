// The formulas calculated before, kept in "history.txt" beside the settings file, one per line
// in UTF-8, the newest last. The calculator window keeps the same file.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::size_t kHistoryLimit = 1000;  // as the calculator window keeps

// "history.txt" in the folder of the settings file; empty when there is no such folder.
std::filesystem::path history_file_path();

// The entries of the file; a missing, unreadable or damaged file has none (the calculator
// window's reader: "\r\n" line ends accepted).
std::vector<std::string> read_history_file(const std::filesystem::path& path);

// Appends `added` to what the file holds now (another program may have written it since it was
// read), keeps the newest kHistoryLimit entries and replaces the file in one piece.
bool append_history_file(const std::filesystem::path& path, const std::vector<std::string>& added);

// Adds a formula unless it is blank or repeats the newest entry.
void add_history_entry(std::vector<std::string>& entries, std::string_view line);
