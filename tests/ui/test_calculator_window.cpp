// The calculator window driven as a user drives it: keys and buttons in, result text out, compared
// with calc/'s own evaluation and formatting of the same formula.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCompleter>
#include <QContextMenuEvent>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSlider>
#include <chrono>
#include <fstream>

#include "app/app_error.h"
#include "app/messages.h"
#include "app/platform.h"
#include "app/settings.h"
#include "calc/buttons.h"
#include "calc/calculator.h"
#include "calc/history.h"
#include "core/decfloat.h"
#include "integer/number.h"
#include "ui/composite.h"
#include "ui/controls.h"
#include "ui/formula_edit.h"
#include "ui_test_util.h"
#include "windows/app_windows.h"
#include "windows/calculator_window.h"
#include "tests/instrumented.h"

using namespace calculator_ids;

namespace {

constexpr int kSlow = kTimeScale;

const TestConfigFolder g_environment("numerion_calc_window");
const std::filesystem::path& g_config = g_environment.path();

std::vector<std::u16string> g_messages;
void record_message(const char16_t*, const char16_t* text, int) {
  g_messages.emplace_back(text);
}

struct Calculator : ::testing::Test {
  Calculator() { start(); }
  ~Calculator() override { destroy_windows(); }

  // A fresh program on `s` (the welcome hint off); the history file is left as the test made it.
  void start(Settings s = Settings{}) {
    ensure_app();
    s.show_welcome_hint = false;
    std::filesystem::create_directories(settings_path().parent_path());
    ASSERT_TRUE(write_settings_file(settings_path(), s));
    g_settings = Settings{};
    clear_settings_changed();
    clear_app_error();
    prepare_application();
    create_windows();
    platform_set_message_hook(record_message);
    g_messages.clear();
    ui_show_window(g_app.main_window);
    ui_show_window(g_app.calculator);
    QApplication::setActiveWindow(w_of(g_app.calculator));
  }
  void restart(const Settings& s = Settings{}) {
    destroy_windows();
    start(s);
  }

  Wnd control(int id) const { return ui_control(g_app.calculator, id); }
  QPlainTextEdit* input() const { return dynamic_cast<QPlainTextEdit*>(w_of(control(kIdInput))); }
  std::u16string input_text() const { return ui_text(control(kIdInput)); }
  std::u16string result() const { return ui_text(control(kIdResult)); }
  Wnd button(int index) const { return control(kIdButton0 + index); }
  std::u16string label(int index) const { return ui_text(button(index)); }
  bool running() const { return !ui_is_enabled(control(kIdTypeSlider)); }
  bool wait_done(int ms = 10000) const {
    return wait_for([this] { return !running(); }, ms);
  }

