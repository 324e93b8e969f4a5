// Ordering, merging and filtering of a RootSet. Each entry's value, exact text and
// multiplicity move together.
#include <algorithm>

#include "core/arith.h"
#include "solvers/roots.h"

namespace {

// Real roots first and ascending; then by real part, |imaginary part|, negative imaginary first.
bool comes_after(const Complex* a, const Complex* b) {
  const bool ra = cplx_is_real(a), rb = cplx_is_real(b);
  if (ra != rb) return rb;
  const int cr = dec_compare(cplx_re(a), cplx_re(b), false);
  if (ra || cr != 0) return cr > 0;
  const int ci = dec_compare(cplx_im(a), cplx_im(b), true);
  if (ci != 0) return ci > 0;
  return !dec_negative(cplx_im(a)) && dec_negative(cplx_im(b));
}

void swap_entries(RootSet& r, std::int64_t i, std::int64_t j) {
  const std::size_t cw = complex_words_at(r.digits);
  std::swap_ranges(root_value(r, i), root_value(r, i) + cw, root_value(r, j));
  std::swap(r.exact[i], r.exact[j]);
  std::swap(r.multiplicity[i], r.multiplicity[j]);
}

bool equal_values(const Complex* a, const Complex* b) {
  return dec_compare(cplx_re(a), cplx_re(b), false) == 0 &&
         dec_compare(cplx_im(a), cplx_im(b), false) == 0;
}

}  // namespace

void SortRoots(RootSet& r) {
  if (r.count < 2) return;
  ContextScope scope = ContextScope::precision(r.digits);
  for (std::int64_t end = r.count - 1; end > 0; --end) {
    for (std::int64_t i = 0; i < end; ++i) {
      if (comes_after(root_value(r, i), root_value(r, i + 1))) swap_entries(r, i, i + 1);
    }
  }
}

void MergeEqualRoots(RootSet& r) {
  if (r.count < 2) return;
  ContextScope scope = ContextScope::precision(r.digits);
  const std::size_t cw = complex_words_at(r.digits);
  std::int64_t out = 0;
  for (std::int64_t i = 0; i < r.count;) {
    std::int64_t mult = r.multiplicity[i];
    std::int64_t j = i + 1;
    while (j < r.count && equal_values(root_value(r, i), root_value(r, j))) {
      mult += r.multiplicity[j];
      ++j;
    }
    if (out != i) {
      std::copy_n(root_value(r, i), cw, root_value(r, out));
      r.exact[out] = r.exact[i];
    }
    r.multiplicity[out] = mult;
    ++out;
    i = j;
  }
  r.count = out;
}

void KeepRealRoots(RootSet& r) {
  ContextScope scope = ContextScope::precision(r.digits);
  while (r.count > 0 && !cplx_is_real(root_value(r, r.count - 1))) --r.count;
}
