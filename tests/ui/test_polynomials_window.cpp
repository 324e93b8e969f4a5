// The "Polynomial calculation" window of the program: its operators against solvers/polynomial
// called directly, rows and hidden columns, "/" and "^" enabling, the result moved into P0 or P1.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "app/app_error.h"
#include "app/messages.h"
#include "app/platform.h"
#include "app/settings.h"
#include "core/decfloat.h"
#include "integer/number.h"
#include "solvers/polynomial.h"
#include "ui/composite.h"
#include "ui/controls.h"
#include "ui/grid.h"
#include "ui_test_util.h"
#include "windows/app_windows.h"

namespace {

const TestConfigFolder g_environment("numerion_polynomials");
const std::filesystem::path& g_config = g_environment.path();

std::vector<std::u16string> g_boxes;
void record_box(const char16_t*, const char16_t* text, int) {
  g_boxes.emplace_back(text);
}

std::u16string lf(std::u16string s) {
  for (std::size_t p; (p = s.find(u"\r\n")) != std::u16string::npos;) s.erase(p, 1);
  return s;
}

// tests/data/polynomials_window.txt, made by gen_polynomials_window.py: the coefficients from
// the highest down.
std::map<std::string, std::vector<std::u16string>> reference() {
  std::map<std::string, std::vector<std::u16string>> values;
  std::ifstream in(std::string(NUMERION_TEST_DATA) + "/polynomials_window.txt");
  std::string name, list;
  while (in >> name >> list) {
    if (name[0] == '#') {
      std::getline(in, list);
      continue;
    }
    std::vector<std::u16string>& v = values[name];
    std::u16string item;
    for (char ch : list + ",") {
      if (ch == ',') {
        v.push_back(item);
        item.clear();
      } else {
        item += static_cast<char16_t>(ch);
      }
    }
  }
  return values;
}

enum : int {
  kCount = 10,
  kDegree = 12,
  kType = 14,
  kPrecision = 16,
  kLabel = 18,
  kGrid = 19,
  kAdd = 20,
  kSubtract,
  kMultiply,
  kDivide,
  kPower,
  kToP0,
  kToP1,
  kClearP0,
  kClearP1,
  kClearAll,
  kClose,
  kResult,
};

struct PolynomialsWindow : ::testing::Test {
  Wnd window = nullptr;
  std::map<std::string, std::vector<std::u16string>> ref = reference();

  explicit PolynomialsWindow(int language = kLanguageEnglish) {
    ensure_app();
    std::filesystem::remove(settings_path());
    Settings s;
    s.language = language;
    s.show_welcome_hint = false;
    write_settings_file(settings_path(), s);
    g_settings = Settings{};
    clear_app_error();
    prepare_application();
    create_windows();
    platform_set_message_hook(record_box);
    g_boxes.clear();
    ui_show_window(g_app.main_window);
    window = g_app.polynomials;
    EXPECT_TRUE(ui_choose_menu_item(g_app.main_window, kMenuPolynomials));
  }
  ~PolynomialsWindow() override { destroy_windows(); }

