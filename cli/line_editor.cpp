#include "cli/line_editor.h"

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#ifdef NUMERION_HAVE_LIBEDIT
#include <editline/readline.h>
#endif

namespace {

std::vector<std::string> g_names;
bool (*g_interrupted)() = nullptr;

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

// The editor's own reading tries a read interrupted by a signal once more, and a signal that
// comes while it draws is not seen until the next key; so Ctrl+C would only count at the next
// key. Here SIGINT is let in only while waiting for a key, and the flag is looked at before
// each wait; -1 ends the line (or the input).
int read_byte() {
  sigset_t sigint, waiting;
  sigemptyset(&sigint);
  sigaddset(&sigint, SIGINT);
  for (;;) {
    sigprocmask(SIG_BLOCK, &sigint, &waiting);
    if (g_interrupted != nullptr && g_interrupted()) {
      sigprocmask(SIG_SETMASK, &waiting, nullptr);
      return -1;
    }
    pollfd p{STDIN_FILENO, POLLIN, 0};
    const int ready = ppoll(&p, 1, nullptr, &waiting);
    sigprocmask(SIG_SETMASK, &waiting, nullptr);
    if (ready < 0 && errno == EINTR) continue;
    unsigned char c = 0;
    const ssize_t n = read(STDIN_FILENO, &c, 1);
    if (n == 1) return c;
    if (n < 0 && errno == EINTR) continue;
    return -1;
  }
}

// One character: UTF-8 decoded here, since a byte handed over is taken as a whole character.
int read_character(FILE*) {
  const int lead = read_byte();
  if (lead < 0xC0) return lead;  // ASCII, the end, or a stray continuation byte
  const int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
  int code = lead & (0x3F >> more);
  for (int i = 0; i < more; ++i) {
    const int next = read_byte();
    if (next < 0) return -1;
    code = code << 6 | (next & 0x3F);
  }
  return code;
}
#endif

}  // namespace

void line_editor_open(const std::vector<std::string>& history) {
#ifdef NUMERION_HAVE_LIBEDIT
  // The terminal's character set for the editor's display; numbers never use the locale.
  std::setlocale(LC_CTYPE, "");
  rl_readline_name = "numerion-cli";
  rl_getc_function = read_character;
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
  g_interrupted = interrupted;
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
