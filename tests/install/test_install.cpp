#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/messages.h"
#include "app/utf8.h"
#include "windows/app_windows.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status = -1;
  std::string out;  // standard output and error together
};

Outcome run(const std::string& command) {
  Outcome r;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return r;
  std::array<char, 512> buffer{};
  while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr) r.out += buffer.data();
  const int status = pclose(pipe);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

bool have(const char* tool) {
  return run(std::string("command -v ") + tool + " >/dev/null").status == 0;
}

// For the shell; the paths here are the build's and mkdtemp's, without single quotes.
std::string quoted(const fs::path& p) {
  std::string q(1, '\'');
  q += p.string();
  q += '\'';
  return q;
}

std::string read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// "[group]" -> key -> value, in the key-file syntax of desktop entries.
using KeyFile = std::map<std::string, std::map<std::string, std::string>>;
KeyFile parse_key_file(const std::string& text) {
  KeyFile file;
  std::string group;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      group = line.substr(1, line.find(']') - 1);
      continue;
    }
    const std::size_t eq = line.find('=');
    if (eq != std::string::npos) file[group][line.substr(0, eq)] = line.substr(eq + 1);
  }
  return file;
}

// A menu label as a desktop shows it: "&&" is a literal ampersand in the label tables.
std::string label(int language, MessageId id) {
  load_texts(language);
  std::string text = utf16_to_utf8(msg(id));
  for (std::size_t p = text.find("&&"); p != std::string::npos; p = text.find("&&", p + 1)) {
    text.erase(p, 1);
  }
  return text;
}

class InstallTree : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    char pattern[] = "/tmp/numerion-install-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    prefix_ = pattern;
    const Outcome r = run("env -u DESTDIR " + quoted(NUMERION_CMAKE) + " --install " +
                          quoted(NUMERION_BUILD_DIR) + " --prefix " + quoted(prefix_));
    install_status_ = r.status;
    install_output_ = r.out;
  }
  static void TearDownTestSuite() {
    std::error_code ec;
    fs::remove_all(prefix_, ec);
  }
  void SetUp() override { ASSERT_EQ(install_status_, 0) << install_output_; }

  static fs::path bin() { return prefix_ / NUMERION_BINDIR; }
  static fs::path share() { return prefix_ / NUMERION_DATADIR; }

  static inline fs::path prefix_;
  static inline int install_status_ = -1;
  static inline std::string install_output_;
};

TEST_F(InstallTree, ProgramsHelpManualPagesAndIcons) {
  for (const char* program : {"numerion", "numerion-cli", "velox", "velox.dat"}) {
    struct stat st {};
    ASSERT_EQ(stat((bin() / program).c_str(), &st), 0) << program;
    EXPECT_TRUE(S_ISREG(st.st_mode) && (st.st_mode & S_IXOTH)) << program;
  }
  // The launcher starts a copy of the main program, so both must be the same file.
  EXPECT_EQ(read_file(bin() / "velox.dat"), read_file(bin() / "numerion"));
  // The help pages where the installed program looks for them, and nothing left in bin/.
  const fs::path help = build_help_folder(bin() / "numerion");
  EXPECT_EQ(help, share() / "numerion/HtmlBrowserHelpFiles");
  for (int language : {kLanguageEnglish, kLanguageGerman}) {
    EXPECT_GT(fs::file_size(help_page_path(help, language)), 8000u);
  }
  EXPECT_FALSE(fs::exists(bin() / "HtmlBrowserHelpFiles"));

  for (const char* page : {"numerion.1", "numerion-cli.1"}) {
    const fs::path path = prefix_ / NUMERION_MANDIR / "man1" / page;
    ASSERT_TRUE(fs::is_regular_file(path)) << path;
    if (have("groff")) {
      // -ww: every warning; a page that renders with none is well formed.
      const Outcome r = run("LC_ALL=C.UTF-8 groff -man -ww -z " + quoted(path));
      EXPECT_EQ(r.status, 0) << r.out;
      EXPECT_EQ(r.out, "") << page;
    }
  }

  const fs::path icons = share() / "icons/hicolor";
  const std::string svg = read_file(icons / "scalable/apps/numerion.svg");
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  int pngs = 0;
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const std::string dim = std::to_string(size) + "x" + std::to_string(size);
    const fs::path png = icons / dim / "apps/numerion.png";
    if (!fs::exists(png)) continue;
    ++pngs;
    // The PNG signature, then the IHDR chunk with width and height, big-endian.
    const std::string bytes = read_file(png);
    ASSERT_GE(bytes.size(), 24u) << png;
    EXPECT_EQ(bytes.substr(1, 3), "PNG");
    auto be32 = [&](std::size_t at) {
      std::uint32_t v = 0;
      for (std::size_t i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(bytes[at + i]);
      return v;
    };
    EXPECT_EQ(be32(16), static_cast<std::uint32_t>(size)) << png;
    EXPECT_EQ(be32(20), static_cast<std::uint32_t>(size)) << png;
  }
  // Made at build time when a converter exists; all sizes or none.
  EXPECT_EQ(pngs, NUMERION_PNG_ICON_COUNT);
}