  void type(const QString& text) { QTest::keyClicks(input(), text); }
  void set_input(std::u16string_view text) { ui_edit_replace_all(control(kIdInput), text); }
  // Types the formula and presses Enter; true when the calculation completed.
  bool calculate(std::u16string_view formula) {
    set_input(formula);
    QTest::keyClick(input(), Qt::Key_Return);
    return wait_done();
  }
  void choose_type(std::uint32_t type) {
    const int pos = type == kTypeUInt ? 0 : type == kTypeRational ? 1 : type == kTypeReal ? 2 : 3;
    dynamic_cast<QSlider*>(w_of(control(kIdTypeSlider)))->setValue(pos);
  }
  void choose_angle(int angle) {
    dynamic_cast<QSlider*>(w_of(control(kIdAngleSlider)))->setValue(angle - 1);
  }
};

// calc/'s own answer: the same formula evaluated and formatted outside the window.
std::u16string reference(std::u16string_view formula, std::uint32_t type, int digits, int base = 10,
                         bool lower = false) {
  CalculatorState s;
  calc_set_base(s, base);
  calc_set_precision(s, digits);
  calc_set_number_type(s, type);
  s.lower_hex = lower;
  VariableTableStorage storage;
  build_variable_table(storage, u"", {});
  const std::u16string text(formula);
  clear_app_error();
  if (!calc_evaluate(s, text.c_str(), storage.table)) {
    clear_app_error();
    return u"<error>";
  }
  calc_format_result(s);
  return s.result_field;
}

TEST_F(Calculator, OpensWithTheFocusInTheInputLineAndCalculatesOnEnterAndEquals) {
  EXPECT_TRUE(ui_menu_item_enabled(g_app.main_window, kMenuCalculator));
  EXPECT_EQ(ui_title(g_app.calculator), u"Scientific Calculator");
  EXPECT_EQ(ui_focus(), control(kIdInput));
  for (const char16_t* f : {u"1+2", u"2^0.5", u"sin(1)*ln(10)", u"10/3", u"fact(30)"}) {
    ASSERT_TRUE(calculate(f)) << std::string(f, f + 3);
    EXPECT_EQ(result(), reference(f, kTypeReal, 10)) << std::string(f, f + 3);
  }
  // "=" as a button, with missing parentheses closed in the input line.
  set_input(u"(1+2*(3");
  ui_click(button(30));
  ASSERT_TRUE(wait_done());
  EXPECT_EQ(input_text(), u"(1+2*(3))");
  EXPECT_EQ(result(), reference(u"7", kTypeReal, 10));
  EXPECT_TRUE(g_messages.empty());
  // Shift+Enter breaks the line instead of calculating.
  set_input(u"1+");
  QTest::keyClick(input(), Qt::Key_Return, Qt::ShiftModifier);
  type("1");
  EXPECT_EQ(input_text(), u"1+\n1");
  EXPECT_FALSE(running());
  // The line break is layout only.
  QTest::keyClick(input(), Qt::Key_Return);
  ASSERT_TRUE(wait_done());
  EXPECT_EQ(result(), u"2");
  EXPECT_TRUE(g_messages.empty());
}

TEST_F(Calculator, ResultsFollowTheNumberTypeBaseAndPrecision) {
  choose_type(kTypeUInt);
  EXPECT_EQ(g_settings.number_type, static_cast<int>(kTypeUInt));
  ASSERT_TRUE(calculate(u"2^200"));
  EXPECT_EQ(result(), reference(u"2^200", kTypeUInt, 10));
  EXPECT_EQ(ui_digit_count(control(kIdDigits)), 61);
  EXPECT_FALSE(ui_is_visible(control(kIdInexact)));
  ASSERT_TRUE(calculate(u"7/2"));
  EXPECT_EQ(result(), u"3");
  EXPECT_TRUE(ui_is_visible(control(kIdInexact)));
  ASSERT_TRUE(calculate(u"6/2"));
  EXPECT_FALSE(ui_is_visible(control(kIdInexact)));
  ui_click(button(0));  // CA
  EXPECT_EQ(result(), u"");
  choose_type(kTypeRational);
  ASSERT_TRUE(calculate(u"1/3+1/6"));
  EXPECT_EQ(result(), u"1/2");
  choose_type(kTypeComplex);
  ASSERT_TRUE(calculate(u"(1+2i)*(3-i)/7"));
  EXPECT_EQ(result(), reference(u"(1+2i)*(3-i)/7", kTypeComplex, 10));
  choose_type(kTypeReal);
  ui_up_down_set_value(control(kIdPrecision), 50);
  EXPECT_EQ(g_settings.decimal_precision, 50);
  ASSERT_TRUE(calculate(u"pi"));
  EXPECT_EQ(result(), reference(u"pi", kTypeReal, 50));
  EXPECT_TRUE(settings_changed());
}

TEST_F(Calculator, RationalFallsBackToRealAndTheSelectorFollows) {
  choose_type(kTypeRational);
  ASSERT_TRUE(calculate(u"sqrt(2)"));
  EXPECT_EQ(dynamic_cast<QSlider*>(w_of(control(kIdTypeSlider)))->value(), 2);
  EXPECT_EQ(g_settings.number_type, static_cast<int>(kTypeReal));
  EXPECT_EQ(result(), reference(u"sqrt(2)", kTypeReal, 10));
  EXPECT_EQ(label(8), u"");  // "R↔M" belongs to the rational type
  EXPECT_TRUE(g_messages.empty());
}

TEST_F(Calculator, ButtonsAreRelabelledPerTypeAngleAndLetterCase) {
  choose_angle(kAngleDeg);
  EXPECT_EQ(g_settings.angle_type, kAngleDeg);
  EXPECT_EQ(label(32), u"sind");
  set_input(u"");
  ui_click(button(32));
  EXPECT_EQ(input_text(), u"sind(");
  EXPECT_EQ(ui_focus(), control(kIdInput));
  choose_angle(kAngleRad);
  EXPECT_EQ(label(43), u"atan");
  choose_angle(kAngleGon);
  EXPECT_EQ(label(41), u"asing");

  choose_type(kTypeUInt);
  const char16_t* letters[] = {u"A", u"B", u"C", u"D", u"E", u"F"};
  const int letter_buttons[] = {32, 33, 34, 41, 42, 43};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(label(letter_buttons[i]), letters[i]);
  EXPECT_EQ(label(50), u"bin");
  EXPECT_EQ(label(52), u"hex");
  EXPECT_EQ(label(5), u"[lg\u2081\u2080]");
  EXPECT_EQ(label(49), u"^mod");
  EXPECT_FALSE(ui_is_visible(button(37)));  // "." is not for integers
  EXPECT_TRUE(ui_is_visible(control(kIdBase)));
  ui_click(control(kIdHexCase));
  EXPECT_TRUE(g_settings.use_lower_case_hex);
  EXPECT_EQ(label(32), u"a");
  set_input(u"");
  ui_click(button(52));
  ui_click(button(43));
  EXPECT_EQ(input_text(), u"0xf");

  choose_type(kTypeComplex);
  EXPECT_EQ(label(8), u"i");
  EXPECT_EQ(label(17), u"argg");
  EXPECT_EQ(label(53), u"realp");
  EXPECT_EQ(label(32), u"sing");
  EXPECT_FALSE(ui_is_visible(control(kIdBase)));
  choose_type(kTypeReal);
  EXPECT_EQ(label(50), u"sinh");
  EXPECT_FALSE(ui_is_visible(button(8)));
  EXPECT_FALSE(ui_is_visible(button(67)));
  // Tooltips carry the call form in the current language.
  EXPECT_EQ(w_of(button(7))->toolTip(), QStringLiteral("logx(base; x)"));
}

TEST_F(Calculator, AnsNotationAndMixedButtonsNeedAResult) {
  choose_type(kTypeRational);
  EXPECT_FALSE(ui_is_enabled(button(31)));  // ans
  EXPECT_FALSE(ui_is_enabled(button(56)));  // F↔S
  EXPECT_FALSE(ui_is_enabled(button(8)));   // R↔M
  ASSERT_TRUE(calculate(u"-7/2"));
  EXPECT_TRUE(ui_is_enabled(button(31)));
  EXPECT_TRUE(ui_is_enabled(button(56)));
  EXPECT_TRUE(ui_is_enabled(button(8)));
  ui_click(button(8));
  EXPECT_EQ(result(), u"-3-1/2");
  ui_click(button(8));
  EXPECT_EQ(result(), u"-7/2");
  // Editing greys the result: the toggles go, "ans" stays.
  type("+");
  EXPECT_FALSE(ui_is_enabled(button(56)));
  EXPECT_FALSE(ui_is_enabled(button(8)));
  EXPECT_TRUE(ui_is_enabled(button(31)));
  EXPECT_EQ(result(), u"-7/2");
  EXPECT_EQ(w_of(control(kIdResult))->palette().color(QPalette::Text), QColor(128, 128, 128));
  // F↔S only in base 10.
  choose_type(kTypeUInt);
  ASSERT_TRUE(calculate(u"255"));
  EXPECT_TRUE(ui_is_enabled(button(56)));
  ui_click(control(kIdHexCase));
  QComboBox* list = w_of(control(kIdBase))->findChild<QComboBox*>();
  ASSERT_NE(list, nullptr);
  list->setCurrentIndex(list->findText("16"));
  emit list->activated(list->currentIndex());
  EXPECT_EQ(g_settings.output_number_base, 16);
  EXPECT_EQ(result(), u"0xff");
  EXPECT_FALSE(ui_is_enabled(button(56)));
}

TEST_F(Calculator, StopModeDisablesTheRestAndEscapeStopsQuickly) {
  ui_up_down_set_value(control(kIdPrecision), 10000);
  ASSERT_TRUE(calculate(u"1"));
  const std::u16string before = result();
  set_input(u"fact(1e7)");
  QTest::keyClick(input(), Qt::Key_Return);
  ASSERT_TRUE(running());
  ASSERT_TRUE(wait_for([this] { return label(0) == u"Stop"; }, 2000));
  EXPECT_FALSE(ui_is_enabled(button(30)));
  EXPECT_FALSE(ui_is_enabled(g_app.main_window));
  EXPECT_FALSE(ui_is_enabled(control(kIdPrecision)));
  // Other buttons do nothing now.
  ui_click(button(2));
  EXPECT_EQ(input_text(), u"fact(1e7)");
  // Escape stops from any control of the window, here the result field.
  const auto t0 = std::chrono::steady_clock::now();
  QTest::keyClick(w_of(control(kIdResult)), Qt::Key_Escape);
  ASSERT_TRUE(wait_done(5000));
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
  EXPECT_LT(ms, 200.0 * kSlow);
  EXPECT_EQ(label(0), u"CA");
  EXPECT_TRUE(ui_is_enabled(g_app.main_window));
  EXPECT_TRUE(ui_is_enabled(button(30)));
  EXPECT_EQ(result(), before);
  EXPECT_EQ(w_of(control(kIdResult))->palette().color(QPalette::Text), QColor(128, 128, 128));
  EXPECT_TRUE(g_messages.empty());
  // The click meant for "Stop" that lands just after the end does not clear everything.
  ui_click(button(0));
  EXPECT_EQ(input_text(), u"fact(1e7)");
}

TEST_F(Calculator, ClosingTheWindowStopsTheCalculation) {
  ui_up_down_set_value(control(kIdPrecision), 10000);
  set_input(u"fact(1e7)");
  QTest::keyClick(input(), Qt::Key_Return);
  ASSERT_TRUE(running());
  ui_close_window(g_app.calculator);
  ASSERT_TRUE(wait_done(2000));
  EXPECT_FALSE(ui_is_visible(g_app.calculator));
  EXPECT_TRUE(ui_is_enabled(g_app.main_window));
  EXPECT_TRUE(g_messages.empty());
}

TEST_F(Calculator, FormulaErrorsAreShownAndTheirPlaceSelected) {
  ASSERT_TRUE(calculate(u"1+2"));
  ASSERT_TRUE(calculate(u"12+*3"));
  ASSERT_EQ(g_messages.size(), 1u);
  EXPECT_NE(g_messages[0].find(u"Error in mathematical formula"), std::u16string::npos)
      << QString::fromStdU16String(g_messages[0]).toStdString();
  std::size_t start = 0, length = 0;
  ui_edit_selection(control(kIdInput), start, length);
  EXPECT_EQ(length, 1u);
  EXPECT_EQ(input_text().substr(start, 1), u"*");
  EXPECT_EQ(result(), reference(u"3", kTypeReal, 10));  // the old one, grey
  EXPECT_FALSE(ui_is_enabled(button(56)));
}

TEST_F(Calculator, BadInputGivesAFormulaMessage) {
  // A pasted megabyte is cut and marked; "=" then reports the mark.
  set_input(u"");
  QApplication::clipboard()->setText(QString(1 << 20, u'7'));
  const auto paste_start = std::chrono::steady_clock::now();
  input()->paste();
  EXPECT_LT(std::chrono::steady_clock::now() - paste_start, std::chrono::seconds(2) * kSlow);
  EXPECT_EQ(input_text().size(), static_cast<std::size_t>(kFormulaEditLimit));
  EXPECT_EQ(input_text().back(), u'\u2026');
  QTest::keyClick(input(), Qt::Key_Return);
  ASSERT_TRUE(wait_done());
  ASSERT_EQ(g_messages.size(), 1u);
  EXPECT_NE(g_messages[0].find(u"Error in mathematical formula"), std::u16string::npos);
  const std::u16string inputs[] = {std::u16string(u"1+\u0001"), std::u16string(u"2*\U0001F600"),
                                   std::u16string(u"3\u0000", 2), std::u16string(u"\uFFFF")};
  for (const std::u16string& text : inputs) {
    g_messages.clear();
    const auto t0 = std::chrono::steady_clock::now();
    ASSERT_TRUE(calculate(text));
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(5) * kSlow);
    ASSERT_EQ(g_messages.size(), 1u) << text.size();
    EXPECT_NE(g_messages[0].find(u"Error in mathematical formula"), std::u16string::npos);
  }
}

