// Elimination with partial pivoting on values of the current NumberType and the solution text.
#include "solvers/linear.h"

#include <algorithm>
#include <utility>

#include "app/app_error.h"
#include "app/messages.h"
#include "app/text_builder.h"
#include "core/complex.h"
#include "core/text.h"
#include "integer/rational.h"
#include "solvers/solver_common.h"

namespace {

constexpr MessageId kMsgUnsolvable = 88;
constexpr MessageId kMsgOneParameter = 89;
constexpr MessageId kMsgParameters = 90;
constexpr std::int64_t kMaxLineLength = 10000;
constexpr std::int64_t kMaxNameList = 31;

bool approximate() {
  return NumberType == kTypeReal || NumberType == kTypeComplex;
}

// Exponent of the leading digit of the larger non-zero part; `have` tells whether one was seen.
void widen(std::int64_t& e, bool& have, const DecFloat* x) {
  if (is_special(x)) return;
  e = have ? std::max(e, dec_exponent(x)) : dec_exponent(x);
  have = true;
}

// v := v + y. For real and complex values, a result more than `digits` decimal places below
// the larger operand is what cancellation leaves of rounding errors, so it becomes an exact
// zero (each part of a complex value on its own). A fixed absolute threshold would instead
// wipe out every coefficient of a system written in small units; this test does not depend on
// the scale.
void add_flushed(NumValue* v, const NumValue* y, std::int64_t digits) {
  const bool approx = approximate();
  std::int64_t e = 0;
  bool have = false;
  const int parts = NumberType == kTypeComplex ? 2 : 1;
  const std::int64_t stride = dec_words();
  if (approx) {
    for (int k = 0; k < parts; ++k) {
      widen(e, have, v + k * stride);
      widen(e, have, y + k * stride);
    }
  }
  num_add(v, v, y);
  if (!have) return;
  for (int k = 0; k < parts; ++k) {
    DecFloat* part = v + k * stride;
    if (!is_special(part) && dec_exponent(part) < e - digits) make_zero(part, false);
  }
}

// A complex value is only as exact as its modulus: a part more than `digits` places below the
// other is left over from cancellation inside a product or quotient and becomes zero.
void flush_parts(NumValue* v, std::int64_t digits) {
  if (NumberType != kTypeComplex) return;
  DecFloat* re = cplx_re(v);
  DecFloat* im = cplx_im(v);
  if (is_special(re) || is_special(im)) return;
  if (dec_exponent(re) < dec_exponent(im) - digits) make_zero(re, false);
  if (dec_exponent(im) < dec_exponent(re) - digits) make_zero(im, false);
}

// Magnitude for the pivot choice: |a|, the modulus for complex values.
void magnitude(NumValue* m, const NumValue* a) {
  num_abs(m, a);
}

class Solver {
 public:
  Solver(LinearSystem& s, std::int64_t digits) : s_(s), n_(s.n), digits_(digits) {}

  // Row echelon form; pivot_col_[r] is the column of row r's pivot.
  void eliminate() {
    ScratchScope scope;
    NumValue* m = scratch_num();
    NumValue* t = scratch_num();
    NumValue* g = scratch_num();
    NumValue* prod = scratch_num();
    std::int64_t r = 0;
    for (std::int64_t k = 0; k < n_ && r < n_ && ok(); ++k) {
      // The first row with the largest magnitude wins.
      std::int64_t best = r;
      magnitude(m, at(r, k));
      for (std::int64_t j = r + 1; j < n_; ++j) {
        magnitude(t, at(j, k));
        if (num_compare(t, m, true) > 0) {
          best = j;
          num_copy(m, t);
        }
      }
      if (num_is_zero(m)) continue;  // no pivot: x_k stays free
      std::swap(s_.rows[static_cast<std::size_t>(r)], s_.rows[static_cast<std::size_t>(best)]);
      for (std::int64_t j = r + 1; j < n_ && ok(); ++j) {
        if (num_is_zero(at(j, k))) continue;
        num_div(g, at(j, k), at(r, k));
        num_negate(g, g);
        flush_parts(g, digits_);
        num_set_zero(at(j, k));
        for (std::int64_t c = k + 1; c <= n_; ++c) {
          if (num_is_zero(at(r, c))) continue;
          num_mul(prod, at(r, c), g);
          flush_parts(prod, digits_);
          add_flushed(at(j, c), prod, digits_);
        }
        if (cancel_requested()) set_status(MathStatus::Cancelled);
      }
      pivot_col_.push_back(k);
      ++r;
    }
  }

  // True when a row without pivot keeps a non-zero right side: 0 = b.
  bool inconsistent() {
    for (auto r = static_cast<std::int64_t>(pivot_col_.size()); r < n_; ++r) {
      if (!num_is_zero(at(r, n_))) return true;
    }
    return false;
  }

