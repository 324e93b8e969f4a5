// numerion-cli at a prompt, driven through a pseudo-terminal as a user would type; and the
// prompt's commands and the history file on their own.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "cli/history_file.h"
#include "cli/prompt.h"

namespace {

namespace fs = std::filesystem;

class Terminal {
 public:
  explicit Terminal(const fs::path& home) {
    pid_ = forkpty(&fd_, nullptr, nullptr, nullptr);
    if (pid_ == 0) {
      setenv("HOME", home.c_str(), 1);
      setenv("XDG_CONFIG_HOME", home.c_str(), 1);
      setenv("TERM", "xterm", 1);
      execl(NUMERION_CLI, NUMERION_CLI, static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  ~Terminal() {
    if (pid_ > 0 && status_ < 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (fd_ >= 0) close(fd_);
  }
  bool started() const { return pid_ > 0; }

  // The editor shows its prompt a moment before it takes the terminal out of line mode; a
  // Ctrl+D typed in that moment is the line discipline's end of file, not a key the editor sees.
  void type(const std::string& keys, bool to_the_editor = true) {
    for (int i = 0; to_the_editor && i < 200 && in_line_mode(); ++i) usleep(10000);
    ASSERT_EQ(write(fd_, keys.data(), keys.size()), ssize_t(keys.size()));
  }

  // Everything shown until `text` appears after the last call (or 10 s pass). The terminal
  // ends lines in "\r\n", shown here as "\n"; a lone "\r" (a redrawn line) stays, so "\n> " is
  // a new prompt and not a line being edited.
  std::string until(std::string text) {
    for (std::size_t p = text.find('\n'); p != std::string::npos; p = text.find('\n', p + 2)) {
      text.insert(p, 1, '\r');
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (seen_.find(text) == std::string::npos && std::chrono::steady_clock::now() < end) {
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, 50) <= 0) continue;
      char buffer[4096];
      const ssize_t n = read(fd_, buffer, sizeof buffer);
      if (n <= 0) break;
      seen_.append(buffer, static_cast<std::size_t>(n));
    }
    const std::size_t at = seen_.find(text);
    std::string shown = seen_.substr(0, at == std::string::npos ? seen_.size() : at + text.size());
    seen_.erase(0, shown.size());
    for (std::size_t p = shown.find("\r\n"); p != std::string::npos; p = shown.find("\r\n", p)) {
      shown.erase(p, 1);
    }
    return shown;
  }

  bool in_line_mode() const {
    termios mode{};
    return tcgetattr(fd_, &mode) == 0 && (mode.c_lflag & ICANON) != 0;
  }

  int wait_exit() {
    int status = 0;
    for (int i = 0; i < 200; ++i) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return status_;
      }
      usleep(50000);
    }
    return -1;  // still running; the destructor ends it
  }

 private:
  int fd_ = -1;
  pid_t pid_ = -1;
  int status_ = -1;
  std::string seen_;
};

class Interactive : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/numerion-cli-pty-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    home_ = pattern;
  }
  void TearDown() override { fs::remove_all(home_); }
  fs::path history() const { return home_ / "Numerion/history.txt"; }
  fs::path home_;
};

TEST_F(Interactive, PromptEditingCompletionOptionsAndHistory) {
  fs::create_directories(history().parent_path());
  std::ofstream(history()) << "7*6\n";
  Terminal t(home_);
  ASSERT_TRUE(t.started());
  t.until("> ");
  // The formula of an earlier session comes back with the up arrow.
  t.type("\x1b[A\r");
  EXPECT_NE(t.until("\n> ").find("42\n"), std::string::npos);
  // Editing: up arrow, Ctrl+A to the start, a character inserted there, Ctrl+E to the end.
  t.type("\x1b[A\x01-\x05+1\r");
  EXPECT_NE(t.until("\n> ").find("-41\n"), std::string::npos);
  // Tab completes a unique name; "ans" is the previous result.
  t.type("fac\t(5)+an\t\r");
  EXPECT_NE(t.until("\n> ").find("79\n"), std::string::npos);
  // The options of the command line at the prompt.
  auto enter = [&t](const std::string& line) {
    t.type(line + "\r");
    return t.until("\n> ");
  };
  enter(":p 30");
  EXPECT_NE(enter("1/3").find("\n0.333333333333333333333333333333\n"), std::string::npos);
  enter(":t uint");
  enter(":b 16");
  EXPECT_NE(enter("255").find("\n0xFF\n"), std::string::npos);
  enter(":t rat");
  EXPECT_NE(enter("1/3+1/6").find("\n1/2\n"), std::string::npos);
  t.type(":p 0\r");
  EXPECT_NE(t.until("\n> ").find("error: invalid value '0' for --precision"), std::string::npos);
  t.type(":help\r");
  EXPECT_NE(t.until("\n> ").find("Now: -p 30 -t rat -b 16"), std::string::npos);
  // An error is reported and the session goes on.
  t.type("1+\r");
  EXPECT_NE(t.until("\n> ").find("error: "), std::string::npos);
  // Ctrl+D on an empty line leaves with status 0.
  t.type("\x04");
  EXPECT_EQ(t.wait_exit(), 0);
  // Formulas were added to the file, commands and repeats were not.
  const std::vector<std::string> expected = {"7*6", "-7*6+1",  "fact(5)+ans", "1/3",
                                             "255", "1/3+1/6", "1+"};
  EXPECT_EQ(read_history_file(history()), expected);
}