TEST_F(Calculator, HistoryWalksWithUpAndDownAndSurvivesARestart) {
  ASSERT_TRUE(calculate(u"1+1"));
  ASSERT_TRUE(calculate(u"2+2"));
  ASSERT_TRUE(calculate(u"2+2"));  // no duplicates in a row
  set_input(u"draft");
  QTest::keyClick(input(), Qt::Key_Up);
  EXPECT_EQ(input_text(), u"2+2");
  QTest::keyClick(input(), Qt::Key_Up);
  EXPECT_EQ(input_text(), u"1+1");
  QTest::keyClick(input(), Qt::Key_Up);
  EXPECT_EQ(input_text(), u"1+1");
  QTest::keyClick(input(), Qt::Key_Down);
  EXPECT_EQ(input_text(), u"2+2");
  QTest::keyClick(input(), Qt::Key_Down);
  EXPECT_EQ(input_text(), u"draft");
  // Up inside a multi-line formula moves the caret, not the history.
  set_input(u"1\n2");
  QTest::keyClick(input(), Qt::Key_Up);
  EXPECT_EQ(input_text(), u"1\n2");

  restart();
  CalcHistory h;
  ASSERT_TRUE(read_history_file(history_path(), h));
  ASSERT_EQ(h.entries().size(), 2u);
  set_input(u"");
  QTest::keyClick(input(), Qt::Key_Up);
  EXPECT_EQ(input_text(), u"2+2");

  // A damaged file is ignored; the window works all the same.
  destroy_windows();
  {
    std::ofstream f(history_path(), std::ios::binary);
    f << "1+1\n\xff\xfe broken\n";
  }
  start();
  set_input(u"x");
  QTest::keyClick(input(), Qt::Key_Up);
  EXPECT_EQ(input_text(), u"x");
  ASSERT_TRUE(calculate(u"5*5"));
  EXPECT_EQ(result(), reference(u"25", kTypeReal, 10));
}

