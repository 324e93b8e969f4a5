// Polynomial arithmetic on values of the current NumberType and the result texts.
#include "solvers/polynomial.h"

#include <initializer_list>
#include <string_view>

#include "app/app_error.h"
#include "app/messages.h"
#include "core/arith.h"
#include "core/complex.h"
#include "core/text.h"
#include "formula/formula.h"
#include "integer/rational.h"
#include "solvers/solver_common.h"

namespace {

constexpr MessageId kMsgRemainder = 97;  // "Remainder"

void round_all(Polynomial& p, std::int64_t digits) {
  if (NumberType != kTypeReal && NumberType != kTypeComplex) return;
  for (int k = 0; k <= kMaxPolyDegree; ++k)
    num_round_digits(poly_coef(p, k), poly_coef(p, k), digits);
}

std::u16string row_name(int row) {
  return join_text({u"P", decimal_text(row), u"(x)"});
}

bool all_zero(const Polynomial& p) {
  for (int k = 0; k <= kMaxPolyDegree; ++k) {
    if (!num_is_zero(poly_coef(p, k))) return false;
  }
  return true;
}

}  // namespace

void polynomial_init(Polynomial& p) {
  p.words.assign(num_words() * (kMaxPolyDegree + 1), 0);
  for (int k = 0; k <= kMaxPolyDegree; ++k) num_set_zero(poly_coef(p, k));
}

NumValue* poly_coef(Polynomial& p, int k) {
  return p.words.data() + (p.words.size() / (kMaxPolyDegree + 1)) * static_cast<std::size_t>(k);
}
const NumValue* poly_coef(const Polynomial& p, int k) {
  return p.words.data() + (p.words.size() / (kMaxPolyDegree + 1)) * static_cast<std::size_t>(k);
}

int poly_degree(const Polynomial& p) {
  for (int k = kMaxPolyDegree; k >= 1; --k) {
    if (!num_is_zero(poly_coef(p, k))) return k;
  }
  return 0;
}

void PreparePolynomialOperation(std::uint32_t type, std::int64_t digits) {
  prepare_solver_numbers(type, digits + 3);
}

bool ReadPolynomial(const std::vector<std::u16string>& texts, int row,
                    const VariableTable* variables, Polynomial& out) {
  polynomial_init(out);
  const int top = static_cast<int>(texts.size()) - 1;
  if (top > kMaxPolyDegree) {
    set_app_error(kAppErrorInternal);
    return false;
  }
  const std::u16string name = row_name(row);
  for (int k = top; k >= 0; --k) {
    const std::u16string coef_name = join_text({u"a", decimal_text(k)});
    const CoefficientErrors errors{3301, 3300, coef_name.c_str(), name.c_str()};
    if (!read_coefficient_cell(texts[static_cast<std::size_t>(top - k)], variables,
                               poly_coef(out, k), errors)) {
      return false;
    }
  }
  return true;
}

void AddPolynomials(const Polynomial& a, const Polynomial& b, bool subtract, Polynomial& r,
                    std::int64_t digits) {
  // r may be a or b; otherwise it is sized here.
  if (r.words.size() != a.words.size()) polynomial_init(r);
  for (int k = kMaxPolyDegree; k >= 0; --k) {
    (subtract ? num_sub : num_add)(poly_coef(r, k), poly_coef(a, k), poly_coef(b, k));
  }
  round_all(r, digits);
  solver_status_to_error();
}

void MultiplyPolynomials(const Polynomial& a, const Polynomial& b, Polynomial& r,
                         std::int64_t digits) {
  if (&r == &a || &r == &b) {
    set_app_error(kAppErrorInternal);
    return;
  }
  polynomial_init(r);
  if (!all_zero(a)) {
    ScratchScope scope;
    NumValue* t = scratch_num();
    const int da = poly_degree(a);
    for (int j = kMaxPolyDegree; j >= 0; --j) {
      if (num_is_zero(poly_coef(b, j))) continue;
      if (da + j > kMaxPolyDegree) {
        set_app_error(3302, u"20");
        return;
      }
      for (int i = da; i >= 0; --i) {
        num_mul(t, poly_coef(a, i), poly_coef(b, j));
        num_add(poly_coef(r, i + j), poly_coef(r, i + j), t);
      }
    }
  }
  round_all(r, digits);
  solver_status_to_error();
}

void DividePolynomials(const Polynomial& a, const Polynomial& b, Polynomial& q, Polynomial& r,
                       std::int64_t digits) {
  if (&q == &a || &q == &b || &r == &a || &r == &b || &q == &r) {
    set_app_error(kAppErrorInternal);
    return;
  }
  polynomial_init(q);
  r = a;
  const int da = all_zero(a) ? -1 : poly_degree(a);
  int db = -1;
  for (int k = kMaxPolyDegree; k >= 0 && db < 0; --k) {
    if (!num_is_zero(poly_coef(b, k))) db = k;
  }
  if (db < 0) {
    set_app_error(kAppErrorDivisionByZero);
  } else if (da >= db) {
    ScratchScope scope;
    NumValue* c = scratch_num();
    NumValue* t = scratch_num();
    for (int s = da; s >= db; --s) {
      num_div(c, poly_coef(r, s), poly_coef(b, db));
      num_set_zero(poly_coef(r, s));
      for (int i = db - 1; i >= 0; --i) {
        num_mul(t, poly_coef(b, i), c);
        num_sub(poly_coef(r, s - db + i), poly_coef(r, s - db + i), t);
      }
      num_copy(poly_coef(q, s - db), c);
    }
  }
  round_all(q, digits);
  round_all(r, digits);
  solver_status_to_error();
}

