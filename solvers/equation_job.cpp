#include "solvers/equation_job.h"

#include <algorithm>

#include "app/app_error.h"
#include "app/messages.h"
#include "app/text_builder.h"
#include "core/arith.h"
#include "core/complex.h"
#include "core/text.h"
#include "formula/formula.h"
#include "solvers/polynomial.h"
#include "solvers/solver_common.h"

namespace {

constexpr std::uint32_t kErrorTopZero = 2000;
constexpr std::uint32_t kErrorEvaluating = 2002;
constexpr std::uint32_t kErrorNotReal = 2003;
constexpr std::uint32_t kErrorNotRational = 2005;
constexpr std::uint32_t kErrorTooLong = 2006;
constexpr MessageId kMsgEnterCoefficients = 78;
constexpr MessageId kMsgNoRealSolutions = 80;
constexpr std::int64_t kLabelPolynomialLength = 71;
constexpr std::int64_t kLabelLength = 199;
constexpr std::int64_t kEquationRationalLimbs = 2;

bool read_cells(const EquationRequest& request, EquationJob& job) {
  const std::int64_t n = request.degree;
  const std::uint32_t outer_type = NumberType;
  NumberType = request.exact ? kTypeRational : kTypeComplex;
  if (request.exact)
    rational_polynomial_init(job.rational, n);
  else
    root_polynomial_init(job.approximate, n);
  for (std::int64_t row = 0; row <= n && app_error_code() == 0; ++row) {
    const std::int64_t k = n - row;
    const std::u16string name = EquationRowTitle(k);
    const std::u16string empty;
    const std::u16string& cell = static_cast<std::size_t>(row) < request.cells.size()
                                     ? request.cells[static_cast<std::size_t>(row)]
                                     : empty;
    NumValue* value = request.exact ? rational_coefficient(job.rational, k)
                                    : root_coefficient(job.approximate, k);
    const CoefficientErrors errors{
        kErrorTooLong, request.exact ? kErrorNotRational : kErrorEvaluating, name.c_str(), nullptr};
    if (!read_coefficient_cell(cell, request.variables, value, errors)) break;
    if (!request.exact && !request.complex_mode && !cplx_is_real(value)) {
      set_app_error(kErrorNotReal, name.c_str());
      break;
    }
    if (row == 0 && num_is_zero(value)) set_app_error(kErrorTopZero, name.c_str());
  }
  NumberType = outer_type;
  return app_error_code() == 0;
}

void SolveEquation(EquationJob& job);

}  // namespace

std::u16string EquationLabelText(std::int64_t degree) {
  std::u16string equation = PolynomialText(static_cast<int>(degree), u'a') + u" =\u00a00";
  if (static_cast<std::int64_t>(equation.size()) > kLabelPolynomialLength) {
    equation.resize(static_cast<std::size_t>(kLabelPolynomialLength));
    equation.resize(
        static_cast<std::size_t>(cut_with_ellipsis(equation.data(), kLabelPolynomialLength)));
    set_app_error(kAppErrorBufferOverflow);
  }
  char16_t label[kLabelLength + 1];
  const std::int64_t n = format_bounded(label, kLabelLength + 1, msg(kMsgEnterCoefficients),
                                        std::u16string_view(equation));
  return std::u16string(label, static_cast<std::size_t>(n));
}

std::u16string EquationRowTitle(std::int64_t k) {
  return join_text({u"a", decimal_text(k)});
}

std::int64_t EquationMaxDigits(std::int64_t degree) {
  return degree <= 4 ? 2000 : degree <= 7 ? 1000 : 750;
}

bool StartEquationJob(const EquationRequest& request, EquationJob& job) {
  clear_app_error();
  ContextScope caller(ContextScope::kSizes | ContextScope::kNotation);
  g_number_settings.sci_low = -4;
  g_number_settings.sci_high = 10;
  job = EquationJob{};
  job.exact = request.exact;
  job.multiplicity = request.multiplicity;
  job.flags = request.complex_mode ? 0u : static_cast<std::uint32_t>(kRealOnly);
  job.digits = request.digits;
  if (request.degree < 1 || request.degree > kMaxRootDegree) {
    set_app_error(kAppErrorInternal);
    return false;
  }
  const std::int64_t w = root_working_digits(request.degree, request.digits);
  if (request.digits < 1 || w > kEquationMaxWorkingDigits) {
    set_app_error(kAppErrorInternal);
    return false;
  }
  set_precision(w);
  biguint_set_limbs(kEquationRationalLimbs);
  job.context = capture_context();
  read_cells(request, job);
  solver_status_to_error();
  return app_error_code() == 0;
}