  Wnd c(int id) const { return ui_control(window, id); }
  // Row i (P_i), cells from a_D down to a0.
  void set_row(int i, std::vector<std::u16string> cells) {
    const int d = ui_up_down_value(c(kDegree));
    for (int k = d; k >= 0; --k) {
      const std::size_t at = static_cast<std::size_t>(d - k);
      grid_set_cell_text(c(kGrid), i + 1, 21 - k, at < cells.size() ? cells[at] : u"");
    }
  }
  std::u16string cell(int i, int k) const {
    std::u16string t;
    grid_cell_text(c(kGrid), i + 1, 21 - k, &t);
    return t;
  }
  std::vector<std::u16string> row(int i) const {
    std::vector<std::u16string> cells;
    const int d = ui_up_down_value(c(kDegree));
    for (int k = d; k >= 0; --k) cells.push_back(cell(i, k));
    return cells;
  }
  std::u16string press(int button) {
    ui_click(c(button));
    return lf(ui_text(c(kResult)));
  }
  // The coefficient lines "bj = …" of a result.
  static std::u16string lines(const std::vector<std::u16string>& coefficients) {
    std::u16string out;
    int j = static_cast<int>(coefficients.size()) - 1;
    for (const std::u16string& v : coefficients) {
      out += QStringLiteral("b%1 = ").arg(j--).toStdU16String();
      out.append(v).append(u"\n");
    }
    return out;
  }
};

struct GermanPolynomialsWindow : PolynomialsWindow {
  GermanPolynomialsWindow() : PolynomialsWindow(kLanguageGerman) {}
};

TEST_F(PolynomialsWindow, EveryOperatorInEveryTypeMatchesTheSolver) {
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(ui_is_visible(window));
  EXPECT_EQ(ui_title(window), u"Polynomial calculation");
  EXPECT_EQ(ui_text(c(kLabel)),
            u"Enter the coefficients of the polynomials Pi(x) = a2*x^2 + a1*x + a0 into the data "
            u"grid. Empty text cells are read as 0.");
  EXPECT_EQ(ui_number_type(c(kType)), static_cast<int>(kTypeReal));
  struct Operands {
    std::uint32_t type;
    std::vector<std::u16string> p0, p1;
  };
  const Operands operands[] = {
      {kTypeRational, {u"1/2", u"-3", u"2/7"}, {u"", u"3", u"-1/5"}},
      {kTypeReal, {u"2.5", u"-3", u"sqrt(2)"}, {u"", u"1.5", u"-2"}},
      {kTypeComplex, {u"i", u"-3", u"1+2i"}, {u"", u"2-i", u"1/3"}},
  };
  const std::pair<int, char16_t> ops[] = {
      {kAdd, u'+'}, {kSubtract, u'-'}, {kMultiply, u'*'}, {kDivide, u'/'}, {kPower, u'^'}};
  ui_up_down_set_value(c(kPrecision), 12);
  for (const Operands& o : operands) {
    ui_number_type_set(c(kType), static_cast<int>(o.type));
    set_row(0, o.p0);
    for (const auto& [button, op] : ops) {
      // The power takes its exponent from a constant P1.
      const std::vector<std::u16string> p1 =
          op == u'^' ? std::vector<std::u16string>{u"", u"", u"3"} : o.p1;
      set_row(1, p1);
      PolynomialRequest direct;
      direct.op = op;
      direct.type = o.type;
      direct.digits = 12;
      direct.rows = {o.p0, p1};
      PolynomialResult expected;
      {
        ContextScope keep(ContextScope::kSizes | ContextScope::kType | ContextScope::kNotation);
        ASSERT_TRUE(RunPolynomialOperation(direct, expected)) << static_cast<char>(op);
      }
      EXPECT_EQ(press(button), lf(expected.text)) << static_cast<char>(op) << " type " << o.type;
      EXPECT_TRUE(ui_is_enabled(c(kToP0)));
      EXPECT_TRUE(ui_is_enabled(c(kToP1)));
    }
  }
  EXPECT_TRUE(g_boxes.empty());
}

TEST_F(PolynomialsWindow, ExamplesAgainstExactReferences) {
  ui_number_type_set(c(kType), static_cast<int>(kTypeRational));
  set_row(0, {u"1", u"0", u"-1"});
  set_row(1, {u"0", u"1", u"-1"});
  EXPECT_EQ(press(kDivide), u"P0(x) / P1(x) = b1*x + b0    Remainder    r0\n\n" +
                                lines(ref["quotient"]) + u"\nr0 = 0\n");
  set_row(0, {u"", u"1", u"1"});
  set_row(1, {u"", u"", u"3"});
  EXPECT_EQ(press(kPower), u"P0(x) ^ 3 = b3*x^3 + b2*x^2 + b1*x + b0\n\n" + lines(ref["cube"]));
  set_row(0, {u"1/2", u"0", u"1/3"});
  set_row(1, {u"", u"1", u"-2/3"});
  EXPECT_EQ(press(kMultiply),
            u"P0(x) * P1(x) = b3*x^3 + b2*x^2 + b1*x + b0\n\n" + lines(ref["rational_product"]));
}

TEST_F(PolynomialsWindow, RowsColumnsAndTheBinaryOperators) {
  set_row(0, {u"5", u"6", u"7"});
  set_row(1, {u"8", u"9", u"10"});
  ui_up_down_set_value(c(kDegree), 1);
  EXPECT_EQ(row(0), (std::vector<std::u16string>{u"6", u"7"}));
  EXPECT_EQ(ui_text(c(kLabel)).find(u"Pi(x) = a1*x + a0 into"), 42u);
  // A hidden column is not read: P0 + P1 = 15x + 17.
  EXPECT_EQ(press(kAdd), u"P0(x) + P1(x) = b1*x + b0\n\n" + lines({u"15", u"17"}));
  ui_up_down_set_value(c(kDegree), 2);
  EXPECT_EQ(cell(0, 2), u"5");
  EXPECT_EQ(cell(1, 2), u"8");

  ui_up_down_set_value(c(kCount), 3);
  EXPECT_EQ(grid_row_count(c(kGrid)), 3);
  std::u16string title;
  grid_row_title(c(kGrid), 3, &title);
  EXPECT_EQ(title, u"P2(x)");
  EXPECT_FALSE(ui_is_enabled(c(kDivide)));
  EXPECT_FALSE(ui_is_enabled(c(kPower)));
  EXPECT_TRUE(ui_is_enabled(c(kMultiply)));
  set_row(2, {u"1", u"1", u"1"});
  EXPECT_EQ(press(kSubtract),
            u"P0(x) - P1(x) - P2(x) = b2*x^2 + b1*x + b0\n\n" + lines({u"-4", u"-4", u"-4"}));
  ui_up_down_set_value(c(kCount), 12);
  EXPECT_EQ(grid_row_count(c(kGrid)), 12);
  ui_up_down_set_value(c(kCount), 2);
  EXPECT_EQ(grid_row_count(c(kGrid)), 2);
  EXPECT_TRUE(ui_is_enabled(c(kDivide)));
  EXPECT_TRUE(ui_is_enabled(c(kPower)));
  EXPECT_EQ(row(1), (std::vector<std::u16string>{u"8", u"9", u"10"}));

  // The Clear buttons.
  ui_click(c(kClearP1));
  EXPECT_EQ(row(1), (std::vector<std::u16string>{u"", u"", u""}));
  EXPECT_EQ(row(0), (std::vector<std::u16string>{u"5", u"6", u"7"}));
  ui_click(c(kClearAll));
  EXPECT_EQ(row(0), (std::vector<std::u16string>{u"", u"", u""}));
}

TEST_F(PolynomialsWindow, TheResultGoesBackIntoP0AndP1) {
  ui_number_type_set(c(kType), static_cast<int>(kTypeRational));
  set_row(0, {u"1", u"2", u"1"});
  set_row(1, {u"1", u"-2", u"1"});
  press(kMultiply);
  ui_click(c(kToP1));  // degree 4 with D = 2 raises D
  EXPECT_EQ(ui_up_down_value(c(kDegree)), 4);
  EXPECT_EQ(row(1), ref["product4"]);
  ui_click(c(kToP0));
  EXPECT_EQ(row(0), ref["product4"]);
  set_row(1, {u"", u"", u"", u"", u"2"});
  EXPECT_EQ(press(kPower),
            u"P0(x) ^ 2 = b8*x^8 + b7*x^7 + ... + b1*x + b0\n\n" + lines(ref["product4_squared"]));
  ui_click(c(kToP0));
  EXPECT_EQ(ui_up_down_value(c(kDegree)), 8);
  EXPECT_EQ(row(0), ref["product4_squared"]);
}

TEST_F(PolynomialsWindow, ErrorsShowABoxAndKeepTheResultButtonsOff) {
  set_row(0, {u"1", u"1", u"1"});
  set_row(1, {u"", u"1", u""});
  press(kPower);
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(g_boxes.back(), u"The polynomial \"P1(x)\" must be an integer number from 0 to 20!");
  EXPECT_FALSE(ui_is_enabled(c(kToP0)));
  set_row(1, {u"", u"", u"21"});
  press(kPower);
  EXPECT_EQ(g_boxes.back(), u"The polynomial \"P1(x)\" must be an integer number from 0 to 20!");
  set_row(1, {u"0", u"0", u"0"});
  EXPECT_EQ(press(kDivide), u"");
  EXPECT_EQ(g_boxes.back(), u"Division by 0!");
  set_row(1, {u"2*(", u"0", u"0"});
  press(kAdd);
  EXPECT_EQ(g_boxes.back(), u"Error evaluating coefficient \"a2\" in polynomial \"P1(x)\". " +
                                std::u16string(msg(146)));
  set_row(0, {std::u16string(1 << 20, u'1'), u"", u""});
  press(kAdd);
  EXPECT_EQ(g_boxes.back(), u"The coefficient \"a2\" in polynomial \"P0(x)\" is too long!");
  ui_up_down_set_value(c(kDegree), 11);
  set_row(0, {u"1"});
  set_row(1, {u"1"});
  press(kMultiply);
  EXPECT_EQ(g_boxes.back(), u"The maximum polynomial degree of the result may not exceed 20!");
  EXPECT_FALSE(ui_is_enabled(c(kToP1)));
  EXPECT_EQ(g_boxes.size(), 6u);
}

TEST_F(GermanPolynomialsWindow, TheDivisionHeaderAndButtonsSpeakGerman) {
  EXPECT_EQ(ui_title(window), u"Polynomrechnung");
  EXPECT_EQ(ui_text(c(kClearP0)), u"P0 leeren");
  EXPECT_EQ(ui_text(c(kToP1)), u"Erg. \u2192 P1");
  set_row(0, {u"1", u"0", u"-1"});
  set_row(1, {u"0", u"1", u"1"});
  EXPECT_EQ(press(kDivide).substr(0, 44), u"P0(x) / P1(x) = b1*x + b0    Rest    r0\n\nb1 ");
}

}  // namespace
