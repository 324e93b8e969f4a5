// The "Solve algebraic equations" window of the program: controls, grid rows, precision caps,
// solving on the worker with its messages, Stop and closing during a run.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "app/app_error.h"
#include "app/messages.h"
#include "app/platform.h"
#include "app/settings.h"
#include "tests/instrumented.h"
#include "ui/controls.h"
#include "ui/grid.h"
#include "ui_test_util.h"
#include "windows/app_windows.h"
#include "windows/task_window.h"

namespace {

const TestConfigFolder g_environment("numerion_equations");
const std::filesystem::path& g_config = g_environment.path();

struct Box {
  std::u16string caption, text;
};
std::vector<Box> g_boxes;
void record_box(const char16_t* caption, const char16_t* text, int) {
  g_boxes.push_back({caption, text});
}

// tests/data/equations_window.txt, made by gen_equations_window.py.
std::map<std::string, std::u16string> reference() {
  std::map<std::string, std::u16string> values;
  std::ifstream in(std::string(NUMERION_TEST_DATA) + "/equations_window.txt");
  std::string name, value;
  while (in >> name) {
    if (name[0] == '#') {
      std::getline(in, value);
      continue;
    }
    in >> value;
    values[name] = std::u16string(value.begin(), value.end());
  }
  return values;
}

std::string utf8(std::u16string_view s) {
  return QString::fromStdU16String(std::u16string(s)).toStdString();
}

// Control ids of the window, in the order it creates them.
enum : int {
  kDegree = 10,
  kMode = 12,
  kResultType = 14,
  kPrecision = 16,
  kMultiplicity = 18,
  kLabel = 19,
  kGrid = 20,
  kResult = 21,
  kSolve = 22,
  kClear = 23,
  kClose = 24,
};

struct EquationsWindow : ::testing::Test {
  Wnd window = nullptr;
  std::map<std::string, std::u16string> ref = reference();

  EquationsWindow() {
    ensure_app();
    std::filesystem::remove(settings_path());
    g_settings = Settings{};
    g_settings.show_welcome_hint = false;
    clear_app_error();
    prepare_application();
    create_windows();
    platform_set_message_hook(record_box);
    g_boxes.clear();
    ui_show_window(g_app.main_window);
    window = g_app.equations;
    EXPECT_TRUE(ui_choose_menu_item(g_app.main_window, kMenuEquations));
  }
  ~EquationsWindow() override { destroy_windows(); }

