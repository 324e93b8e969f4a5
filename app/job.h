// The frame of a worker's job: the window thread fills a job record with everything the work
// needs (a snapshot of its context among it), a worker thread runs it with run_job, and the
// window reads the record (results and errors) only after the worker's completion message.
// Between start and completion the worker owns the record; the stop flag is the only member
// both threads touch.
#pragma once

#include <utility>

#include "app/app_error.h"
#include "core/thread_context.h"
#include "core/thread_scratch.h"

struct JobBase {
  ContextSnapshot context;  // what the worker computes with
  StopFlag stop;            // Stop and closing the window set it
  JobErrors errors;         // the worker's records when it ended
};

// On the worker thread: its own scratch block and the job's context, then `work`, then the
// thread's error records into the job. `formula_error` is the formula engine's record of this
// thread when the work evaluates formulas (nullptr otherwise).
template <class Work>
void run_job(JobBase& job, FormulaErrorView* formula_error, Work&& work) {
  ThreadScratchOwner scratch;
  install_context(job.context, &job.stop.flag);
  attach_formula_error(formula_error);
  clear_app_error();
  std::forward<Work>(work)();
  if (job.stop.requested() && app_error_code() == 0) set_app_error(kAppErrorStopped);
  job.errors = capture_job_errors();
  attach_formula_error(nullptr);
}