TEST_F(Calculator, CopyKeyAndContextMenuCopyTheWholeResult) {
  ASSERT_TRUE(calculate(u"1/7"));
  QApplication::clipboard()->clear();
  QTest::keyClick(input(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(ui_clipboard_text(), result());
  QApplication::clipboard()->clear();
  QWidget* field = w_of(control(kIdResult));
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), field->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(dynamic_cast<QPlainTextEdit*>(field)->viewport(), &event);
  QMenu* menu = nullptr;
  ASSERT_TRUE(wait_for([&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* m = qobject_cast<QMenu*>(w); m != nullptr && m->isVisible()) menu = m;
    }
    return menu != nullptr;
  }));
  QAction* copy = menu->findChild<QAction*>("copy_result");
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->text(), QStringLiteral("Copy result"));
  copy->trigger();
  menu->close();
  EXPECT_EQ(ui_clipboard_text(), result());
  // Typing into the result field changes nothing.
  QTest::keyClicks(field, "99");
  EXPECT_EQ(ui_text(control(kIdResult)), reference(u"1/7", kTypeReal, 10));
}

TEST_F(Calculator, TabCompletesAndUndoBringsBackWhatWasTyped) {
  set_input(u"");
  type("1+sq");
  QTest::keyClick(input(), Qt::Key_Tab);
  EXPECT_EQ(input_text(), u"1+sqrt");
  EXPECT_EQ(ui_focus(), control(kIdInput));
  input()->undo();
  EXPECT_EQ(input_text(), u"1+sq");
  input()->redo();
  EXPECT_EQ(input_text(), u"1+sqrt");
  type("(2)+a");
  QTest::keyClick(input(), Qt::Key_Tab);
  EXPECT_TRUE(ui_formula_edit_popup_open(control(kIdInput)));
  const auto items = ui_formula_edit_popup_items(control(kIdInput));
  EXPECT_NE(std::find(items.begin(), items.end(), u"ans"), items.end());
  EXPECT_NE(std::find(items.begin(), items.end(), u"acosh"), items.end());
  // The list stays clear of the result field.
  QWidget* popup = input()->findChild<QCompleter*>()->popup();
  const QRect field = w_of(control(kIdResult))
                          ->rect()
                          .translated(w_of(control(kIdResult))->mapToGlobal(QPoint(0, 0)));
  EXPECT_FALSE(popup->geometry().intersects(field))
      << popup->geometry().y() << " " << popup->geometry().height() << " " << field.y() << " "
      << field.height();
  QTest::keyClick(popup, Qt::Key_Escape);
  EXPECT_FALSE(ui_formula_edit_popup_open(control(kIdInput)));
  EXPECT_EQ(input_text(), u"1+sqrt(2)+a");
  EXPECT_FALSE(running());
}

