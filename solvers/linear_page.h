// The linear-systems page without its window: the grid's cell texts, one solve from those texts
// to the result field's text, and the ";"-separated file format of Load and Save.
//
// Errors go to the AppError record: 3400 a cell text too long, 3401 a cell formula failing,
// 3402 a file header with fewer than 2 or more than 25 ";", 1005 a file not found, 1006 any
// other file failure, 9000 an equation count outside 2..25, and the solver's own.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "formula/variable_table.h"
#include "solvers/linear.h"

inline constexpr int kLinearColumnB = 25;
inline constexpr int kLinearGridColumns = 27;  // a1..a25, b and one hidden column

struct LinearGrid {
  std::int64_t count = 2;  // equations shown
  // Hidden cells (columns count..24) keep their texts.
  std::array<std::array<std::u16string, kLinearGridColumns>, kMaxEquations> cells;
};

// "a1".."a25" for columns 0..24, "b" for column 25.
std::u16string LinearColumnName(int column);
void SetEquationCount(LinearGrid& grid, std::int64_t n);  // clamped to 2..25
void ClearLinearGrid(LinearGrid& grid);                   // rows 0..24, columns 0..25

struct LinearRequest {
  std::uint32_t type = kTypeReal;  // kTypeReal, kTypeComplex or kTypeRational
  std::int64_t digits = 10;        // P, 5..1000; unused for rationals
  bool grouping = false;           // thousands separators in the numbers
  const LinearGrid* grid = nullptr;
  const VariableTable* variables = nullptr;
};
// The Solve button: reads the cells, solves and writes the result field's text into `result`
// ("\r\n" line ends). False with AppError set on failure; `result` may then hold a partial text.
bool RunLinearSolve(const LinearRequest& request, std::u16string& result);

// Feeding a file's bytes into the grid as they arrive; the pieces of LoadCsv, usable on any
// byte source. A file is read as UTF-8 when all of it that was read is valid UTF-8, otherwise
// one byte per character. A field starting with a double quote is quoted: ";" inside is text,
// "" is one quote. A last line without LF counts like any other; CR is ignored everywhere.
struct CsvReadState {
  LinearGrid* grid = nullptr;
  std::int64_t line = 0;  // 0 while in the header
  std::int64_t semicolons = 0;
  std::int64_t field = 0;
  std::uint64_t total = 0;
  bool header_done = false;
  bool failed = false;     // 3402 or a file beyond the size limit
  bool done = false;       // every line the grid can take has been read
  bool line_open = false;  // bytes other than CR since the last LF
  // Streaming UTF-8 check: `utf8_ok` up to the last complete line.
  bool utf8_valid = true;
  bool utf8_ok = true;
  int utf8_need = 0;
  unsigned char utf8_lo = 0x80, utf8_hi = 0xBF;
  struct Cell {
    int row;
    int column;
    std::string raw;
    bool cut;
  };
  std::string raw;
  bool raw_cut = false;
  bool field_started = false;    // a byte of the field has been seen
  bool quoted = false;           // inside a field that started with a quote
  bool quote_seen = false;       // a quote inside it, closing unless another follows
  std::vector<Cell> line_cells;  // of the line being read
  std::vector<Cell> pending;     // of complete lines
};
// Clears the grid and starts reading.
void csv_read_begin(CsvReadState& st, LinearGrid& grid);
// False when nothing more is wanted (done or failed).
bool csv_read_feed(CsvReadState& st, const unsigned char* data, std::size_t size);
// Ends the last line when it has no LF and writes the fields of every line into the grid. A
// source without a header line (an empty one) fails with 3402 like a wrong header; after a
// failure nothing is written.
void csv_read_end(CsvReadState& st);

// Load and Save; messages name the file. Load changes the grid only when the whole file was
// read and its header is valid: a wrong or unreadable file leaves the grid as it was.
// `header_read` (optional) tells whether the file had a header line.
bool LoadCsv(const std::filesystem::path& path, LinearGrid& grid, bool* header_read = nullptr);
bool SaveCsv(const std::filesystem::path& path, const LinearGrid& grid);
// The bytes SaveCsv writes: ASCII text byte for byte, other characters as UTF-8, CR LF line ends;
// a cell holding ";" or starting with a quote goes in quotes.
std::string CsvText(const LinearGrid& grid);
// The Save dialog's rule: ".csv" appended when the part after the last "\" or "/" has no ".".
std::u16string CsvSaveName(std::u16string name);