  Wnd c(int id) const { return ui_control(window, id); }
  void set_degree(int n) { ui_up_down_set_value(c(kDegree), n); }
  // Cells from the top row (a_n) down.
  void set_cells(std::initializer_list<std::u16string_view> cells) {
    int row = 1;
    for (std::u16string_view t : cells) grid_set_cell_text(c(kGrid), row++, 1, t);
  }
  std::u16string cell(int row) const {
    std::u16string t;
    grid_cell_text(c(kGrid), row, 1, &t);
    return t;
  }
  std::vector<std::u16string> row_titles() const {
    std::vector<std::u16string> titles;
    for (int r = 1; r <= grid_row_count(c(kGrid)); ++r) {
      std::u16string t;
      grid_row_title(c(kGrid), r, &t);
      titles.push_back(t);
    }
    return titles;
  }
  bool idle() const { return ui_text(c(kSolve)) == msg(79); }
  // Clicks "Solve" and waits for the completion and the guard after it.
  std::u16string solve() {
    ui_click(c(kSolve));
    EXPECT_EQ(ui_text(c(kSolve)), msg(4));
    EXPECT_TRUE(wait_for([&] { return idle(); }, 60000));
    return ui_text(c(kResult));
  }
};

TEST_F(EquationsWindow, OpensFromTheMenuWithItsInitialState) {
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(ui_is_visible(window));
  EXPECT_TRUE(ui_menu_item_enabled(g_app.main_window, kMenuEquations));
  EXPECT_EQ(ui_title(window), u"Solve algebraic equations");
  EXPECT_EQ(ui_up_down_value(c(kDegree)), 2);
  EXPECT_EQ(ui_text(c(kMode)), u"real");
  EXPECT_EQ(ui_text(c(kResultType)), u"Approximation");
  EXPECT_EQ(ui_up_down_value(c(kPrecision)), 10);
  EXPECT_TRUE(ui_checked(c(kMultiplicity)));
  EXPECT_EQ(ui_text(c(kLabel)),
            u"Enter the coefficients of the equation a2*x^2 + a1*x + a0 =\u00a00.");
  EXPECT_EQ(row_titles(), (std::vector<std::u16string>{u"a2", u"a1", u"a0"}));
  EXPECT_TRUE(ui_text(c(kResult)).empty());
  ui_click(c(kClose));
  EXPECT_FALSE(ui_is_visible(window));
}

TEST_F(EquationsWindow, DegreeChangesMoveRowsAtTheTopAndKeepTheOthers) {
  set_cells({u"5", u"6", u"7"});
  set_degree(4);
  EXPECT_EQ(row_titles(), (std::vector<std::u16string>{u"a4", u"a3", u"a2", u"a1", u"a0"}));
  EXPECT_EQ(cell(1), u"");
  EXPECT_EQ(cell(3), u"5");
  EXPECT_EQ(cell(5), u"7");
  set_degree(1);
  EXPECT_EQ(row_titles(), (std::vector<std::u16string>{u"a1", u"a0"}));
  EXPECT_EQ(cell(1), u"6");
  EXPECT_EQ(cell(2), u"7");
  set_degree(10);
  EXPECT_EQ(grid_row_count(c(kGrid)), 11);
  EXPECT_EQ(row_titles().front(), u"a10");
  EXPECT_EQ(cell(10), u"6");
  EXPECT_EQ(ui_text(c(kLabel)),
            u"Enter the coefficients of the equation a10*x^10 + a9*x^9 + ... + a1*x + a0 "
            u"=\u00a00.");
  // The range of the control holds: 11 stays 10.
  set_degree(11);
  EXPECT_EQ(ui_up_down_value(c(kDegree)), 10);
  EXPECT_EQ(grid_row_count(c(kGrid)), 11);

  // "Clear" empties every cell and the result.
  ui_click(c(kClear));
  for (int r = 1; r <= 11; ++r) EXPECT_EQ(cell(r), u"") << r;
}

TEST_F(EquationsWindow, PrecisionIsCappedByTheDegree) {
  ui_up_down_set_value(c(kPrecision), 2000);
  set_degree(4);
  EXPECT_EQ(ui_up_down_value(c(kPrecision)), 2000);
  set_degree(5);
  EXPECT_EQ(ui_up_down_value(c(kPrecision)), 1000);
  set_degree(8);
  EXPECT_EQ(ui_up_down_value(c(kPrecision)), 750);
  ui_up_down_set_value(c(kPrecision), 751);
  EXPECT_EQ(ui_up_down_value(c(kPrecision)), 750);
  set_degree(4);
  ui_up_down_set_value(c(kPrecision), 2000);
  EXPECT_EQ(ui_up_down_value(c(kPrecision)), 2000);
  ui_up_down_set_value(c(kPrecision), 4);
  EXPECT_EQ(ui_up_down_value(c(kPrecision)), 5);
}

TEST_F(EquationsWindow, SolvesApproximatelyAndExactly) {
  set_degree(1);
  set_cells({u"2", u"1"});
  EXPECT_EQ(solve(), u"x1 = " + ref["linear_root"] + u"   [1]\n");
  EXPECT_TRUE(g_boxes.empty());

  // x^3 - x^2 - 2x + 2 exactly, then approximately without the multiplicities.
  set_degree(3);
  set_cells({u"1", u"-1", u"-2", u"2"});
  ui_combo_select(c(kResultType), 1);
  const std::u16string r2 = ref["sqrt2"];
  EXPECT_EQ(solve(), u"x1 = -sqrt(2) \u2248 -" + r2 +
                         u"   [1]\nx2 = 1   [1]\nx3 = sqrt(2) \u2248 " + r2 + u"   [1]\n");
  ui_combo_select(c(kResultType), 0);
  ui_set_check(c(kMultiplicity), false);
  EXPECT_EQ(solve(), u"x1 = -" + r2 + u"\nx2 = 1\nx3 = " + r2 + u"\n");

  // A double root is one line with its multiplicity; a formula in a cell is evaluated.
  ui_set_check(c(kMultiplicity), true);
  set_cells({u"1", u"1", u"-5", u"(1+2)*1"});
  EXPECT_EQ(solve(),
            u"x1 = " + ref["single_root"] + u"   [1]\nx2 = " + ref["double_root"] + u"   [2]\n");

  // x^2 + 1: no real solution; in complex mode the pair ±i.
  set_degree(2);
  set_cells({u"1", u"", u"1"});
  EXPECT_EQ(solve(), u"The equation has no real solutions.");
  ui_combo_select(c(kMode), 1);
  EXPECT_EQ(solve(), u"x1 = -i   [1]\nx2 = i   [1]\n");
  // A complex coefficient is fine in complex mode.
  set_cells({u"i", u"0", u"1"});
  const std::u16string h = ref["sqrt_half"];
  EXPECT_EQ(solve(), u"x1 = -" + h + u"-" + h + u"i   [1]\nx2 = " + h + u"+" + h + u"i   [1]\n");
  EXPECT_TRUE(g_boxes.empty());
}

TEST_F(EquationsWindow, BadCoefficientsGiveTheirMessagesAndNoResult) {
  struct Case {
    std::u16string top, middle;
    int mode;  // 0 real, 1 complex
    int type;  // 0 approximation, 1 exact
    std::u16string text;
  };
  const std::u16string long_cell(1031, u'1');
  const std::u16string huge_cell(1 << 20, u'7');
  const Case cases[] = {
      {u"0", u"1", 0, 0, u"The highest coefficient \"a2\" must not be 0!"},
      {u"  \t", u"1", 1, 1, u"The highest coefficient \"a2\" must not be 0!"},
      {u"1", u"2*(", 0, 0, u"Error evaluating coefficient \"a1\". "},
      {u"1", u"i", 0, 0, u"The coefficient \"a1\" has to be real!"},
      {u"1", u"1/2", 0, 1, u""},  // solved, no box
      {u"1", u"0.5", 0, 1,
       u"The coefficient \"a1\" is not a rational number in numerator denominator representation "
       u"or overflow in numerator or denominator. "},
      {u"1", u"sqrt(2)", 0, 1,
       u"The coefficient \"a1\" is not a rational number in numerator denominator representation "
       u"or overflow in numerator or denominator. "},
      {u"1", long_cell, 0, 0, u"Coefficient \"a1\" has too many characters!"},
      {huge_cell, u"1", 1, 0, u"Coefficient \"a2\" has too many characters!"},
      {u"1", u"\x01\x02", 0, 0, u"Error evaluating coefficient \"a1\". "},
  };
  for (const Case& k : cases) {
    ui_set_text(c(kResult), u"old");
    g_boxes.clear();
    set_cells({k.top, k.middle, u"-1"});
    ui_combo_select(c(kMode), k.mode);
    ui_combo_select(c(kResultType), k.type);
    const std::u16string result = solve();
    if (k.text.empty()) {
      EXPECT_TRUE(g_boxes.empty());
      EXPECT_NE(result.find(u"x1 = "), std::u16string::npos);
      continue;
    }
    ASSERT_EQ(g_boxes.size(), 1u) << utf8(k.middle);
    EXPECT_EQ(g_boxes[0].caption, u"Error");
    EXPECT_EQ(g_boxes[0].text.substr(0, k.text.size()), k.text);
    EXPECT_TRUE(result.empty());
  }
  // The syntax error carries the formula engine's own message behind the window's.
  set_cells({u"1", u"2*(", u"1"});
  ui_combo_select(c(kResultType), 0);
  g_boxes.clear();
  solve();
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(g_boxes[0].text, u"Error evaluating coefficient \"a1\". " + std::u16string(msg(146)));
}

TEST_F(EquationsWindow, StopAndCloseEndARunWithoutAMessage) {
  // Degree 10 at 750 digits with a coefficient near the end of the exponent range, which the
  // solver leaves to its iteration at some 9,900 digits: about a second with the fast
  // products, so the stop comes early.
  set_degree(10);
  ui_combo_select(c(kMode), 1);
  ui_up_down_set_value(c(kPrecision), 750);
  for (int r = 1; r <= 11; ++r) grid_set_cell_text(c(kGrid), r, 1, r % 2 ? u"1/3+i" : u"-7/11");
  grid_set_cell_text(c(kGrid), 1, 1, u"1e20000000000000000");
  ui_click(c(kSolve));
  EXPECT_EQ(ui_text(c(kSolve)), u"Stop");
  EXPECT_FALSE(ui_is_enabled(c(kClear)));
  EXPECT_FALSE(ui_is_enabled(g_app.main_window));
  EXPECT_TRUE(ui_is_enabled(window));
  QTest::qWait(100);
  QElapsedTimer timer;
  timer.start();
  ui_click(c(kSolve));
  ASSERT_TRUE(wait_for([&] { return ui_is_enabled(g_app.main_window); }, 20000));
  const qint64 stop_ms = timer.elapsed();
  EXPECT_LT(stop_ms, 2000 * kTimeScale);   // 200 ms on an idle machine; the tests share theirs
  EXPECT_EQ(ui_text(c(kSolve)), u"Stop");  // the guard keeps it for 200 ms
  ui_click(c(kSolve));                     // a click meant for "Stop" starts nothing
  ASSERT_TRUE(wait_for([&] { return idle(); }));
  EXPECT_TRUE(ui_is_enabled(c(kClear)));
  EXPECT_TRUE(g_boxes.empty());
  EXPECT_TRUE(ui_text(c(kResult)).empty());

  // A coefficient formula that would compute for many seconds stops as quickly, and so does
  // closing the window, which hides it and activates the main window.
  std::u16string slow;
  for (int k = 1; slow.size() < 1000; ++k)
    slow += u"+sin(1." + std::u16string(1, u'0' + k % 10) + u")";
  grid_set_cell_text(c(kGrid), 11, 1, slow);
  ui_click(c(kSolve));
  QTest::qWait(300);
  timer.restart();
  ui_close_window(window);
  EXPECT_FALSE(ui_is_visible(window));
  ASSERT_TRUE(wait_for([&] { return ui_is_enabled(g_app.main_window); }, 20000));
  EXPECT_LT(timer.elapsed(), 2000 * kTimeScale);
  EXPECT_TRUE(g_boxes.empty()) << utf8(g_boxes.front().text);
  EXPECT_TRUE(ui_text(c(kResult)).empty());
  std::printf("stop took %lld ms, close %lld ms\n", static_cast<long long>(stop_ms),
              static_cast<long long>(timer.elapsed()));
}

TEST_F(EquationsWindow, TextsComeFromTheGermanTableToo) {
  load_texts(kLanguageGerman);
  destroy_windows();
  create_windows();
  platform_set_message_hook(record_box);
  window = g_app.equations;
  ui_show_window(window);
  EXPECT_EQ(ui_title(window), u"Algebraische Gleichungen l\u00f6sen");
  EXPECT_EQ(ui_text(c(kSolve)), u"L\u00f6sen");
  EXPECT_EQ(ui_text(c(kLabel)),
            u"Geben Sie die Koeffizienten der Gleichung a2*x^2 + a1*x + a0 "
            u"=\u00a00 ein.");
  set_cells({u"1", u"0", u"1"});
  EXPECT_EQ(solve(), u"Die Gleichung hat keine reellen L\u00f6sungen.");
  set_cells({u"0", u"0", u"1"});
  solve();
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(g_boxes[0].caption, u"Fehler");
  load_texts(kLanguageEnglish);
}

}  // namespace
