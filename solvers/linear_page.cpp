// The linear-systems page's work behind its buttons: solving from cell texts, loading and
// saving the grid.
#include "solvers/linear_page.h"

#include <algorithm>

#include "app/app_error.h"
#include "app/platform.h"
#include "app/text_builder.h"
#include "app/utf8.h"
#include "core/decfloat.h"
#include "core/text.h"
#include "solvers/solver_common.h"

namespace {

constexpr std::uint32_t kErrorCellTooLong = 3400;
constexpr std::uint32_t kErrorCellFormula = 3401;
constexpr std::uint32_t kErrorHeader = 3402;
constexpr std::size_t kMaxFieldChars = 1030;  // a longer field keeps 1029 and gets "…"
// Enough bytes for kMaxFieldChars + 1 UTF-16 units in either reading.
constexpr std::size_t kMaxFieldBytes = 4 * (kMaxFieldChars + 1);
// A complete file of 25 equations stays far below this; beyond it the source is not one.
constexpr std::uint64_t kMaxCsvBytes = 64u << 20;

std::u16string file_name(const std::filesystem::path& path) {
  const std::u8string bytes = path.u8string();
  return utf8_or_latin1_to_utf16(
      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void utf8_step(CsvReadState& st, unsigned char b) {
  if (!st.utf8_valid) return;
  if (st.utf8_need > 0) {
    if (b < st.utf8_lo || b > st.utf8_hi) {
      st.utf8_valid = false;
    } else {
      --st.utf8_need;
      st.utf8_lo = 0x80;
      st.utf8_hi = 0xBF;
    }
    return;
  }
  if (b < 0x80) return;
  // The bounds of the first continuation byte exclude overlong forms, surrogates and values
  // above U+10FFFF.
  if (b >= 0xC2 && b <= 0xDF) {
    st.utf8_need = 1;
  } else if (b >= 0xE0 && b <= 0xEF) {
    st.utf8_need = 2;
    if (b == 0xE0) st.utf8_lo = 0xA0;
    if (b == 0xED) st.utf8_hi = 0x9F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    st.utf8_need = 3;
    if (b == 0xF0) st.utf8_lo = 0x90;
    if (b == 0xF4) st.utf8_hi = 0x8F;
  } else {
    st.utf8_valid = false;
  }
}

int field_column(std::int64_t field, std::int64_t n) {
  if (field < n) return static_cast<int>(field);
  if (field == n) return kLinearColumnB;
  // Extra fields go to the hidden columns after the count, but never over b.
  if (field < kLinearGridColumns && field != kLinearColumnB) return static_cast<int>(field);
  return -1;
}

void add_byte(CsvReadState& st, unsigned char b) {
  st.field_started = true;
  if (st.raw.size() < kMaxFieldBytes) {
    st.raw.push_back(static_cast<char>(b));
  } else {
    st.raw_cut = true;
  }
}

// A field that starts with a double quote runs to the next lone quote; inside, ";" is text
// and "" one quote. True when the byte was taken here.
bool take_quoted(CsvReadState& st, unsigned char b) {
  if (!st.field_started && b == '"') {
    st.field_started = true;
    st.quoted = true;
    return true;
  }
  if (!st.quoted) return false;
  if (st.quote_seen) {
    st.quote_seen = false;
    if (b != '"') {
      st.quoted = false;
      return false;
    }
    add_byte(st, b);
    return true;
  }
  if (b == '"') {
    st.quote_seen = true;
    return true;
  }
  add_byte(st, b);
  return true;
}

void end_field(CsvReadState& st) {
  const int column = field_column(st.field, st.grid->count);
  const std::int64_t row = st.line - 1;
  if (column >= 0 && row < st.grid->count) {
    st.line_cells.push_back({static_cast<int>(row), column, std::move(st.raw), st.raw_cut});
  }
  st.raw.clear();
  st.raw_cut = false;
  st.field_started = st.quoted = st.quote_seen = false;
  ++st.field;
}

void end_line(CsvReadState& st) {
  st.utf8_ok = st.utf8_valid && st.utf8_need == 0;
  if (!st.header_done) {
    st.header_done = true;
    if (st.semicolons < kMinEquations || st.semicolons > kMaxEquations) {
      set_app_error(kErrorHeader, u"25");
      st.failed = true;
      return;
    }
    SetEquationCount(*st.grid, st.semicolons);
  } else {
    end_field(st);
    // Only a line complete with its LF counts.
    for (CsvReadState::Cell& c : st.line_cells) st.pending.push_back(std::move(c));
    st.line_cells.clear();
  }
  ++st.line;
  st.field = 0;
  st.field_started = st.quoted = st.quote_seen = false;
  if (st.line > st.grid->count) st.done = true;
}

// Drops an incomplete sequence at the end of a cut UTF-8 field.
void trim_partial_utf8(std::string& raw) {
  std::size_t i = raw.size();
  int back = 0;
  while (i > 0 && back < 4 && (static_cast<unsigned char>(raw[i - 1]) & 0xC0) == 0x80) {
    --i;
    ++back;
  }
  if (i == 0) return;
  const auto lead = static_cast<unsigned char>(raw[i - 1]);
  const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  if (length > back + 1) raw.resize(i - 1);
}

std::u16string decode_field(std::string raw, bool utf8) {
  std::u16string text;
  if (utf8) {
    trim_partial_utf8(raw);
    if (!utf8_to_utf16(raw, text)) text.clear();
  } else {
    text.assign(raw.begin(), raw.end());
    for (std::size_t i = 0; i < raw.size(); ++i) text[i] = static_cast<unsigned char>(raw[i]);
  }
  if (text.size() > kMaxFieldChars) {
    std::size_t keep = kMaxFieldChars - 1;
    if (text[keep - 1] >= 0xD800 && text[keep - 1] <= 0xDBFF) --keep;  // no half pair
    text.resize(keep);
    text += kEllipsis;
  }
  return text;
}

bool feed_block(void* context, const unsigned char* data, std::size_t size) {
  return csv_read_feed(*static_cast<CsvReadState*>(context), data, size);
}

}  // namespace

std::u16string LinearColumnName(int column) {
  if (column == kLinearColumnB) return u"b";
  std::u16string name(u"a");
  return name.append(ascii16(std::to_string(column + 1)));
}

void SetEquationCount(LinearGrid& grid, std::int64_t n) {
  grid.count = std::clamp(n, kMinEquations, kMaxEquations);
}

void ClearLinearGrid(LinearGrid& grid) {
  for (auto& row : grid.cells) {
    for (int c = 0; c <= kLinearColumnB; ++c) row[static_cast<std::size_t>(c)].clear();
  }
}

bool RunLinearSolve(const LinearRequest& req, std::u16string& result) {
  result.clear();
  clear_app_error();
  const std::int64_t n = req.grid != nullptr ? req.grid->count : 0;
  if (n < kMinEquations || n > kMaxEquations) {
    set_app_error(kAppErrorInternal);
    return false;
  }
  prepare_solver_numbers(req.type, req.digits + 2 + n / 4);
  if (math_status() != MathStatus::Ok || num_size() == 0) {
    solver_status_to_error();
    return false;
  }
  LinearSystem system;
  linear_system_init(system, n);
  for (std::int64_t r = 0; r < n; ++r) {
    const std::u16string row_text = ascii16(std::to_string(r + 1));
    for (std::int64_t c = 0; c <= n; ++c) {
      const int column = c == n ? kLinearColumnB : static_cast<int>(c);
      const std::u16string name = LinearColumnName(column);
      const CoefficientErrors errors{kErrorCellTooLong, kErrorCellFormula, row_text.c_str(),
                                     name.c_str()};
      const auto& cell =
          req.grid->cells[static_cast<std::size_t>(r)][static_cast<std::size_t>(column)];
      if (!read_coefficient_cell(cell, req.variables, linear_value(system, r, c), errors)) {
        return false;
      }
    }
  }
  clear_status();
  LinearSolution solution;
  SolveLinearSystem(system, req.digits, req.grouping ? kAllowGrouping : 0, solution);
  if (app_error_code() != 0) return false;
  result = FormatSolution(solution);
  solver_status_to_error();
  return app_error_code() == 0;
}

void csv_read_begin(CsvReadState& st, LinearGrid& grid) {
  st = CsvReadState{};
  st.grid = &grid;
  ClearLinearGrid(grid);
}

bool csv_read_feed(CsvReadState& st, const unsigned char* data, std::size_t size) {
  for (std::size_t i = 0; i < size && !st.done && !st.failed; ++i) {
    const unsigned char b = data[i];
    if (++st.total > kMaxCsvBytes) {
      st.failed = true;
      break;
    }
    utf8_step(st, b);
    if (b != '\r') st.line_open = b != '\n';
    if (st.header_done && b != '\n' && b != '\r' && take_quoted(st, b)) continue;
    if (b == '\n') {
      end_line(st);
    } else if (b == '\r') {
      // ignored everywhere
    } else if (!st.header_done) {
      // A header of more than 25 ";" is wrong whatever follows: no need to read on.
      if (b == ';' && ++st.semicolons > kMaxEquations) {
        set_app_error(kErrorHeader, u"25");
        st.failed = true;
      }
    } else if (b == ';') {
      end_field(st);
    } else {
      add_byte(st, b);
    }
  }
  return !st.done && !st.failed;
}

void csv_read_end(CsvReadState& st) {
  // Editors often end a file without a final LF; its last line is an equation all the same.
  if (st.line_open && !st.done && !st.failed) end_line(st);
  st.line_open = false;
  if (!st.header_done && !st.failed) {
    set_app_error(kErrorHeader, u"25");
    st.failed = true;
  }
  if (st.failed) {
    st.pending.clear();
    return;
  }
  for (CsvReadState::Cell& cell : st.pending) {
    st.grid->cells[static_cast<std::size_t>(cell.row)][static_cast<std::size_t>(cell.column)] =
        decode_field(std::move(cell.raw), st.utf8_ok);
  }
  st.pending.clear();
}

bool LoadCsv(const std::filesystem::path& path, LinearGrid& grid, bool* header_read) {
  clear_app_error();
  CsvReadState st;
  // Read into a copy: the user's cells are replaced only by a file read whole with a valid
  // header, never by a wrong or unreadable one.
  LinearGrid loaded = grid;
  csv_read_begin(st, loaded);
  const PlatformRead r = platform_read_file(path, feed_block, &st);
  if (r == PlatformRead::NotFound) {
    set_app_error(kAppErrorFileNotFound, file_name(path).c_str());
    return false;
  }
  if (r == PlatformRead::Failed) {
    set_app_error(kAppErrorFileAccess, file_name(path).c_str());
    return false;
  }
  csv_read_end(st);
  if (header_read != nullptr) *header_read = st.header_done;
  if (st.failed) {
    if (app_error_code() == 0) set_app_error(kAppErrorFileAccess, file_name(path).c_str());
    return false;
  }
  grid = loaded;
  return true;
}

namespace {

// ";" is also the formula's argument separator ("gcd(4;6)"): such a cell, and one that starts
// with a quote, is written in quotes so that reading it back keeps it whole.
void append_field(std::u16string& text, const std::u16string& cell) {
  if (cell.find(u';') == std::u16string::npos && (cell.empty() || cell[0] != u'"')) {
    text += cell;
    return;
  }
  text += u'"';
  for (char16_t c : cell) {
    if (c == u'"') text += u'"';
    text += c;
  }
  text += u'"';
}

}  // namespace

std::string CsvText(const LinearGrid& grid) {
  std::u16string text;
  const std::int64_t n = grid.count;
  for (std::int64_t c = 0; c < n; ++c)
    text.append(LinearColumnName(static_cast<int>(c))).append(u";");
  text.append(u"b\r\n");
  for (std::int64_t r = 0; r < n; ++r) {
    const auto& row = grid.cells[static_cast<std::size_t>(r)];
    for (std::int64_t c = 0; c < n; ++c) {
      append_field(text, row[static_cast<std::size_t>(c)]);
      text += u';';
    }
    append_field(text, row[kLinearColumnB]);
    text.append(u"\r\n");
  }
  return utf16_to_utf8(text);
}

bool SaveCsv(const std::filesystem::path& path, const LinearGrid& grid) {
  clear_app_error();
  const std::string bytes = CsvText(grid);
  // Written beside the target and renamed over it: a failed save leaves the old file whole.
  if (!platform_replace_file(path, bytes.data(), bytes.size())) {
    set_app_error(kAppErrorFileAccess, file_name(path).c_str());
    return false;
  }
  return true;
}

std::u16string CsvSaveName(std::u16string name) {
  const std::size_t slash = name.find_last_of(u"\\/");
  const std::size_t start = slash == std::u16string::npos ? 0 : slash + 1;
  if (name.find(u'.', start) == std::u16string::npos && name.size() + 4 <= 260) name += u".csv";
  return name;
}