  void back_substitute(LinearSolution& out) {
    std::vector<bool> is_free(static_cast<std::size_t>(n_), true);
    for (std::int64_t c : pivot_col_) is_free[static_cast<std::size_t>(c)] = false;
    const std::int64_t f = n_ - static_cast<std::int64_t>(pivot_col_.size());
    out.free = f;
    const std::size_t w = num_words();
    out.values.assign(w * static_cast<std::size_t>(n_ * (f + 1)), 0);
    for (std::int64_t i = 0; i < n_; ++i) {
      for (std::int64_t p = 0; p <= f; ++p) num_set_zero(x(out, i, p));
    }
    // Parameter 1 belongs to the free variable with the highest index.
    std::int64_t q = 0;
    for (std::int64_t i = n_ - 1; i >= 0; --i) {
      if (is_free[static_cast<std::size_t>(i)]) num_set_i64(x(out, i, ++q), 1);
    }
    ScratchScope scope;
    NumValue* h = scratch_num();
    NumValue* prod = scratch_num();
    for (auto r = static_cast<std::int64_t>(pivot_col_.size()) - 1; r >= 0 && ok(); --r) {
      const std::int64_t col = pivot_col_[static_cast<std::size_t>(r)];
      num_copy(x(out, col, 0), at(r, n_));
      for (std::int64_t c = col + 1; c < n_; ++c) {
        if (num_is_zero(at(r, c))) continue;
        num_negate(h, at(r, c));
        for (std::int64_t p = 0; p <= f; ++p) {
          if (num_is_zero(x(out, c, p))) continue;
          num_mul(prod, h, x(out, c, p));
          flush_parts(prod, digits_);
          add_flushed(x(out, col, p), prod, digits_);
        }
      }
      for (std::int64_t p = 0; p <= f; ++p) {
        num_div(x(out, col, p), x(out, col, p), at(r, col));
        flush_parts(x(out, col, p), digits_);
      }
    }
  }

  NumValue* x(LinearSolution& out, std::int64_t i, std::int64_t p) const {
    return out.values.data() + num_words() * static_cast<std::size_t>(i * (out.free + 1) + p);
  }

 private:
  NumValue* at(std::int64_t r, std::int64_t c) { return linear_value(s_, r, c); }
  static bool ok() { return math_status() == MathStatus::Ok; }

  LinearSystem& s_;
  std::int64_t n_;
  std::int64_t digits_;
  std::vector<std::int64_t> pivot_col_;
};

std::u16string fill(MessageId id, std::u16string_view arg) {
  std::u16string text(msg(id));
  const std::size_t at = text.find(u"%s");
  if (at != std::u16string::npos) text.replace(at, 2, arg);
  return text;
}

std::u16string term_text(const LinearSolution& s, std::int64_t i) {
  std::u16string t;
  const NumValue* c0 = solution_value(s, i, 0);
  bool written = false;
  if (!num_is_zero(c0)) {
    t = solver_value_text(c0, s.flags);
    written = true;
  }
  const std::uint32_t signed_flags = s.flags | kShowPlusSign;
  for (std::int64_t q = 1; q <= s.free; ++q) {
    const NumValue* c = solution_value(s, i, q);
    if (num_is_zero(c)) continue;
    const std::u16string name = FreeParameterName(s.free - q + 1);
    if (num_compare_i64(c, 1) == 0) {
      if (written) t += u'+';
    } else if (num_compare_i64(c, -1) == 0) {
      t += u'-';
    } else if (NumberType == kTypeComplex && !is_zero(cplx_re(c)) && !is_zero(cplx_im(c))) {
      if (written) t += u'+';
      t.append(u"(").append(solver_value_text(c, s.flags)).append(u")*");
    } else if (NumberType == kTypeRational && !rational_is_integer(c)) {
      std::u16string v = solver_value_text(c, written ? signed_flags : s.flags);
      if (!v.empty() && (v[0] == u'+' || v[0] == u'-')) {
        t += v[0];
        v.erase(0, 1);
      }
      t.append(u"(").append(v).append(u")*");
    } else {
      t.append(solver_value_text(c, written ? signed_flags : s.flags)).append(u"*");
    }
    t += name;
    written = true;
  }
  if (!written) t = u"0";
  return t;
}

std::u16string name_list(std::int64_t f) {
  std::u16string list;
  for (std::int64_t k = 1; k <= f; ++k) {
    if (f > 6 && k == 6) {
      list.append(u", \u2026, ").append(FreeParameterName(f));
      break;
    }
    if (k > 1) list += u", ";
    list += FreeParameterName(k);
  }
  if (static_cast<std::int64_t>(list.size()) > kMaxNameList) {
    list.resize(kMaxNameList - 1);
    list += kEllipsis;
    set_app_error(kAppErrorBufferOverflow);
  }
  return list;
}

void solve_in_place(LinearSystem& system, std::int64_t digits, LinearSolution& out) {
  Solver solver(system, digits);
  solver.eliminate();
  if (math_status() == MathStatus::Ok) {
    if (solver.inconsistent()) {
      out.count = -1;
    } else {
      out.count = system.n;
      solver.back_substitute(out);
    }
  }
  if (math_status() == MathStatus::Ok && out.count > 0 && approximate()) {
    for (std::int64_t i = 0; i < out.count; ++i) {
      for (std::int64_t p = 0; p <= out.free; ++p) {
        NumValue* v = solver.x(out, i, p);
        num_round_digits(v, v, digits);
      }
    }
  }
}

// A rational of `from` limbs into the layout of `to` limbs; 200 when it does not fit.
void resize_rational(Word* dst, std::int64_t to, const Word* src, std::int64_t from) {
  dst[0] = src[0];
  biguint_resize(dst + 1, to, src + 1, from);
  biguint_resize(dst + 1 + to, to, src + 1 + from, from);
}

// Each elimination step forms the product of two reduced fractions before the sum cancels it
// down again, and that product is about twice as long as anything in the solution. At the
// page's size it would overflow for systems whose solution fits easily, so the work runs at
// twice the limbs and only the solution has to fit the page's size.
void solve_rational_wide(LinearSystem& system, LinearSolution& out) {
  const std::int64_t narrow = BigUIntLimbs;
  const std::int64_t wide = std::min<std::int64_t>(2 * narrow, 1000);
  const std::int64_t n = system.n;
  const auto narrow_words = static_cast<std::size_t>(2 * narrow + 1);
  LinearSolution wide_out;
  {
    ContextScope size(ContextScope::kSizes);
    biguint_set_limbs(wide);
    LinearSystem ws;
    linear_system_init(ws, n);
    for (std::int64_t r = 0; r < n; ++r) {
      for (std::int64_t c = 0; c <= n; ++c) {
        resize_rational(
            linear_value(ws, r, c), wide,
            system.rows[static_cast<std::size_t>(r)] + narrow_words * static_cast<std::size_t>(c),
            narrow);
      }
    }
    solve_in_place(ws, 0, wide_out);
  }
  out.count = wide_out.count;
  out.free = wide_out.free;
  if (math_status() != MathStatus::Ok || out.count < 0) return;
  const auto values = static_cast<std::size_t>(out.count * (out.free + 1));
  const std::size_t wide_words = static_cast<std::size_t>(2 * wide + 1);
  out.values.assign(values * narrow_words, 0);
  for (std::size_t k = 0; k < values && math_status() == MathStatus::Ok; ++k) {
    resize_rational(out.values.data() + k * narrow_words, narrow,
                    wide_out.values.data() + k * wide_words, wide);
  }
}

}  // namespace