int PowerPolynomial(const Polynomial& a, const Polynomial& b, Polynomial& r, std::int64_t digits) {
  std::uint64_t e = 0;
  bool constant = true;
  for (int k = 1; k <= kMaxPolyDegree; ++k) constant &= num_is_zero(poly_coef(b, k));
  // Only whole numbers count: a fraction or a negative value is not silently truncated.
  const NumValue* c0 = poly_coef(b, 0);
  bool whole = constant && num_compare_i64(c0, 0) >= 0;
  if (whole) {
    ScratchScope scope;
    NumValue* t = scratch_num();
    whole = num_get_u64(&e, c0) && e <= kMaxPolyDegree;
    if (whole) {
      num_set_u64(t, e);
      whole = num_compare(t, c0, false) == 0;
    }
  }
  clear_status();
  if (!whole) {
    set_app_error(3303, u"P1(x)", u"20");
    return -1;
  }
  polynomial_init(r);
  if (e == 0) {
    num_set_i64(poly_coef(r, 0), 1);
    return 0;
  }
  r = a;
  Polynomial t;
  for (std::uint64_t k = 1; k < e && app_error_code() == 0; ++k) {
    MultiplyPolynomials(r, a, t, digits);
    r = t;
  }
  round_all(r, digits);
  solver_status_to_error();
  return app_error_code() == 0 ? static_cast<int>(e) : -1;
}

std::u16string PolynomialText(int degree, char16_t letter) {
  std::u16string s;
  if (degree < 0 || degree > 100) return s;
  auto term = [&](int k) {
    s += letter;
    s += decimal_text(k);
    if (k >= 2) s.append(join_text({u"*x^", decimal_text(k)}));
    if (k == 1) s += u"*x";
  };
  for (int k = degree; k >= 0; --k) {
    if (degree >= 5 && k == degree - 2) {
      s += u"... + ";
      k = 1;
    }
    term(k);
    if (k > 0) s += u" + ";
  }
  return s;
}

void ShowPolynomialResult(const Polynomial& result, char16_t op, int operand_count, int exponent,
                          const Polynomial* remainder, bool grouping, PolynomialResult& out) {
  for (auto& t : out.stored) t.clear();
  out.results_enabled = false;
  const std::uint32_t flags = grouping ? kAllowGrouping : 0;
  std::u16string& s = out.text;
  for (int i = 0; i < operand_count; ++i) {
    if (i > 0) {
      s += u' ';
      s += op;
      s += u' ';
    }
    s += (exponent >= 0 && i == 1) ? decimal_text(exponent) : row_name(i);
  }
  s.append(u" = ").append(PolynomialText(poly_degree(result), u'b'));
  if (remainder != nullptr) {
    s.append(u"    ")
        .append(msg(kMsgRemainder))
        .append(u"    ")
        .append(PolynomialText(poly_degree(*remainder), u'r'));
  }
  s += u"\r\n\r\n";
  for (int j = poly_degree(result); j >= 0; --j) {
    out.stored[static_cast<std::size_t>(j)] = solver_value_text(poly_coef(result, j), flags);
    s.append(join_text(
        {u"b", decimal_text(j), u" = ", out.stored[static_cast<std::size_t>(j)], u"\r\n"}));
  }
  if (remainder != nullptr) {
    s += u"\r\n";
    for (int j = poly_degree(*remainder); j >= 0; --j) {
      s.append(join_text({u"r", decimal_text(j), u" = ",
                          solver_value_text(poly_coef(*remainder, j), flags), u"\r\n"}));
    }
  }
  solver_status_to_error();
  out.results_enabled = app_error_code() == 0;
}

bool RunPolynomialOperation(const PolynomialRequest& req, PolynomialResult& out) {
  PreparePolynomialOperation(req.type, req.digits);
  out = PolynomialResult{};
  const int count = static_cast<int>(req.rows.size());
  const bool binary_only = req.op == u'/' || req.op == u'^';
  if (count < 2 || count > 12 || (binary_only && count != 2) ||
      (req.op != u'+' && req.op != u'-' && req.op != u'*' && !binary_only)) {
    set_app_error(kAppErrorInternal);
    return false;
  }
  Polynomial acc, next, tmp, rem;
  if (!ReadPolynomial(req.rows[0], 0, req.variables, acc)) return false;
  int exponent = -1;
  for (int i = 1; i < count && app_error_code() == 0; ++i) {
    if (!ReadPolynomial(req.rows[static_cast<std::size_t>(i)], i, req.variables, next)) break;
    switch (req.op) {
      case u'+':
      case u'-':
        AddPolynomials(acc, next, req.op == u'-', acc, req.digits);
        break;
      case u'*':
        MultiplyPolynomials(acc, next, tmp, req.digits);
        acc = tmp;
        break;
      case u'/':
        DividePolynomials(acc, next, tmp, rem, req.digits);
        acc = tmp;
        break;
      default:
        exponent = PowerPolynomial(acc, next, tmp, req.digits);
        acc = tmp;
    }
  }
  if (app_error_code() != 0) return false;
  ShowPolynomialResult(acc, req.op, count, exponent, req.op == u'/' ? &rem : nullptr, req.grouping,
                       out);
  return app_error_code() == 0;
}

std::vector<std::u16string> ResultToRow(const PolynomialResult& result, int& max_degree) {
  std::vector<std::u16string> cells(kMaxPolyDegree + 1);
  for (int j = 0; j <= kMaxPolyDegree; ++j) {
    const std::u16string& text = result.stored[static_cast<std::size_t>(j)];
    cells[static_cast<std::size_t>(kMaxPolyDegree - j)] = text;
    if (!text.empty() && j > max_degree) max_degree = j;
  }
  return cells;
}
