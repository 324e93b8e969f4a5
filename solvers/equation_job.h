// The algebraic-equations page without its window: the request the window hands in (degree,
// mode, result type, digits, the coefficient cells a_n..a_0), reading and checking the cells,
// the working precision, the worker's computation and the text of the result field. The window
// only passes cell texts in, runs EquationWorker on its thread and shows the text and error.
//
// Errors go to the AppError record (first wins): 2000 a zero highest coefficient, 2002/2005 a
// coefficient that cannot be evaluated (approximation / exact), 2003 a non-real coefficient in
// real mode, 2006 an overlong cell, 9000 a working precision above 10000 digits, and a
// MathStatus turned into 9003/9002/9000/1001.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/job.h"
#include "formula/variable_table.h"
#include "solvers/exact_roots.h"
#include "solvers/roots.h"

inline constexpr std::int64_t kEquationMinDigits = 5;
inline constexpr std::int64_t kEquationMaxWorkingDigits = 10000;

// The upper limit of the "Precision" control for a degree: 2000 up to degree 4, 1000 up to 7,
// 750 above.
std::int64_t EquationMaxDigits(std::int64_t degree);

// The label above the grid for a degree: "Enter the coefficients of the equation a2*x^2 + a1*x +
// a0 = 0." with a no-break space before the final "0"; a cut text ends in "…" and records 9002.
std::u16string EquationLabelText(std::int64_t degree);
// The title of the grid row of x^k ("a3"); also the coefficient's name in messages.
std::u16string EquationRowTitle(std::int64_t k);

struct EquationRequest {
  std::int64_t degree = 2;
  bool complex_mode = false;          // the "Mode" box: "real" or "complex"
  bool exact = false;                 // the "Result type" box: "Approximation" or "Exact value"
  std::int64_t digits = 10;           // the "Precision" control
  bool multiplicity = true;           // the "Multiplicity" box
  std::vector<std::u16string> cells;  // a_n .. a_0, the grid's rows from the top
  const VariableTable* variables = nullptr;
};

// Self-contained: the worker computes from the job alone, at the working precision and rational
// size recorded in its context.
struct EquationJob : JobBase {
  bool exact = false;
  bool multiplicity = true;
  std::uint32_t flags = 0;  // kRealOnly in "real" mode
  std::int64_t digits = 10;
  RootPolynomial approximate;   // the coefficients as complex numbers (approximation)
  RationalPolynomial rational;  // the coefficients as rationals of 2 limbs (exact value)
  RootSet roots;
};

// "Solve" up to the start of the worker: clears the error records, reads the cells in the
// complex or rational number type at the working precision W = ceil(1000·P / T) and the
// rational size of 2 limbs, and records both in the job's context; the caller's context stays
// as it was. False when an error was recorded (in the caller's records).
bool StartEquationJob(const EquationRequest& request, EquationJob& job);

// The worker's computation at the job's context, on any thread that owns a ThreadScratch; the
// caller's precision and sizes come back afterwards. Leaves the thread's errors in job.errors
// as well as in its records.
void EquationWorker(EquationJob& job);
// The worker thread's whole job: its own scratch block, context and stop flag, then
// EquationWorker.
void RunEquationJob(EquationJob& job);

// "Solve" wholly on the worker thread, the reading of the cells included: a coefficient formula
// may compute for minutes at the working precision, and there it polls the job's stop flag like
// the iteration does. `request.variables` must outlive the job.
struct EquationSolveJob : JobBase {
  EquationRequest request;
  EquationJob equation;  // FinishEquationJob(equation) on the window thread afterwards
};
void RunEquationSolveJob(EquationSolveJob& job);

// The result lines "x1 = …" as the result field receives them.
std::u16string ShowRoots(const EquationJob& job);

// The completion on the window thread: the job's errors become this thread's records, then the
// roots' text when no error is recorded (else empty), and a leftover MathStatus becomes the
// recorded error. The caller shows that error.
std::u16string FinishEquationJob(const EquationJob& job);
