// The "Systems of linear equations" window on the real program windows: the equation count with
// hidden columns, solving in the three number types, the error messages, Load and Save through
// the file dialogs (answered by a hook), hostile files and block pastes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QComboBox>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "app/app_error.h"
#include "app/messages.h"
#include "app/platform.h"
#include "app/settings.h"
#include "app/utf8.h"
#include "core/decfloat.h"
#include "ui/composite.h"
#include "ui/controls.h"
#include "ui/grid.h"
#include "ui/grid_widget.h"
#include "ui_test_util.h"
#include "windows/app_windows.h"

namespace fs = std::filesystem;

namespace {

std::filesystem::path g_config;
struct Environment {
  Environment() {
    char pattern[] = "/tmp/numerion_linear_window_XXXXXX";
    g_config = mkdtemp(pattern);
    setenv("XDG_CONFIG_HOME", g_config.c_str(), 1);
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    setenv("LANG", "en_US.UTF-8", 1);
  }
  ~Environment() {
    std::error_code ec;
    fs::permissions(g_config / "locked", fs::perms::owner_all, ec);
    fs::remove_all(g_config, ec);
  }
} g_environment;

std::vector<std::u16string> g_messages;  // caption "|" text
void record_message(const char16_t* caption, const char16_t* text, int) {
  g_messages.push_back(std::u16string(caption) + u"|" + text);
}

struct DialogCall {
  bool save;
  UiFileDialog dialog;
};
std::vector<DialogCall> g_dialogs;
std::u16string g_answer;  // the path the user chooses; empty: Cancel
int g_answer_filter = 0;  // the filter the user chooses; 0: the one shown
std::u16string answer_dialog(bool save, UiFileDialog& d) {
  g_dialogs.push_back({save, d});
  if (g_answer_filter != 0) d.filter_index = g_answer_filter;
  return g_answer;
}

std::u16string u16(const fs::path& p) {
  return p.u16string();
}

void write_bytes(const fs::path& p, const std::string& bytes) {
  std::ofstream f(p, std::ios::binary);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string read_bytes(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

std::u16string utf16(const std::string& s) {
  std::u16string out;
  EXPECT_TRUE(utf8_to_utf16(s, out));
  return out;
}

// Control ids of the window, in the order it declares them.
enum : int {
  kCount = 11,
  kType = 13,
  kPrecisionLabel = 14,
  kPrecision = 15,
  kGrid = 17,
  kResult = 18,
  kSolve = 19,
  kClear = 20,
  kLoad = 21,
  kSave = 22,
  kClose = 23,
};

class LinearWindowTest : public ::testing::Test {
 protected:
  explicit LinearWindowTest(int language = kLanguageEnglish) {
    ensure_app();
    fs::remove(settings_path());
    Settings s;
    s.language = language;
    s.show_welcome_hint = false;
    write_settings_file(settings_path(), s);
    g_settings = Settings{};
    clear_settings_changed();
    clear_app_error();
    prepare_application();
    create_windows();
    platform_set_message_hook(record_message);
    ui_set_file_dialog_hook(answer_dialog);
    g_messages.clear();
    g_dialogs.clear();
    g_answer.clear();
    g_answer_filter = 0;
    dir_ = g_config / "files";
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    win_ = g_app.linear_systems;
    grid_ = control(kGrid);
  }
  ~LinearWindowTest() override {
    destroy_windows();
    ui_set_file_dialog_hook(nullptr);
  }

  Wnd control(int id) const { return ui_control(win_, id); }
  SimpleGridCtl* grid_widget() const { return dynamic_cast<SimpleGridCtl*>(w_of(grid_)); }
  void click(int id) { ui_click(control(id)); }
  void set_count(int n) { ui_up_down_set_value(control(kCount), n); }
  // As the user picks an entry of the number type list.
  void choose_type(int code) {
    auto* combo = w_of(control(kType))->findChild<QComboBox*>();
    ASSERT_NE(combo, nullptr);
    const int index = combo->findData(code);
    ASSERT_GE(index, 0);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
  }
  // 0-based equation and column (25 = b) as the page counts them.
  void set_cell(int row, int column, std::u16string_view text) {
    ASSERT_EQ(grid_set_cell_text(grid_, row + 1, column + 1, text), 0);
  }
  std::u16string cell(int row, int column) const {
    std::u16string text;
    grid_cell_text(grid_, row + 1, column + 1, &text);
    return text;
  }
  std::u16string result() const { return ui_text(control(kResult)); }
  // Every cell the grid holds, hidden ones included.
  std::vector<std::u16string> cells() const {
    std::vector<std::u16string> all;
    for (int r = 0; r < grid_row_count(grid_); ++r) {
      for (int c = 0; c < 27; ++c) all.push_back(cell(r, c));
    }
    return all;
  }
  // Fills n equations from "a,b,c d,e,f": cells of a row separated by ",", rows by " ".
  void fill(const std::string& rows) {
    std::istringstream in(rows);
    std::string row;
    int r = 0;
    std::vector<std::vector<std::string>> parsed;
    while (in >> row) {
      std::vector<std::string> cells;
      std::size_t start = 0;
      for (std::size_t comma; (comma = row.find(',', start)) != std::string::npos;
           start = comma + 1) {
        cells.push_back(row.substr(start, comma - start));
      }
      cells.push_back(row.substr(start));
      parsed.push_back(cells);
    }
    set_count(static_cast<int>(parsed.size()));
    for (const auto& cs : parsed) {
      const int n = static_cast<int>(cs.size()) - 1;
      for (int c = 0; c < n; ++c) set_cell(r, c, utf16(cs[static_cast<std::size_t>(c)]));
      set_cell(r, 25, utf16(cs.back()));
      ++r;
    }
  }
  void load(const fs::path& file) {
    g_answer = u16(file);
    click(kLoad);
  }
  void save(const fs::path& file) {
    g_answer = u16(file);
    click(kSave);
  }
  std::u16string message(int id, std::u16string_view param = {}) const {
    char16_t text[1200];
    format_bounded(text, 1200, msg(id), param);
    return std::u16string(msg(108)) + u"|" + text;
  }

  Wnd win_ = nullptr;
  Wnd grid_ = nullptr;
  fs::path dir_;
};

struct GermanLinearWindowTest : LinearWindowTest {
  GermanLinearWindowTest() : LinearWindowTest(kLanguageGerman) {}
};

}  // namespace

TEST_F(LinearWindowTest, OpensFromTheMenuWithTheControlsOfAFreshPage) {
  ui_show_window(g_app.main_window);
  ASSERT_TRUE(ui_choose_menu_item(g_app.main_window, kMenuLinearSystems));
  EXPECT_TRUE(ui_is_visible(win_));
  EXPECT_EQ(ui_title(win_), u"Systems of linear equations");
  EXPECT_EQ(ui_up_down_value(control(kCount)), 2);
  EXPECT_EQ(ui_number_type(control(kType)), 1);
  EXPECT_EQ(ui_up_down_value(control(kPrecision)), 10);
  EXPECT_EQ(grid_row_count(grid_), 2);
  ASSERT_EQ(grid_column_count(grid_), 27);
  std::u16string title;
  grid_column_title(grid_, 1, &title);
  EXPECT_EQ(title, u"a1");
  grid_column_title(grid_, 26, &title);
  EXPECT_EQ(title, u"b");
  grid_row_title(grid_, 2, &title);
  EXPECT_EQ(title, u"2");

  // "Precision" is for the decimal types only.
  choose_type(11);
  EXPECT_FALSE(ui_is_enabled(control(kPrecision)));
  EXPECT_FALSE(ui_is_enabled(control(kPrecisionLabel)));
  choose_type(2);
  EXPECT_TRUE(ui_is_enabled(control(kPrecision)));
  EXPECT_TRUE(ui_is_enabled(control(kPrecisionLabel)));

  click(kClose);
  EXPECT_FALSE(ui_is_visible(win_));
}

TEST_F(LinearWindowTest, TheCountShowsRowsAndColumnsAndHiddenCellsKeepTheirTexts) {
  set_count(4);
  ASSERT_EQ(grid_row_count(grid_), 4);
  for (int r = 0; r < 4; ++r) {
    for (int c : {0, 1, 2, 3, 25}) set_cell(r, c, utf16(std::to_string(10 * r + c)));
  }
  set_count(2);
  EXPECT_EQ(grid_row_count(grid_), 2);
  SimpleGridCtl* g = grid_widget();
  ASSERT_NE(g, nullptr);
  for (int c = 1; c <= 27; ++c) {
    EXPECT_EQ(g->column_hidden(c), c > 2 && c != 26) << c;
  }
  EXPECT_EQ(cell(0, 3), u"3");  // hidden, kept

  // A save now holds only what is shown.
  save(dir_ / "two.csv");
  EXPECT_EQ(read_bytes(dir_ / "two.csv"), "a1;a2;b\r\n0;1;25\r\n10;11;35\r\n");

  // Rows that come back bring their texts with them.
  set_count(4);
  EXPECT_EQ(cell(3, 3), u"33");
  EXPECT_EQ(cell(2, 25), u"45");
  EXPECT_FALSE(g->column_hidden(4));
  set_count(25);
  EXPECT_EQ(grid_row_count(grid_), 25);
  for (int c = 1; c <= 26; ++c) EXPECT_FALSE(g->column_hidden(c)) << c;
  EXPECT_TRUE(g->column_hidden(27));
  EXPECT_TRUE(g_messages.empty());
}

// Reference solutions from tests/data/gen_linear_window.py (exact fractions, then decimal).
TEST_F(LinearWindowTest, SolvesInEveryNumberType) {
  std::ifstream in(std::string(NUMERION_TEST_DATA) + "/linear_window.txt");
  ASSERT_TRUE(in.good());
  const std::int64_t precision = g_arith.precision;
  std::string line;
  int cases = 0;
  while (std::getline(in, line)) {
    std::vector<std::string> f;
    std::size_t start = 0;
    for (std::size_t bar; (bar = line.find('|', start)) != std::string::npos; start = bar + 1) {
      f.push_back(line.substr(start, bar - start));
    }
    f.push_back(line.substr(start));
    ASSERT_GE(f.size(), 5u) << line;
    choose_type(f[0] == "rat" ? 11 : f[0] == "cplx" ? 2 : 1);
    ui_up_down_set_value(control(kPrecision), std::stoi(f[1]));
    fill(f[2]);
    click(kSolve);
    std::u16string expected;
    for (std::size_t i = 3; i < f.size(); ++i) {
      expected.append(u"x").append(utf16(std::to_string(i - 2)));
      expected.append(u" = ").append(utf16(f[i])).append(u"\n");
    }
    EXPECT_EQ(result(), expected) << line;
    EXPECT_TRUE(g_messages.empty()) << line;
    ++cases;
  }
  EXPECT_EQ(cases, 7);
  EXPECT_EQ(g_arith.precision, precision);  // the window thread's own setting stays

  // x1 + x2 = 2 twice over leaves x2 free.
  choose_type(11);
  fill("1,1,2 2,2,4");
  click(kSolve);
  EXPECT_EQ(result(), u"x1 = 2-r\nx2 = r\n\nThe parameter variable r is freely selectable.\n");
  choose_type(1);
  click(kSolve);
  EXPECT_EQ(result(), u"x1 = 2-r\nx2 = r\n\nThe parameter variable r is freely selectable.\n");
  fill("1,1,2 1,1,3");
  click(kSolve);
  EXPECT_EQ(result(), u"Equation system is unsolvable!\n");

  click(kClear);
  EXPECT_EQ(result(), u"");
  for (const std::u16string& c : cells()) EXPECT_EQ(c, u"");
}

TEST_F(LinearWindowTest, CellErrorsNameTheEquationAndColumn) {
  fill("1,1,3 1,-1,1");
  set_cell(1, 25, std::u16string(1031, u'1'));
  click(kSolve);
  ASSERT_EQ(g_messages.size(), 1u);
  EXPECT_EQ(g_messages[0], u"Error|The coefficient in equation 2, column \"b\" is too long!");
  EXPECT_EQ(result(), u"");

  set_cell(1, 25, std::u16string(1030, u'1'));  // long, but allowed
  set_cell(0, 1, u"1+");
  g_messages.clear();
  click(kSolve);
  ASSERT_EQ(g_messages.size(), 1u);
  // The formula's own message follows, the "!" of the first becoming ".".
  EXPECT_EQ(g_messages[0],
            u"Error|Error evaluating coefficient in equation 1, column \"a2\". Unexpected end of "
            u"formula!");
}

TEST_F(LinearWindowTest, SaveAndLoadThroughTheDialogs) {
  fill("2*sqrt(4),1,sqrt(2) gcd(4;6),-1,1 3,0,\xcf\x80");
  set_count(3);
  set_cell(0, 2, u"1/3");
  // A name without an extension gets ".csv"; the user picks "All files".
  g_answer_filter = 2;
  save(dir_ / "system");
  ASSERT_EQ(g_dialogs.size(), 1u);
  const DialogCall& first = g_dialogs[0];
  EXPECT_TRUE(first.save);
  EXPECT_EQ(first.dialog.title, u"Save as");
  EXPECT_EQ(first.dialog.filters,
            (std::vector<std::u16string>{u"CSV files (*.csv)", u"All files (*)"}));
  EXPECT_EQ(first.dialog.filter_index, 1);
  EXPECT_EQ(first.dialog.name, u"");
  EXPECT_EQ(first.dialog.default_suffix, u"csv");
  ASSERT_TRUE(fs::exists(dir_ / "system.csv"));
  EXPECT_FALSE(fs::exists(dir_ / "system"));
  EXPECT_EQ(read_bytes(dir_ / "system.csv"),
            "a1;a2;a3;b\r\n2*sqrt(4);1;1/3;sqrt(2)\r\n\"gcd(4;6)\";-1;;1\r\n3;0;;\xcf\x80\r\n");
  EXPECT_TRUE(g_messages.empty());

  // The next save offers the last name and the chosen filter; a name with an extension stays.
  g_answer_filter = 0;
  save(dir_ / "copy.v2" / "sys");  // a "." before the last "/" does not count
  ASSERT_EQ(g_dialogs.size(), 2u);
  EXPECT_EQ(g_dialogs[1].dialog.name, u16(dir_ / "system.csv"));
  EXPECT_EQ(g_dialogs[1].dialog.filter_index, 2);
  ASSERT_EQ(g_messages.size(), 1u);  // there is no folder "copy.v2"
  EXPECT_EQ(g_messages[0], message(115, u16(dir_ / "copy.v2" / "sys.csv")));
  g_messages.clear();
  save(dir_ / "sys.txt");
  EXPECT_TRUE(fs::exists(dir_ / "sys.txt"));
  EXPECT_FALSE(fs::exists(dir_ / "sys.txt.csv"));

  // Cancel changes nothing.
  g_answer.clear();
  click(kSave);
  click(kLoad);
  EXPECT_TRUE(g_messages.empty());

  click(kSolve);
  const std::u16string solved = result();
  ASSERT_FALSE(solved.empty());
  set_count(2);
  click(kClear);
  g_answer_filter = 2;
  load(dir_ / "system.csv");
  EXPECT_TRUE(g_messages.empty());
  EXPECT_FALSE(g_dialogs.back().save);
  EXPECT_EQ(g_dialogs.back().dialog.title, u"Load");
  EXPECT_EQ(g_dialogs.back().dialog.filter_index, 1);  // the open dialog's own
  EXPECT_EQ(ui_up_down_value(control(kCount)), 3);
  EXPECT_EQ(grid_row_count(grid_), 3);
  EXPECT_EQ(cell(0, 0), u"2*sqrt(4)");
  EXPECT_EQ(cell(0, 2), u"1/3");
  EXPECT_EQ(cell(1, 0), u"gcd(4;6)");
  EXPECT_EQ(cell(2, 25), u"\u03c0");
  EXPECT_EQ(result(), u"");  // a successful load empties the result
  g_answer_filter = 0;
  load(dir_ / "system.csv");
  EXPECT_EQ(g_dialogs.back().dialog.filter_index, 2);
}

TEST_F(LinearWindowTest, HostileFilesGiveMessagesAndLoseNothing) {
  fill("1,2,3,4 5,6,7,8 9,10,11,12");
  set_cell(0, 10, u"hidden");
  click(kSolve);
  const std::u16string solved = result();
  ASSERT_FALSE(solved.empty());
  const std::vector<std::u16string> before = cells();

  std::mt19937 rng(7);
  std::string binary = "\x89PNG\r\n\x1a\n";
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>(rng() & 0xFF);
  write_bytes(dir_ / "picture.csv", binary);
  std::string random(10u << 20, '\0');
  for (char& c : random) c = static_cast<char>(rng() % 255 + 1);
  random[0] = '\n';  // an empty header line
  write_bytes(dir_ / "random.csv", random);
  write_bytes(dir_ / "long.csv", std::string(10u << 20, 'x'));
  write_bytes(dir_ / "wide.csv", std::string(1000, ';') + "\r\n1;2;3\r\n");
  write_bytes(dir_ / "one.csv", "a1;b\r\n1;2\r\n");
  write_bytes(dir_ / "empty.csv", "");
  fs::create_directories(dir_ / "folder.csv");

  const std::u16string header = message(138, u"25");
  const struct {
    fs::path file;
    std::u16string expected;
  } cases[] = {
      {dir_ / "picture.csv", header},
      {dir_ / "random.csv", header},
      {dir_ / "long.csv", header},
      {dir_ / "wide.csv", header},
      {dir_ / "one.csv", header},
      {dir_ / "empty.csv", header},
      {dir_ / "folder.csv", message(115, u16(dir_ / "folder.csv"))},
      {"/proc/self/mem", message(115, u"/proc/self/mem")},  // opens, but cannot be read
      {dir_ / "missing.csv", message(114, u16(dir_ / "missing.csv"))},
      {dir_ / "nofolder" / "x.csv", message(114, u16(dir_ / "nofolder" / "x.csv"))},
  };
  for (const auto& c : cases) {
    g_messages.clear();
    load(c.file);
    ASSERT_EQ(g_messages.size(), 1u) << c.file;
    EXPECT_EQ(g_messages[0], c.expected) << c.file;
    EXPECT_EQ(cells(), before) << c.file;
    EXPECT_EQ(ui_up_down_value(control(kCount)), 3);
    EXPECT_EQ(result(), solved) << c.file;
  }
  if (::geteuid() != 0) {  // root reads anyway
    write_bytes(dir_ / "secret.csv", "a1;a2;b\r\n1;2;3\r\n");
    fs::permissions(dir_ / "secret.csv", fs::perms::owner_write);
    g_messages.clear();
    load(dir_ / "secret.csv");
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_EQ(g_messages[0], message(115, u16(dir_ / "secret.csv")));
    EXPECT_EQ(cells(), before);
  }
}

TEST_F(LinearWindowTest, SavingWhereNothingCanBeWrittenKeepsTheOldFile) {
  fill("1,1,3 1,-1,1");
  // /proc takes no new files, whoever runs the test; its files stay as they are.
  const std::string config = read_bytes("/proc/config.gz");
  ASSERT_FALSE(config.empty());
  save("/proc/config.gz");
  ASSERT_EQ(g_messages.size(), 1u);
  EXPECT_EQ(g_messages[0], message(115, u"/proc/config.gz"));
  EXPECT_EQ(read_bytes("/proc/config.gz"), config);

  const fs::path locked = g_config / "locked";
  fs::create_directories(locked);
  write_bytes(locked / "old.csv", "a1;a2;b\r\n4;5;6\r\n7;8;9\r\n");
  fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
  if (::geteuid() != 0) {  // root writes anyway
    g_messages.clear();
    save(locked / "old.csv");
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_EQ(g_messages[0], message(115, u16(locked / "old.csv")));
    EXPECT_EQ(read_bytes(locked / "old.csv"), "a1;a2;b\r\n4;5;6\r\n7;8;9\r\n");
  }
  fs::permissions(locked, fs::perms::owner_all);
}

TEST_F(LinearWindowTest, MendedFilesAWrongHeaderKeepsTheGridAndALastLineWithoutLfCounts) {
  fill("7,7,7 8,8,8");
  click(kSolve);
  const std::u16string solved = result();
  write_bytes(dir_ / "single.csv", "a1;\r\n1;1;3\r\n1;-1;1\r\n");
  load(dir_ / "single.csv");
  ASSERT_EQ(g_messages.size(), 1u);
  EXPECT_EQ(g_messages[0], u"Error|The number of equation variables has to be between 2 and 25!");
  EXPECT_EQ(cell(0, 0), u"7");
  EXPECT_EQ(cell(1, 25), u"8");
  EXPECT_EQ(result(), solved);

  // Written by an editor without a final line end: the last equation is still there.
  g_messages.clear();
  write_bytes(dir_ / "nolf.csv", "a1;a2;b\r\n1;1;3\r\n1;-1;1");
  load(dir_ / "nolf.csv");
  EXPECT_TRUE(g_messages.empty());
  EXPECT_EQ(cell(1, 0), u"1");
  EXPECT_EQ(cell(1, 1), u"-1");
  EXPECT_EQ(cell(1, 25), u"1");
  click(kSolve);
  EXPECT_EQ(result(), u"x1 = 2\nx2 = 1\n");
}

TEST_F(LinearWindowTest, BlockPastesLandWholeOrReportWhatWasLeftOut) {
  // A spreadsheet's 25 x 26 block fills the grid of 25 equations in one step.
  set_count(25);
  std::u16string block;
  for (int r = 0; r < 25; ++r) {
    for (int c = 0; c < 26; ++c) {
      block += utf16(std::to_string(r * 100 + c));
      block += c < 25 ? u'\t' : u'\n';
    }
  }
  grid_set_current(grid_, 1, 1);
  EXPECT_EQ(grid_paste_text(grid_, block), 0);
  EXPECT_TRUE(g_messages.empty());
  EXPECT_EQ(cell(0, 0), u"0");
  EXPECT_EQ(cell(24, 24), u"2424");
  EXPECT_EQ(cell(24, 25), u"2425");
  EXPECT_EQ(cell(3, 26), u"");  // the hidden column takes nothing
  EXPECT_TRUE(grid_undo(grid_));
  EXPECT_EQ(cell(0, 0), u"");
  EXPECT_EQ(cell(24, 25), u"");

  // With 2 equations a 3 x 4 block leaves out one row and one column.
  set_count(2);
  grid_set_current(grid_, 1, 1);
  EXPECT_EQ(grid_paste_text(grid_, u"1\t2\t3\t4\n5\t6\t7\t8\n9\t10\t11\t12\n"), 6);
  ASSERT_EQ(g_messages.size(), 1u);
  EXPECT_EQ(g_messages[0],
            u"Hint|Cells left out of the pasted block because they lie outside the visible "
            u"grid: 6");
  EXPECT_EQ(cell(1, 25), u"7");
  EXPECT_EQ(grid_take_left_out(grid_), 0);  // collected by the window
}

TEST_F(GermanLinearWindowTest, TextsAndMessagesInGerman) {
  EXPECT_EQ(ui_title(win_), u"Lineare Gleichungssysteme");
  EXPECT_EQ(ui_text(control(kSave)), u"Speichern unter");
  fill("1,1,3 1,-1,1");
  save(dir_ / "de");
  ASSERT_EQ(g_dialogs.size(), 1u);
  EXPECT_EQ(g_dialogs[0].dialog.filters,
            (std::vector<std::u16string>{u"CSV-Dateien (*.csv)", u"Alle Dateien (*)"}));
  EXPECT_TRUE(fs::exists(dir_ / "de.csv"));
  grid_set_current(grid_, 2, 1);
  grid_paste_text(grid_, u"1\t2\n3\t4\n");
  ASSERT_EQ(g_messages.size(), 1u);
  EXPECT_EQ(g_messages[0],
            u"Hinweis|Zellen des eingef\u00fcgten Blocks, die au\u00dferhalb des sichtbaren "
            u"Datengitters liegen und ausgelassen wurden: 2");
}
