// The windowed program ends on the signals of a logout, "kill" or Ctrl+C as at a normal exit,
// writing its settings; a second signal ends it at once.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/settings.h"
#include "tests/app/app_test_util.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

class Program {
 public:
  explicit Program(const std::filesystem::path& config) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
      const std::string entry = *e;
      if (entry.starts_with("XDG_CONFIG_HOME=") || entry.starts_with("QT_QPA_PLATFORM=")) continue;
      env.push_back(entry);
    }
    env.push_back("XDG_CONFIG_HOME=" + config.string());
    env.push_back("QT_QPA_PLATFORM=offscreen");
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string program = NUMERION_PROGRAM;
    char* argv[] = {program.data(), nullptr};
    if (posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0) pid_ = -1;
  }
  ~Program() {
    if (pid_ > 0 && !ended_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  pid_t pid() const { return pid_; }

  // True once the program catches SIGTERM (read from its signal masks in /proc).
  bool wait_for_handlers() const {
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    while (Clock::now() < deadline) {
      std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
      std::string line;
      while (std::getline(status, line)) {
        if (!line.starts_with("SigCgt:")) continue;
        const unsigned long long caught = std::stoull(line.substr(7), nullptr, 16);
        if (caught & (1ull << (SIGTERM - 1))) return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }

  // The wait status, or -1 when the program has not ended within the time.
  int wait_for_end() {
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    while (Clock::now() < deadline) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        ended_ = true;
        return status;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
  }

 private:
  pid_t pid_ = -1;
  bool ended_ = false;
};

}  // namespace

TEST(EndSignals, EachEndsTheProgramAsAtANormalExitAndTheSettingsAreWritten) {
  for (int sig : {SIGTERM, SIGHUP, SIGINT}) {
    SCOPED_TRACE(sig);
    // A first start: the welcome hint shows and is marked as seen, so a save is due.
    TempFolder config;
    Program program(config.path());
    ASSERT_GT(program.pid(), 0);
    ASSERT_TRUE(program.wait_for_handlers());
    ASSERT_EQ(::kill(program.pid(), sig), 0);
    const int status = program.wait_for_end();
    ASSERT_NE(status, -1) << "the program did not end";
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 128 + sig);
    Settings saved;
    ASSERT_TRUE(read_settings_file(config.path() / "Numerion" / "UserSettings_3.8.ini", saved));
    EXPECT_FALSE(saved.show_welcome_hint);
  }
}

TEST(EndSignals, ASecondSignalEndsTheProgramAtOnce) {
  // Both arrive while the program is stopped, so the second finds the first still unhandled.
  TempFolder config;
  Program program(config.path());
  ASSERT_GT(program.pid(), 0);
  ASSERT_TRUE(program.wait_for_handlers());
  ASSERT_EQ(::kill(program.pid(), SIGSTOP), 0);
  int stopped = 0;
  ASSERT_EQ(::waitpid(program.pid(), &stopped, WUNTRACED), program.pid());
  ASSERT_TRUE(WIFSTOPPED(stopped));
  ::kill(program.pid(), SIGHUP);
  ::kill(program.pid(), SIGTERM);
  ::kill(program.pid(), SIGCONT);
  const int status = program.wait_for_end();
  ASSERT_NE(status, -1) << "the program did not end";
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_TRUE(WTERMSIG(status) == SIGHUP || WTERMSIG(status) == SIGTERM) << WTERMSIG(status);
  EXPECT_FALSE(std::filesystem::exists(config.path() / "Numerion" / "UserSettings_3.8.ini"));
}
