// Blocks of grid cells as plain text: splitting a pasted text into cells and joining cells for
// the clipboard. No user-interface library here, so tests and other callers use it directly.
//
// A pasted text is read in one pass whatever its size; only the fields that fit the given number
// of rows and columns are kept, each cut to the cell limit, so memory stays bounded by the grid.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// How the fields of a line are separated. Tabs win, then ";"; runs of spaces only when the text
// has neither outside quoted fields.
enum class PasteSeparator : std::uint8_t { Tab, Semicolon, Spaces };

// A cell text longer than this keeps its first kGridCellLimit - 1 characters and "…", as the
// pages cut the fields of their files; their checks then report the cell on Solve.
inline constexpr std::size_t kGridCellLimit = 1030;

struct PastedBlock {
  // rows[i][j]: field j of line i, for the lines and fields within the limits. Rows may differ
  // in length: a short line writes only its own fields.
  std::vector<std::vector<std::u16string>> rows;
  PasteSeparator separator = PasteSeparator::Tab;
  long long left_out = 0;  // fields beyond the last row or column
  long long cut = 0;       // kept fields that were cut to the cell limit
};

PasteSeparator detect_paste_separator(std::u16string_view text);

// Lines end with CR LF, LF or CR; a line end at the very end adds no line; an empty line is one
// empty field. A field starting with '"' is quoted: it runs to the next lone '"' (a doubled one
// stands for '"') and keeps separators and line ends. With ";" a ";" inside parentheses belongs
// to the field, as in "max(1; 2)". With spaces, a space next to an operator joins, so that
// "1 + 2" and "7 mod 3" stay one cell while "1 -2 3" gives three. NUL becomes U+FFFD.
PastedBlock split_pasted_text(std::u16string_view text, int max_rows, int max_columns,
                              std::size_t cell_limit = kGridCellLimit);

// `text` if it is at most `limit` characters long; else its first limit - 1 characters (without
// a lone half of a surrogate pair at the end) followed by "…".
std::u16string cut_cell_text(std::u16string_view text, std::size_t limit = kGridCellLimit);

// Cells separated by tabs and rows by "\n", which spreadsheets and text editors read. A cell
// holding a tab, a line end or a leading '"' is quoted, so that pasting it back restores it.
std::u16string join_copied_cells(const std::vector<std::vector<std::u16string>>& rows);