TEST_F(Calculator, AHugeIntegerAppearsFast) {
  choose_type(kTypeUInt);
  ASSERT_TRUE(calculate(u"10^19999+1"));
  EXPECT_EQ(result().size(), 20000u);
  EXPECT_EQ(ui_digit_count(control(kIdDigits)), 20000);
  EXPECT_LT(calculator_last_completion_ms(), 100.0 * kSlow);
  choose_type(kTypeReal);
  ui_up_down_set_value(control(kIdPrecision), 10000);
  ASSERT_TRUE(calculate(u"1/7"));
  EXPECT_GT(result().size(), 10000u);
  EXPECT_LT(calculator_last_completion_ms(), 100.0 * kSlow);
}

TEST_F(Calculator, ControlsHaveAccessibleNames) {
  for (int id : {kIdInput, kIdResult, kIdTypeSlider, kIdPrecision, kIdAngleSlider}) {
    EXPECT_FALSE(w_of(control(id))->accessibleName().isEmpty()) << id;
  }
  for (int i = 0; i < 67; ++i) {
    if (ui_is_visible(button(i))) {
      EXPECT_FALSE(w_of(button(i))->accessibleName().isEmpty()) << i;
    }
  }
  EXPECT_EQ(w_of(button(1))->accessibleName(), QStringLiteral("Delete the last character"));
  ASSERT_TRUE(calculate(u"6*7"));
  EXPECT_NE(w_of(control(kIdResult))->accessibleDescription().indexOf("42"), -1);
}

