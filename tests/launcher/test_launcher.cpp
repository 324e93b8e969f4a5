// Runs the real velox from temporary folders, with a stand-in program as its data file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "launcher/launcher.h"

namespace fs = std::filesystem;

namespace {

std::string read_text(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void write_text(const fs::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary) << text;
}

// The values the stand-in recorded, key by key; "end" is present once it finished.
std::map<std::string, std::string> record(const fs::path& file) {
  std::map<std::string, std::string> values;
  std::istringstream in(read_text(file));
  for (std::string line; std::getline(in, line);) {
    const std::size_t eq = line.find('=');
    values[line.substr(0, eq)] = eq == std::string::npos ? "" : line.substr(eq + 1);
  }
  return values;
}

std::vector<std::string> entries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

class Launcher : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "velox-test-XXXXXX").native();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    bin_ = root_ / "bin";
    run_ = root_ / "run";
    tmp_ = root_ / "tmp";
    fs::create_directory(bin_);
    fs::create_directory(tmp_);
    ASSERT_EQ(mkdir(run_.c_str(), 0700), 0);
    fs::copy_file(VELOX_BIN, bin_ / "velox");
    fs::copy_file(VELOX_CHILD_BIN, bin_ / "velox.dat");
    env_ = {{"XDG_RUNTIME_DIR", run_.native()},
            {"TMPDIR", tmp_.native()},
            {"VELOX_TEST_OUT", out().native()}};
  }
  void TearDown() override {
    for (int fd : held_) close(fd);
    fs::remove_all(root_);
  }

  fs::path out() const { return root_ / "out.txt"; }

  // Runs `program` (velox by default) without a display and returns its exit status; its
  // standard error is kept in stderr_.
  int run(const fs::path& program = {}) {
    const fs::path launcher = program.empty() ? bin_ / "velox" : program;
    std::vector<std::string> env_text;
    for (const auto& [key, value] : env_) env_text.push_back(key + "=" + value);
    std::vector<char*> envp;
    for (auto& e : env_text) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string arg0 = launcher.native();
    char* argv[] = {arg0.data(), nullptr};
    const fs::path err = root_ / "stderr.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, arg0.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    stderr_ = read_text(err);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // A regular file in the runtime folder that a live launcher holds.
  void hold(const std::string& name) {
    write_text(run_ / name, "held " + name);
    const int fd = open((run_ / name).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
    held_.push_back(fd);
  }

  fs::path root_, bin_, run_, tmp_;
  std::map<std::string, std::string> env_;
  std::string stderr_;
  std::vector<int> held_;
};

TEST_F(Launcher, RunsThePrivateCopyWaitsAndRemovesIt) {
  env_["VELOX_TEST_SLEEP_MS"] = "300";
  const auto before = std::chrono::steady_clock::now();
  EXPECT_EQ(run(), 0);
  EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(300));
  auto r = record(out());
  EXPECT_TRUE(r.count("end")) << "velox returned before the program ended";
  EXPECT_EQ(r["exe"], (run_ / "velox").native());
  EXPECT_EQ(r["argc"], "1");  // no arguments
  EXPECT_EQ(r["argv0"], (run_ / "velox").native());
  EXPECT_EQ(r["launch"], bin_.native());
  EXPECT_EQ(r["cwd"], fs::current_path().native());
  EXPECT_EQ(r["modes"], "700 700");
  EXPECT_TRUE(entries(run_).empty());
  EXPECT_EQ(stderr_, "");
  EXPECT_EQ(fs::file_size(bin_ / "velox.dat"), fs::file_size(VELOX_CHILD_BIN));
}

TEST_F(Launcher, FallsBackToAFreshPrivateFolder) {
  // Unset, relative, or a runtime folder that others may enter: never used.
  ASSERT_EQ(chmod(run_.c_str(), 0755), 0);
  for (const char* runtime : {"", "run", "(dir)"}) {
    SCOPED_TRACE(runtime);
    if (std::string(runtime) == "(dir)") {
      env_["XDG_RUNTIME_DIR"] = run_.native();
    } else if (runtime[0] == 0) {
      env_.erase("XDG_RUNTIME_DIR");
    } else {
      env_["XDG_RUNTIME_DIR"] = runtime;
    }
    fs::remove(out());
    EXPECT_EQ(run(), 0);
    auto r = record(out());
    const fs::path exe = r["exe"];
    EXPECT_EQ(exe.parent_path().parent_path(), tmp_);
    EXPECT_EQ(exe.parent_path().filename().native().substr(0, 6), "velox-");
    EXPECT_EQ(exe.filename(), "velox");
    EXPECT_EQ(r["modes"], "700 700");
    EXPECT_TRUE(r.count("end"));
    EXPECT_TRUE(entries(tmp_).empty()) << "the private folder must be removed";
    EXPECT_TRUE(entries(run_).empty());
  }
  // A temporary folder that does not exist: nothing can be copied.
  env_["TMPDIR"] = (root_ / "missing").native();
  fs::remove(out());
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(stderr_, "Error: Internal 1001 error occurred.\n");
  EXPECT_FALSE(fs::exists(out()));
}

