// The formulas the user calculated, newest last, for recall with Up and Down in the input line
// and across runs in "history.txt" (UTF-8, one formula per line) beside the settings file.
#pragma once

#include <cstddef>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

class CalcHistory {
 public:
  static constexpr std::size_t kMaxEntries = 1000;
  // The longest formula kept; longer ones are calculated but not remembered.
  static constexpr std::size_t kMaxFormulaLength = 100000;

  // Appends a calculated formula (line breaks become spaces, so that it fits on one line of the
  // file); an empty one, or one equal to the newest, is not added. Ends a walk.
  void add(std::u16string_view formula);
  // One step back (older) or forward (newer) in a walk. The first step back remembers `current`,
  // the text being edited, which a step forward past the newest entry gives back. nullopt when
  // there is no further entry.
  std::optional<std::u16string> older(std::u16string_view current);
  std::optional<std::u16string> newer();
  // Forgets the walk (the user edited the recalled text or calculated).
  void end_walk() { position_ = npos; }
  bool walking() const { return position_ != npos; }

  const std::deque<std::u16string>& entries() const { return entries_; }
  void clear();

 private:
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);
  std::deque<std::u16string> entries_;
  std::size_t position_ = npos;  // index of the entry shown during a walk
  std::u16string draft_;
};

// The file's bytes: UTF-8, one formula per line, "\n" line ends, oldest first.
std::string history_file_text(const CalcHistory& history);
// Reads the file's bytes into `out` (replacing its entries). False, and `out` untouched, when the
// bytes are not valid UTF-8 or hold a NUL: a damaged file is ignored as a whole. Lines beyond the
// newest 1,000 are dropped; "\r\n" line ends are accepted.
bool parse_history_file(std::string_view bytes, CalcHistory& out);

// "history.txt" in the folder of the settings file.
std::filesystem::path history_path();
// False (and `out` untouched) when the file is missing, unreadable, larger than 64 MB or damaged.
bool read_history_file(const std::filesystem::path& path, CalcHistory& out);
// Replaces the file in one step; on failure the old file stays as it was.
bool write_history_file(const std::filesystem::path& path, const CalcHistory& history);