// --- the variables dialog --------------------------------------------------------------------

struct Variables : Calculator {
  Wnd dialog(int id) const { return ui_control(g_app.variables, id); }
  enum { kList = 10, kName, kValue, kAssign, kTake, kAdd, kInsert, kDelete };
  void open() {
    ui_click(button(10));
    ASSERT_NE(g_app.variables, nullptr);
    ASSERT_TRUE(ui_is_visible(g_app.variables));
    QApplication::setActiveWindow(w_of(g_app.variables));
  }
  // As a click on the entry: the dialog sees the change.
  void pick(int row) { dynamic_cast<QListWidget*>(w_of(dialog(kList)))->setCurrentRow(row); }
  std::vector<std::u16string> names() const {
    std::vector<std::u16string> out;
    for (int i = 0; i < ui_list_count(dialog(kList)); ++i)
      out.push_back(ui_list_text(dialog(kList), i));
    return out;
  }
  void edit(int id, std::u16string_view text) {
    ui_set_focus(dialog(id));
    ui_set_text(dialog(id), text);
  }
};

TEST_F(Variables, AddInsertDeleteAndDefaultNames) {
  open();
  EXPECT_FALSE(ui_is_enabled(dialog(kDelete)));
  ui_click(dialog(kAdd));
  ui_click(dialog(kAdd));
  ui_click(dialog(kAdd));
  EXPECT_EQ(names(), (std::vector<std::u16string>{u"var00", u"var01", u"var02"}));
  EXPECT_EQ(ui_list_selection(dialog(kList)), 2);
  pick(1);
  ui_click(dialog(kDelete));
  EXPECT_EQ(names(), (std::vector<std::u16string>{u"var00", u"var02"}));
  ui_click(dialog(kInsert));  // before the selected var02: the free var01
  EXPECT_EQ(names(), (std::vector<std::u16string>{u"var00", u"var01", u"var02"}));
  EXPECT_EQ(ui_list_selection(dialog(kList)), 1);
  pick(2);
  ui_click(dialog(kDelete));
  EXPECT_EQ(ui_list_selection(dialog(kList)), 1);  // the new last
  ui_click(dialog(kDelete));
  ui_click(dialog(kDelete));
  EXPECT_TRUE(names().empty());
  EXPECT_EQ(ui_list_selection(dialog(kList)), -1);
  EXPECT_FALSE(ui_is_enabled(dialog(kTake)));
  EXPECT_FALSE(ui_is_enabled(dialog(kAssign)));
  for (int i = 0; i < 105; ++i) ui_click(dialog(kAdd));
  EXPECT_EQ(names().size(), 100u);
}