TEST_F(Launcher, MissingDataFileOrFolderOfThatName) {
  fs::remove(bin_ / "velox.dat");
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(stderr_, "Error: File \"velox.dat\" not found!\n");
  fs::create_directory(bin_ / "velox.dat");
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(stderr_, "Error: File \"velox.dat\" not found!\n");
  // The data file follows the launcher's own name.
  fs::copy_file(bin_ / "velox", bin_ / "tool");
  EXPECT_EQ(run(bin_ / "tool"), 1);
  EXPECT_EQ(stderr_, "Error: File \"tool.dat\" not found!\n");
  EXPECT_FALSE(fs::exists(out()));
  EXPECT_TRUE(entries(run_).empty());
  EXPECT_TRUE(entries(tmp_).empty());
}

TEST_F(Launcher, DataFileThatCannotBeCopiedOrStarted) {
  // A FIFO is no file to copy, and must not hold the launcher either.
  fs::remove(bin_ / "velox.dat");
  ASSERT_EQ(mkfifo((bin_ / "velox.dat").c_str(), 0600), 0);
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(stderr_, "Error: Internal 1001 error occurred.\n");
  EXPECT_TRUE(entries(run_).empty());
  // Copied completely, but no program: the copy is removed all the same.
  fs::remove(bin_ / "velox.dat");
  write_text(bin_ / "velox.dat", "not a program");
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(stderr_, "Error: Internal 1000 error occurred.\n");
  EXPECT_TRUE(entries(run_).empty());
  EXPECT_FALSE(fs::exists(out()));
}

TEST_F(Launcher, NamesInUseMoveToTheAlternativesUpToNine) {
  // A launcher that still runs holds "velox"; "velox(1)" is a copy running without its launcher.
  hold("velox");
  fs::copy_file(VELOX_CHILD_BIN, run_ / "velox(1)");
  std::map<std::string, std::string> env = env_;
  std::vector<std::string> env_text;
  env_text.push_back("VELOX_TEST_OUT=" + (root_ / "running.txt").native());
  env_text.push_back("VELOX_TEST_SLEEP_MS=3000");
  std::vector<char*> envp;
  for (auto& e : env_text) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string running = (run_ / "velox(1)").native();
  char* argv[] = {running.data(), nullptr};
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, running.c_str(), nullptr, nullptr, argv, envp.data()), 0);
  for (int i = 0; i < 200 && !fs::exists(root_ / "running.txt"); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  for (int n = 2; n <= 8; ++n) hold("velox(" + std::to_string(n) + ")");

  EXPECT_EQ(run(), 0);
  EXPECT_EQ(record(out())["exe"], (run_ / "velox(9)").native());
  // Nothing that was in use was touched.
  EXPECT_EQ(read_text(run_ / "velox"), "held velox");
  EXPECT_EQ(read_text(run_ / "velox(5)"), "held velox(5)");
  EXPECT_EQ(fs::file_size(run_ / "velox(1)"), fs::file_size(VELOX_CHILD_BIN));
  EXPECT_FALSE(fs::exists(run_ / "velox(9)"));

  // With "(9)" taken too there is no name left.
  hold("velox(9)");
  fs::remove(out());
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(stderr_, "Error: Internal 1001 error occurred.\n");
  EXPECT_FALSE(fs::exists(out()));
  EXPECT_EQ(entries(run_).size(), 10u);
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
}

TEST_F(Launcher, StaleCopyIsReplaced) {
  // Left by a launcher that died: nobody holds or runs it.
  write_text(run_ / "velox", "stale");
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(record(out())["exe"], (run_ / "velox").native());
  EXPECT_TRUE(entries(run_).empty());
}

TEST_F(Launcher, PlantedLinksStayUntouched) {
  const fs::path victim = root_ / "victim";
  write_text(victim, "victim's data");
  fs::create_symlink(victim, run_ / "velox");
  fs::create_symlink(root_ / "nowhere", run_ / "velox(1)");
  EXPECT_EQ(run(), 0);
  auto r = record(out());
  EXPECT_EQ(r["exe"], (run_ / "velox(2)").native());
  EXPECT_EQ(read_text(victim), "victim's data");
  EXPECT_EQ(fs::read_symlink(run_ / "velox"), victim);
  EXPECT_EQ(fs::read_symlink(run_ / "velox(1)"), root_ / "nowhere");
  EXPECT_FALSE(fs::exists(root_ / "nowhere"));
  EXPECT_EQ(entries(run_), (std::vector<std::string>{"velox", "velox(1)"}));
}

TEST_F(Launcher, RestartedInstanceRunsTheCopyWhileItExists) {
  // The first instance starts a detached second one from its own path and ends; velox stays
  // until the second has ended too.
  const fs::path second = root_ / "second.txt";
  env_["VELOX_TEST_RESTART"] = second.native();
  env_["VELOX_TEST_SLEEP_MS"] = "400";
  EXPECT_EQ(run(), 0);
  auto first = record(out());
  auto again = record(second);
  EXPECT_TRUE(first.count("end"));
  EXPECT_TRUE(again.count("end")) << "velox returned while the restarted instance ran";
  EXPECT_EQ(again["exe"], (run_ / "velox").native());
  EXPECT_EQ(again["exists"], "1");
  EXPECT_EQ(again["launch"], bin_.native());
  EXPECT_TRUE(entries(run_).empty());
}

TEST(LauncherNames, AlternativesGoBeforeTheExtension) {
  EXPECT_EQ(launcher_copy_name("velox", 0, 0), "velox");
  EXPECT_EQ(launcher_copy_name("velox", 0, 1), "velox(1)");
  EXPECT_EQ(launcher_copy_name("name.exe", 4, 0), "name.exe");
  EXPECT_EQ(launcher_copy_name("name.exe", 4, 9), "name(9).exe");
}

}  // namespace