TEST_F(Interactive, CtrlCStopsTheCalculationOrDropsTheLineWithoutLeaving) {
  Terminal t(home_);
  ASSERT_TRUE(t.started());
  t.until("> ");
  t.type(":t uint\r");
  t.until("\n> ");
  t.type("powmod(3; 10^19999-1; 10^19999+7)\r");
  t.until("powmod(3; 10^19999-1; 10^19999+7)\n");
  usleep(300000);
  t.type("\x03", false);  // to the running calculation
  EXPECT_NE(t.until("\n> ").find("stopped\n"), std::string::npos);
  // Ctrl+C while a line is edited drops it; the next line is calculated as usual.
  t.type("123");
  t.until("123");
  t.type("\x03");
  t.until("\n> ");
  t.type("2+3\r");
  const std::string shown = t.until("\n> ");
  EXPECT_NE(shown.find("5\n"), std::string::npos) << shown;
  EXPECT_EQ(shown.find("1232"), std::string::npos) << shown;
  t.type(":q\r");
  EXPECT_EQ(t.wait_exit(), 0);
}

TEST(PromptCommands, ChangeOnlyWhatIsValid) {
  CliOptions o;
  std::string error;
  EXPECT_EQ(parse_prompt_line("1+1", o, error), PromptAction::Formula);
  EXPECT_EQ(parse_prompt_line("  :p 100", o, error), PromptAction::Options);
  EXPECT_EQ(o.digits, 100);
  EXPECT_EQ(parse_prompt_line(":t rat", o, error), PromptAction::Options);
  EXPECT_EQ(o.type, 11u);
  EXPECT_EQ(parse_prompt_line(":b 16", o, error), PromptAction::Options);
  EXPECT_EQ(o.base, 16);
  EXPECT_EQ(parse_prompt_line(":n sci", o, error), PromptAction::Options);
  EXPECT_EQ(o.notation, 2);
  EXPECT_EQ(parse_prompt_line(":g", o, error), PromptAction::Options);
  EXPECT_TRUE(o.group);
  EXPECT_EQ(parse_prompt_line(":g", o, error), PromptAction::Options);
  EXPECT_FALSE(o.group);
  // Refused commands leave every setting as it was.
  const CliOptions before = o;
  for (const char* bad : {":p 10001", ":p", ":p 5 6", ":b 7", ":t int", ":x", ":p -5", ":g 1"}) {
    error.clear();
    EXPECT_EQ(parse_prompt_line(bad, o, error), PromptAction::Error) << bad;
    EXPECT_FALSE(error.empty()) << bad;
    EXPECT_EQ(o.digits, before.digits);
    EXPECT_EQ(o.type, before.type);
    EXPECT_EQ(o.base, before.base);
    EXPECT_TRUE(o.formulas.empty()) << bad;
  }
  EXPECT_EQ(parse_prompt_line(":help", o, error), PromptAction::Help);
  EXPECT_EQ(parse_prompt_line(":q", o, error), PromptAction::Quit);
  const std::vector<std::string> names = completion_names({"x1"});
  for (const char* name : {"sqrt", "powmod", "pi", "ans", "x1", "mod"}) {
    EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
  }
}

TEST(HistoryFile, AppendsToWhatIsThereAndKeepsTheNewest) {
  char pattern[] = "/tmp/numerion-history-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const fs::path file = fs::path(pattern) / "Numerion/history.txt";
  EXPECT_TRUE(read_history_file(file).empty());
  ASSERT_TRUE(append_history_file(file, {"1+1", "1+1", "  ", "2*3"}));
  // Written by another program meanwhile, with Windows line ends: kept, and appended to.
  std::ofstream(file, std::ios::app) << "sqrt(2)\r\n";
  ASSERT_TRUE(append_history_file(file, {"sqrt(2)", "ans^2"}));
  EXPECT_EQ(read_history_file(file), (std::vector<std::string>{"1+1", "2*3", "sqrt(2)", "ans^2"}));
  std::vector<std::string> many;
  for (std::size_t i = 0; i < kHistoryLimit + 5; ++i) many.push_back(std::to_string(i));
  ASSERT_TRUE(append_history_file(file, many));
  const std::vector<std::string> kept = read_history_file(file);
  ASSERT_EQ(kept.size(), kHistoryLimit);
  EXPECT_EQ(kept.front(), "5");
  EXPECT_EQ(kept.back(), std::to_string(kHistoryLimit + 4));
  fs::remove_all(pattern);
}

}  // namespace
