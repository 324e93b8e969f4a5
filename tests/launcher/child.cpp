// Stands in for the main program in the launcher's tests: records how it was started in the file
// named by VELOX_TEST_OUT, stays for VELOX_TEST_SLEEP_MS milliseconds, and with VELOX_TEST_RESTART
// first starts a detached instance of itself from its own path, as a language change does.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

extern char** environ;

namespace {

void append(const std::string& file, const std::string& text) {
  if (FILE* f = std::fopen(file.c_str(), "a")) {
    std::fputs(text.c_str(), f);
    std::fclose(f);
  }
}

// Like a detached start: the new instance is a grandchild, and this returns once it runs.
void start_detached(const std::string& program, const std::string& out) {
  int ready[2];
  if (pipe2(ready, O_CLOEXEC) != 0) return;
  const pid_t middle = fork();
  if (middle == 0) {
    if (fork() == 0) {
      setenv("VELOX_TEST_OUT", out.c_str(), 1);
      unsetenv("VELOX_TEST_RESTART");
      char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
      execve(program.c_str(), argv, environ);
      _exit(127);
    }
    _exit(0);
  }
  close(ready[1]);
  char byte;
  while (read(ready[0], &byte, 1) > 0) {
  }
  close(ready[0]);
  waitpid(middle, nullptr, 0);
}

}  // namespace

int main(int argc, char** argv) {
  const char* out = std::getenv("VELOX_TEST_OUT");
  if (out == nullptr) return 2;
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  struct stat self {
  }, folder{};
  stat(exe.c_str(), &self);
  stat(exe.parent_path().c_str(), &folder);
  const char* launch = std::getenv("NUMERION_LAUNCH_DIR");
  char cwd[4096] = "";
  if (getcwd(cwd, sizeof cwd) == nullptr) cwd[0] = 0;
  char mode[32];
  std::snprintf(mode, sizeof mode, "%o %o", static_cast<unsigned>(self.st_mode & 07777),
                static_cast<unsigned>(folder.st_mode & 07777));
  append(out, "start\nexe=" + exe.native() +
                  "\nexists=" + (std::filesystem::exists(exe, ec) ? "1" : "0") +
                  "\nargc=" + std::to_string(argc) + "\nargv0=" + argv[0] +
                  "\nlaunch=" + (launch != nullptr ? launch : "(unset)") + "\ncwd=" + cwd +
                  "\nmodes=" + mode + "\n");
  if (const char* restart = std::getenv("VELOX_TEST_RESTART"))
    start_detached(exe.native(), restart);
  if (const char* ms = std::getenv("VELOX_TEST_SLEEP_MS")) {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(ms)));
  }
  append(out, "end\n");
  return 0;
}