TEST_F(Variables, NamesValuesResultsAndTheSettingsRoundTrip) {
  ASSERT_TRUE(calculate(u"6*7"));
  open();
  ui_click(dialog(kAdd));
  edit(kName, u"rate");
  edit(kValue, u"1.5");
  ui_click(dialog(kAdd));  // commits the pending edits first
  EXPECT_EQ(names()[0], u"rate");
  ui_click(dialog(kAssign));
  EXPECT_EQ(ui_text(dialog(kValue)), u"42");
  // A reserved name is reported but kept.
  edit(kName, u"ans");
  ui_set_focus(dialog(kValue));
  ASSERT_EQ(g_messages.size(), 1u);
  EXPECT_NE(g_messages[0].find(u"\"ans\""), std::u16string::npos);
  EXPECT_EQ(names()[1], u"ans");
  edit(kName, u"x");
  pick(0);
  ui_click(dialog(kTake));
  EXPECT_EQ(input_text(), u"6*7rate");
  ASSERT_TRUE(calculate(u"rate*x"));
  EXPECT_EQ(result(), reference(u"63", kTypeReal, 10));

  ASSERT_TRUE(save_settings());
  Settings read;
  ASSERT_TRUE(read_settings_file(settings_path(), read));
  ASSERT_EQ(read.variables.size(), 2u);
  EXPECT_EQ(read.variables[0], (SettingsVariable{u"rate", u"1.5"}));
  EXPECT_EQ(read.variables[1], (SettingsVariable{u"x", u"42"}));
  restart(read);
  open();
  EXPECT_EQ(names(), (std::vector<std::u16string>{u"rate", u"x"}));
  ASSERT_TRUE(calculate(u"x+rate"));
  EXPECT_EQ(result(), reference(u"43.5", kTypeReal, 10));
}

