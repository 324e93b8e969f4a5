// The first application error of a thread's piece of work: a code and two text parameters. Each
// thread has its own record; a worker hands its record back through its job, and the window
// that started the work shows it once the work has ended (adopt_job_errors, show_app_error).
// A stop request is never an error record: it is the job's own stop flag, which the work polls
// and turns into 9003 when it ends.
#pragma once

#include <atomic>
#include <cstdint>

#include "app/formula_error_view.h"
#include "app/messages.h"
#include "app/text_builder.h"

inline constexpr std::uint32_t kAppErrorInvalidInput = 1000;
inline constexpr std::uint32_t kAppErrorOverflow = 1001;
inline constexpr std::uint32_t kAppErrorDivisionByZero = 1002;
inline constexpr std::uint32_t kAppErrorTextTooLong = 1003;
inline constexpr std::uint32_t kAppErrorFileNotFound = 1005;
inline constexpr std::uint32_t kAppErrorFileAccess = 1006;
inline constexpr std::uint32_t kAppErrorFormula = 1007;
inline constexpr std::uint32_t kAppErrorSeparators = 1100;
inline constexpr std::uint32_t kAppErrorInternal = 9000;
inline constexpr std::uint32_t kAppErrorNotImplemented = 9001;
inline constexpr std::uint32_t kAppErrorBufferOverflow = 9002;
inline constexpr std::uint32_t kAppErrorStopped = 9003;  // shows nothing

inline constexpr int kAppErrorParamLength = 260;
inline constexpr int kErrorTextCapacity = 1023;
inline constexpr int kMessageResultOk = 1;

struct AppError {
  std::atomic<std::uint32_t> code{0};  // 0 = none
  char16_t param1[kAppErrorParamLength + 1] = {};
  char16_t param2[kAppErrorParamLength + 1] = {};
};
extern thread_local constinit AppError g_app_error;

inline std::uint32_t app_error_code() {
  return g_app_error.code.load(std::memory_order_relaxed);
}

// Stores the error unless one is stored already (the first wins). An absent parameter is
// stored as "?"; one longer than 260 characters is cut to 260 ending in "…".
void set_app_error(std::uint32_t code, const char16_t* param1 = nullptr,
                   const char16_t* param2 = nullptr);

// Clears this thread's error record, its formula error and MathStatus (never a stop request).
void clear_app_error();

// Shows the stored error in a message box and clears it together with the formula error and
// MathStatus. Returns the box's result, or the code (0 or 9003) when
// nothing is shown.
int show_app_error();

// The message of an application error code; -1 for codes without one (0 has message 109,
// 9003 has none).
MessageId app_error_message(std::uint32_t code);
// The message of a formula error code; 149 (which shows the code itself) for 10205 and every
// code without a message of its own. For 10203 the MathStatus `cause` picks the text: division
// by zero, outside the domain, a complex argument or a result too small have their own, every
// other cause the overflow text.
MessageId formula_error_message(std::uint32_t code, std::uint32_t cause = 0);

// The text show_app_error shows, in the current language: the message of `code` with the two
// parameters, then the formula error when `formula.code` is set. The caller marks an overflow.
void build_app_error_text(TextBuilder& b, std::uint32_t code, const char16_t* param1,
                          const char16_t* param2, FormulaErrorView formula);

// What a worker's piece of work leaves in its thread's records, carried back to the window in the
// job record: the application error with its parameters, the formula error and MathStatus.
struct JobErrors {
  std::uint32_t app_code = 0;
  char16_t param1[kAppErrorParamLength + 1] = {};
  char16_t param2[kAppErrorParamLength + 1] = {};
  FormulaErrorView formula;
  std::uint32_t status = 0;
};
// On the worker, when its work ends: a copy of this thread's records.
JobErrors capture_job_errors();
// On the window thread, after the completion: the job's errors become this thread's records
// (replacing what they held), ready for show_app_error.
void adopt_job_errors(const JobErrors& errors);