void EquationWorker(EquationJob& job) {
  ContextScope caller(ContextScope::kSizes | ContextScope::kType | ContextScope::kNotation);
  apply_context(job.context);
  SolveEquation(job);
  job.errors = capture_job_errors();
}

void RunEquationJob(EquationJob& job) {
  run_job(job, &g_formula_error, [&job] { EquationWorker(job); });
}

void RunEquationSolveJob(EquationSolveJob& job) {
  run_job(job, &g_formula_error, [&job] {
    if (StartEquationJob(job.request, job.equation)) {
      EquationWorker(job.equation);
    } else if (job.stop.requested()) {
      // A formula cut short by the stop reports a failed coefficient; the user asked for it.
      clear_app_error();
      set_app_error(kAppErrorStopped);
    }
  });
  // Errors of the reading, and a stop that the computation did not see, come from run_job.
  job.equation.errors = job.errors;
}

namespace {

void SolveEquation(EquationJob& job) {
  RootSet& roots = job.roots;
  if (!job.exact) {
    ApproximateRoots(job.approximate, job.digits, job.flags, roots);
    return;
  }
  const std::int64_t n = job.rational.degree;
  RootPolynomial c;
  root_polynomial_init(c, n);
  for (std::int64_t k = 0; k <= n; ++k) {
    rational_to_complex_sized(root_coefficient(c, k), g_arith.precision,
                              rational_coefficient(job.rational, k), BigUIntLimbs);
  }
  ApproximateRoots(c, job.digits, kKeepDuplicates, roots);
  if (app_error_code() == 0 && roots.count >= 0) {
    if (n == 1)
      ExactLinear(job.rational, roots, 0);
    else if (n == 2)
      ExactQuadratic(job.rational, roots, 0, 1, job.digits);
    else
      ExactRoots(job.rational, roots, job.digits);
  }
  if (app_error_code() == 0) {
    SortRoots(roots);
    MergeEqualRoots(roots);
    if (job.flags & kRealOnly) KeepRealRoots(roots);
  } else {
    roots.count = -1;
  }
}

}  // namespace

std::u16string ShowRoots(const EquationJob& job) {
  const RootSet& roots = job.roots;
  std::u16string out;
  if (roots.count > 0) {
    ContextScope precision = ContextScope::precision(roots.digits);
    const std::uint32_t flags = job.exact ? kKeepDecimalPoint : 0;
    const std::int64_t capacity = 2 * dec_text_size(flags) + 329;
    for (std::int64_t j = 0; j < roots.count; ++j) {
      const Complex* z = root_value(roots, j);
      const std::u16string& exact = roots.exact[static_cast<std::size_t>(j)];
      std::u16string line = join_text({u"x", decimal_text(j + 1), u" = "});
      if (!exact.empty()) {
        line += exact;
        if (!is_integer(cplx_re(z)) || !is_integer(cplx_im(z))) {
          line.append(u" \u2248 ").append(number_text_as(kTypeComplex, z, flags));
        }
      } else {
        line += number_text_as(kTypeComplex, z, flags);
      }
      if (job.multiplicity) {
        line.append(join_text(
            {u"   [", decimal_text(roots.multiplicity[static_cast<std::size_t>(j)]), u"]"}));
      }
      if (static_cast<std::int64_t>(line.size()) > capacity) {
        line.resize(static_cast<std::size_t>(capacity));
        line.resize(static_cast<std::size_t>(cut_with_ellipsis(line.data(), capacity)));
        set_app_error(kAppErrorBufferOverflow);
      }
      out.append(line).append(u"\r\n");
    }
  }
  if (roots.count <= 0) out += msg(kMsgNoRealSolutions);
  return out;
}

std::u16string FinishEquationJob(const EquationJob& job) {
  adopt_job_errors(job.errors);
  ContextScope caller(ContextScope::kNotation);
  g_number_settings.sci_low = -4;
  g_number_settings.sci_high = 10;
  std::u16string text;
  if (app_error_code() == 0) text = ShowRoots(job);
  solver_status_to_error();
  return text;
}