TEST_F(Variables, CommaAsDecimalSeparatorIsStoredAsAPoint) {
  Settings s;
  s.decimal_separator = kDecimalComma;
  s.thousands_separator = kThousandsPoint;
  restart(s);
  open();
  ui_click(dialog(kAdd));
  edit(kValue, u"1,5");
  ui_set_focus(dialog(kName));
  ASSERT_TRUE(save_settings());
  Settings read;
  ASSERT_TRUE(read_settings_file(settings_path(), read));
  ASSERT_EQ(read.variables.size(), 1u);
  EXPECT_EQ(read.variables[0].value, u"1.5");
  ASSERT_TRUE(calculate(u"var00*2"));
  EXPECT_EQ(result(), u"3");
}

}  // namespace

namespace {

TEST_F(Calculator, ADarkPaletteGetsTheLighterColours) {
  const QColor light_green(0, 100, 0);
  EXPECT_EQ(w_of(button(2))->palette().color(QPalette::ButtonText), light_green);
  const QPalette saved = QApplication::palette();
  QPalette dark = saved;
  dark.setColor(QPalette::Window, QColor(40, 40, 40));
  dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
  dark.setColor(QPalette::Button, QColor(53, 53, 53));
  QApplication::setPalette(dark);
  restart();
  const Rgb green = calc_colour(1, true);
  EXPECT_EQ(w_of(button(2))->palette().color(QPalette::ButtonText),
            QColor(green.r, green.g, green.b));
  ASSERT_TRUE(calculate(u"1"));
  type("+");
  const Rgb grey = calc_stale_colour(true);
  EXPECT_EQ(w_of(control(kIdResult))->palette().color(QPalette::Text),
            QColor(grey.r, grey.g, grey.b));
  QApplication::setPalette(saved);
}

}  // namespace

namespace {

TEST_F(Variables, AHugeResultIsAssignedQuickly) {
  choose_type(kTypeUInt);
  ASSERT_TRUE(calculate(u"10^19999"));
  open();
  ui_click(dialog(kAdd));
  const auto t0 = std::chrono::steady_clock::now();
  ui_click(dialog(kAssign));
  QApplication::processEvents();
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(500) * kSlow);
  EXPECT_EQ(ui_text(dialog(kValue)).size(), 20000u);
  ASSERT_TRUE(calculate(u"var00/10^19998"));
  EXPECT_EQ(result(), u"10");
}

}  // namespace

namespace {

TEST_F(Calculator, StoredSelectorsComeBackAtTheNextStart) {
  Settings s;
  s.number_type = static_cast<int>(kTypeUInt);
  s.angle_type = kAngleDeg;
  s.decimal_precision = 25;
  s.output_number_base = 16;
  s.use_lower_case_hex = true;
  restart(s);
  EXPECT_EQ(dynamic_cast<QSlider*>(w_of(control(kIdTypeSlider)))->value(), 0);
  EXPECT_EQ(dynamic_cast<QSlider*>(w_of(control(kIdAngleSlider)))->value(), 0);
  EXPECT_EQ(ui_up_down_value(control(kIdPrecision)), 25);
  EXPECT_EQ(ui_number_base(control(kIdBase)), 16);
  EXPECT_EQ(label(32), u"a");
  EXPECT_FALSE(settings_changed());
  ASSERT_TRUE(calculate(u"255"));
  EXPECT_EQ(result(), u"0xff");
  choose_type(kTypeReal);
  EXPECT_EQ(label(32), u"sind");
  ASSERT_TRUE(calculate(u"1/3"));
  EXPECT_EQ(result(), reference(u"1/3", kTypeReal, 25));
  // A stored precision below 1 is taken as 10, and that counts as a change.
  s.decimal_precision = -3;
  restart(s);
  EXPECT_EQ(ui_up_down_value(control(kIdPrecision)), 10);
  EXPECT_TRUE(settings_changed());
}

}  // namespace
