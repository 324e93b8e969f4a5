// What the subcommands of numerion-cli share: their start (arithmetic state, the language of
// the texts, separators), the usage error, the result field's text on standard output and the
// exit status at the end of a run.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/formula_error_view.h"

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitStopped = 130;

// Fresh arithmetic state with the formula error attached, texts in the language of
// "--lang en|de" (English by default), the point as decimal and the apostrophe as thousands
// separator, no pending error; `args` = argv[2..] without the language option. Returns -1 to go
// on, or the exit status when the command is done already (help printed: 0, a bad language: 2).
int begin_subcommand(int argc, char** argv, const char* usage, std::vector<std::string>& args);

// "numerion-cli: reason" and the usage text on standard error; returns kExitUsage.
int usage_failure(const char* usage, const std::string& reason);

// Written at once, so that a stop keeps everything printed so far.
void write_now(std::FILE* f, std::string_view bytes);

// "error: " and the stored AppError's message (with the formula error when `formula` holds
// one) on one line, in UTF-8, ending in "\n".
std::string app_error_line(FormulaErrorView formula);

// A result field's text in UTF-8 with "\r\n" line ends written as "\n".
std::string field_text_utf8(std::u16string_view text);

// The exit status of a finished run: "stopped" and kExitStopped after a stop, the error line
// and kExitFailed when an error is stored, else kExitOk.
int finish_subcommand();
