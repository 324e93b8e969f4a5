// The settings file: options, the calculator's state, the user variables and the welcome-hint
// flag, read once at start-up and written at exit when something changed.
//
// The file is UTF-16 LE with a byte-order mark and CR LF line ends. Sections and keys come in
// one fixed order and are read positionally: a key is found only where the writer puts it, and
// every value that is missing, misplaced or unknown takes its default. Writing replaces the
// whole file in one step, so a failed save leaves the previous file as it was.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/messages.h"

inline constexpr int kSeparatorAutomatic = -1;
inline constexpr int kDecimalPoint = 0;  // decimal and thousands choices
inline constexpr int kDecimalComma = 1;
inline constexpr int kThousandsPoint = 0;
inline constexpr int kThousandsComma = 1;
inline constexpr int kThousandsApostrophe = 2;
inline constexpr int kThousandsNarrowSpace = 3;  // U+202F

inline constexpr int kAngleDeg = 1;
inline constexpr int kAngleRad = 2;
inline constexpr int kAngleGon = 3;

inline constexpr int kMaxSettingsVariables = 100;
inline constexpr std::int32_t kMaxSettingsPrecision = 10000;

struct SettingsVariable {
  std::u16string name;
  std::u16string value;
  bool operator==(const SettingsVariable&) const = default;
};

struct Settings {
  int language = kLanguageAutomatic;
  int decimal_separator = kSeparatorAutomatic;
  int thousands_separator = kSeparatorAutomatic;
  bool thousands_sep_sci_calc = false;
  bool thousands_sep_equations = false;
  bool thousands_sep_prime_nums = false;
  int angle_type = kAngleRad;
  int number_type = 1;  // NumberType: 1 real, 2 complex, 10 unsigned integer, 11 rational
  std::int32_t decimal_precision = 0;  // outside 1 ... 10000: the calculator page uses 10
  std::int32_t output_number_base = 10;
  bool use_lower_case_hex = false;
  std::vector<SettingsVariable> variables;  // at most kMaxSettingsVariables, in list order
  bool show_welcome_hint = true;
  bool operator==(const Settings&) const = default;
};

extern Settings g_settings;

// --- the program's settings ------------------------------------------------------------------
// The file's path, built on first use: the application-data folder, "Numerion",
// "UserSettings_3.8.ini"; the root folder when there is no application-data folder.
const std::filesystem::path& settings_path();
std::filesystem::path build_settings_path();

// Reads g_settings from the file, makes the separator pair consistent and applies the
// separators. Never fails: whatever cannot be read takes its default.
void load_settings();
// Runs the save hook, then writes g_settings when they changed. Returns false when a write was
// due and failed (the old file is then untouched and the settings stay marked as changed).
bool save_settings();
void mark_settings_changed();
bool settings_changed();
void clear_settings_changed();
// Called first by save_settings; the variable list installs one to copy edited variables in.
void set_settings_save_hook(void (*hook)());
// Copies at most kMaxSettingsVariables pairs into g_settings and marks them changed.
void store_settings_variables(std::span<const SettingsVariable> variables);

// --- file contents ---------------------------------------------------------------------------
// The text after the byte-order mark, positional; `out` is reset to the defaults first. Variable
// names and values are kept as written (the variables list reports names it cannot use), except
// that lone surrogates become U+FFFD.
void parse_settings(std::u16string_view text, Settings& out);
// The text after the byte-order mark. Characters a variable line cannot carry (CR, LF and NUL,
// and ";" in a name, which would move the name/value split) are written as spaces.
std::u16string settings_text(const Settings& s);
// The whole file: byte-order mark and UTF-16 LE. Without the mark the bytes count as no file.
std::vector<unsigned char> encode_settings_file(const Settings& s);
// A NUL in the text is read as a space, as the writer writes it.
void decode_settings_file(std::span<const unsigned char> bytes, Settings& out);
// Reads at most kMaxSettingsFileBytes; false when there is no readable file (out = defaults).
inline constexpr std::size_t kMaxSettingsFileBytes = std::size_t{64} << 20;
bool read_settings_file(const std::filesystem::path& path, Settings& out);
// Creates the folder when missing and replaces the file in one step; false on any failure.
bool write_settings_file(const std::filesystem::path& path, const Settings& s);

// --- separators --------------------------------------------------------------------------------
// "Automatic" is all or nothing, and fixed separators must be known and differ: when exactly one
// choice is automatic, or a fixed pair is unknown or equal, both become automatic. Returns true
// when it changed something.
bool make_separators_consistent(Settings& s);
// Sets the separator slots of the number settings: an automatic choice (or an unknown code)
// takes the locale's separator, "." and "'" when the locale gives none. A refused character
// (see separator_char_allowed) leaves the slots as they were and sets MathStatus 100.
void apply_separators(const Settings& s);

// The calculator page's view of two stored values: a precision outside 1 ... 10000 becomes 10, a
// base other than 2, 8, 10 or 16 becomes 10. Returns true when the precision was replaced, which
// the page records as a change of the settings.
bool normalize_calculator_settings(Settings& s);