TEST_F(InstallTree, DesktopActionsFollowTheWindowRegistryAndTheMenuTexts) {
  const fs::path path = share() / "applications/numerion.desktop";
  const KeyFile entry = parse_key_file(read_file(path));
  ASSERT_TRUE(entry.contains("Desktop Entry"));
  const auto& main = entry.at("Desktop Entry");
  EXPECT_EQ(main.at("Exec"), "numerion");
  EXPECT_EQ(main.at("Icon"), "numerion");
  EXPECT_EQ(main.at("Type"), "Application");

  // The menu items of the main window, whose texts the actions repeat.
  const std::map<std::string, MessageId> menu_text = {{"calculator", 7}, {"equations", 8},
                                                      {"linear", 9},     {"polynomials", 10},
                                                      {"primes", 11},    {"factors", 12}};
  std::string actions;
  for (const TaskWindowEntry& e : task_windows()) {
    const std::string name(e.name);
    actions += name + ";";
    const std::string group = "Desktop Action " + name;
    ASSERT_TRUE(entry.contains(group)) << group;
    const auto& action = entry.at(group);
    EXPECT_EQ(action.at("Exec"), "numerion --window " + name);
    ASSERT_TRUE(menu_text.contains(name)) << name;
    EXPECT_EQ(action.at("Name"), label(kLanguageEnglish, menu_text.at(name)));
    EXPECT_EQ(action.at("Name[de]"), label(kLanguageGerman, menu_text.at(name)));
  }
  EXPECT_EQ(main.at("Actions"), actions);
  EXPECT_EQ(entry.size(), 1 + task_windows().size());

  if (!have("desktop-file-validate")) GTEST_SKIP() << "desktop-file-validate is not installed";
  const Outcome r = run("desktop-file-validate " + quoted(path));
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out, "");
}

TEST_F(InstallTree, AppStreamMetadataNamesTheInstalledFiles) {
  const fs::path path = share() / "metainfo/org.numerion.Numerion.metainfo.xml";
  const std::string xml = read_file(path);
  EXPECT_NE(xml.find("<launchable type=\"desktop-id\">numerion.desktop</launchable>"),
            std::string::npos);
  for (const char* program : {"numerion", "numerion-cli"}) {
    EXPECT_NE(xml.find(std::string("<binary>") + program + "</binary>"), std::string::npos);
  }
  if (!have("appstreamcli")) GTEST_SKIP() << "appstreamcli is not installed";
  const Outcome r = run("appstreamcli validate --no-net " + quoted(path));
  EXPECT_EQ(r.status, 0) << r.out;
}

TEST_F(InstallTree, InstalledProgramsRun) {
  Outcome r = run(quoted(bin() / "numerion-cli") + " '2+2' 'sqrt(2)'");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "4\n1.414213562373095\n");
  r = run(quoted(bin() / "numerion-cli") + " --version");
  EXPECT_EQ(r.out, std::string("numerion-cli ") + NUMERION_TEST_VERSION + "\n");
  r = run("env -u DISPLAY -u WAYLAND_DISPLAY " + quoted(bin() / "numerion") + " --version");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, std::string("numerion ") + NUMERION_TEST_VERSION + "\n");
}

}  // namespace
