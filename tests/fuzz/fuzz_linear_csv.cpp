// libFuzzer target for the file reader of the linear systems page.
//
// Input: byte 0 picks where the bytes are split into two blocks (the reader is fed as a file
// arrives); the rest is the file. Invariant: a file that loads saves to a text that loads to
// the same equation count and the same visible cells, and saves to the same text again.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/app_error.h"
#include "solvers/linear_page.h"

namespace {

bool load(const unsigned char* data, std::size_t size, std::size_t split, LinearGrid& grid) {
  clear_app_error();
  CsvReadState st;
  csv_read_begin(st, grid);
  if (split > size) split = size;
  if (csv_read_feed(st, data, split)) csv_read_feed(st, data + split, size - split);
  csv_read_end(st);
  if (st.failed != (app_error_code() != 0)) {
    // A header outside 2 ... 25 equations is the only failure below the size limit.
    __builtin_trap();
  }
  return !st.failed && st.header_done;
}

bool same_visible_cells(const LinearGrid& a, const LinearGrid& b) {
  if (a.count != b.count) return false;
  for (std::int64_t r = 0; r < a.count; ++r) {
    const auto& ra = a.cells[static_cast<std::size_t>(r)];
    const auto& rb = b.cells[static_cast<std::size_t>(r)];
    for (std::int64_t c = 0; c < a.count; ++c) {
      if (ra[static_cast<std::size_t>(c)] != rb[static_cast<std::size_t>(c)]) return false;
    }
    if (ra[kLinearColumnB] != rb[kLinearColumnB]) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static LinearGrid first, second;
  if (!load(data + 1, size - 1, data[0], first)) return 0;
  if (first.count < 2 || first.count > 25) __builtin_trap();
  const std::string saved = CsvText(first);
  if (!load(reinterpret_cast<const unsigned char*>(saved.data()), saved.size(), data[0], second)) {
    __builtin_trap();
  }
  if (!same_visible_cells(first, second)) __builtin_trap();
  if (CsvText(second) != saved) __builtin_trap();
  clear_app_error();
  return 0;
}