void linear_system_init(LinearSystem& s, std::int64_t n) {
  s.n = n;
  const std::size_t w = num_words();
  const auto cells = static_cast<std::size_t>(n * (n + 1));
  s.storage.assign(w * cells, 0);
  s.rows.resize(static_cast<std::size_t>(n));
  for (std::int64_t r = 0; r < n; ++r) {
    s.rows[static_cast<std::size_t>(r)] =
        s.storage.data() + w * static_cast<std::size_t>(r * (n + 1));
    for (std::int64_t c = 0; c <= n; ++c) num_set_zero(linear_value(s, r, c));
  }
}

NumValue* linear_value(LinearSystem& s, std::int64_t row, std::int64_t column) {
  return s.rows[static_cast<std::size_t>(row)] + num_words() * static_cast<std::size_t>(column);
}

const NumValue* solution_value(const LinearSolution& s, std::int64_t variable,
                               std::int64_t component) {
  return s.values.data() +
         num_words() * static_cast<std::size_t>(variable * (s.free + 1) + component);
}

void SolveLinearSystem(LinearSystem& system, std::int64_t digits, std::uint32_t flags,
                       LinearSolution& out) {
  clear_status();
  out = LinearSolution{};
  out.flags = flags;
  out.digits = digits;
  if (num_size() == 0 || NumberType == kTypeUInt || system.n < 1 ||
      static_cast<std::int64_t>(system.rows.size()) != system.n) {
    set_status(MathStatus::UnknownNumberType);
  } else if (NumberType == kTypeRational) {
    solve_rational_wide(system, out);
  } else {
    solve_in_place(system, digits, out);
  }
  if (math_status() != MathStatus::Ok) {
    out.count = -1;
    out.free = 0;
    out.values.clear();
    solver_status_to_error();
  }
}

std::u16string FormatSolution(const LinearSolution& s) {
  if (s.count < 0) return msg(kMsgUnsolvable);
  std::u16string text;
  for (std::int64_t i = 0; i < s.count; ++i) {
    std::u16string line(u"x");
    line.append(ascii16(std::to_string(i + 1))).append(u" = ").append(term_text(s, i));
    if (static_cast<std::int64_t>(line.size()) > kMaxLineLength) {
      line.resize(kMaxLineLength - 1);
      line += kEllipsis;
      set_app_error(kAppErrorBufferOverflow);
    }
    text.append(line).append(u"\r\n");
  }
  if (s.free > 0) {
    text += fill(s.free == 1 ? kMsgOneParameter : kMsgParameters, name_list(s.free));
  }
  solver_status_to_error();
  return text;
}

std::u16string FreeParameterName(std::int64_t k) {
  static constexpr char16_t kFirst[] = u"rstu";
  if (k >= 1 && k <= 4) return std::u16string(1, kFirst[k - 1]);
  std::u16string name(u"v");
  return name.append(ascii16(std::to_string(k - 4)));
}
