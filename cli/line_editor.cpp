#include "cli/line_editor.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#ifdef NUMERION_HAVE_LIBEDIT
#include <editline/readline.h>
#endif

namespace {

std::vector<std::string> g_names;

#ifdef NUMERION_HAVE_LIBEDIT
char* next_name(const char* prefix, int state) {
  static std::size_t index = 0;
  if (state == 0) index = 0;
  const std::size_t length = std::strlen(prefix);
  while (index < g_names.size()) {
    const std::string& name = g_names[index++];
    if (name.compare(0, length, prefix) == 0) return strdup(name.c_str());
  }
  return nullptr;
}

char** complete(const char* prefix, int, int) {
  rl_attempted_completion_over = 1;  // no file names
  return rl_completion_matches(prefix, next_name);
}
#endif

}  // namespace

void line_editor_open(const std::vector<std::string>& history) {
#ifdef NUMERION_HAVE_LIBEDIT
  rl_readline_name = "numerion-cli";
  // The program's own handler stops calculations; the editor must not replace it.
  rl_catch_signals = 0;
  // Everything that ends a name in a formula.
  rl_basic_word_break_characters = " \t\n+-*/^()[];:,=!%<>&|'\"";
  rl_completion_append_character = '\0';
  rl_attempted_completion_function = complete;
  using_history();
  stifle_history(1000);
  for (const std::string& line : history) add_history(line.c_str());
#else
  (void)history;
#endif
}

void line_editor_close() {
#ifdef NUMERION_HAVE_LIBEDIT
  clear_history();
#endif
}

void line_editor_set_names(std::vector<std::string> names) {
  g_names = std::move(names);
}

void line_editor_add_history(const std::string& line) {
#ifdef NUMERION_HAVE_LIBEDIT
  add_history(line.c_str());
#else
  (void)line;
#endif
}

ReadStatus line_editor_read(const char* prompt, std::string& line, bool (*interrupted)()) {
#ifdef NUMERION_HAVE_LIBEDIT
  char* text = readline(prompt);
  if (interrupted()) {
    std::free(text);
    return ReadStatus::Interrupted;
  }
  if (text == nullptr) return ReadStatus::End;
  line = text;
  std::free(text);
  return ReadStatus::Line;
#else
  // Without the library: the prompt and the terminal's own line editing.
  std::fputs(prompt, stdout);
  std::fflush(stdout);
  line.clear();
  for (int c; (c = std::getchar()) != '\n';) {
    if (c == EOF) {
      if (interrupted()) {
        std::clearerr(stdin);
        return ReadStatus::Interrupted;
      }
      if (!line.empty()) break;
      return ReadStatus::End;
    }
    line.push_back(static_cast<char>(c));
  }
  return interrupted() ? ReadStatus::Interrupted : ReadStatus::Line;
#endif
}
