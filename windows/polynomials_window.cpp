// The "Polynomial calculation" window: polynomials P0(x), P1(x), ... as rows of a grid with the
// coefficients a20..a0 as columns, combined by the operator buttons through solvers/polynomial
// on the window thread (a product is bounded by degree 20, a power by the exponent 20).
#include <algorithm>
#include <string>
#include <vector>

#include "app/app_error.h"
#include "app/messages.h"
#include "app/settings.h"
#include "app/text_builder.h"
#include "core/decfloat.h"
#include "formula/formula.h"
#include "solvers/polynomial.h"
#include "solvers/solver_common.h"
#include "ui/composite.h"
#include "ui/controls.h"
#include "ui/grid.h"
#include "windows/app_windows.h"
#include "windows/task_window.h"

namespace {

constexpr int kWidth = 505;
constexpr int kHeight = 420;
constexpr int kMinCount = 2;
constexpr int kMaxCount = 12;
constexpr int kInitialDegree = 2;
constexpr int kCoefficientColumns = kMaxPolyDegree + 1;  // a20 .. a0
constexpr int kColumnWidth = 80;
constexpr int kLabelLength = 300;

constexpr MessageId kMsgClose = 2;
constexpr MessageId kMsgPrecision = 19;
constexpr MessageId kMsgNumberType = 83;
constexpr MessageId kMsgTitle = 93;
constexpr MessageId kMsgCount = 94;
constexpr MessageId kMsgMaxDegree = 95;
constexpr MessageId kMsgEnterPolynomials = 96;
constexpr MessageId kMsgClearRow = 98;
constexpr MessageId kMsgClearAll = 99;
constexpr MessageId kMsgResultTo = 100;
constexpr MessageId kMsgRational = 159;
constexpr MessageId kMsgReal = 160;
constexpr MessageId kMsgComplex = 161;

std::u16string row_name(int i) {
  return join_text({u"P", decimal_text(i), u"(x)"});
}

std::u16string format_one(MessageId id, std::u16string_view arg) {
  char16_t text[kLabelLength + 1];
  const std::int64_t n = format_bounded(text, kLabelLength + 1, msg(id), arg);
  return std::u16string(text, static_cast<std::size_t>(n));
}

class PolynomialsWindow final : public TaskWindow {
 public:
  static Wnd create() { return open<PolynomialsWindow>(msg(kMsgTitle), kWidth, kHeight)->wnd(); }

 private:
  enum : int {
    kIdCount = 10,
    kIdCountLabel,
    kIdDegree,
    kIdDegreeLabel,
    kIdType,
    kIdTypeLabel,
    kIdPrecision,
    kIdPrecisionLabel,
    kIdLabel,
    kIdGrid,
    kIdAdd,
    kIdSubtract,
    kIdMultiply,
    kIdDivide,
    kIdPower,
    kIdToP0,
    kIdToP1,
    kIdClearP0,
    kIdClearP1,
    kIdClearAll,
    kIdClose,
    kIdResult,
  };

  Wnd count_ = nullptr, degree_ = nullptr, type_ = nullptr, precision_ = nullptr;
  Wnd label_ = nullptr, grid_ = nullptr, result_ = nullptr;
  Wnd divide_ = nullptr, power_ = nullptr, to_p0_ = nullptr, to_p1_ = nullptr;
  int count = 0;   // rows P0 .. P(count-1)
  int degree = 0;  // columns a_degree .. a0 shown
  PolynomialResult last_;

  void on_create() override {
    using W = PolynomialsWindow;
    static const ControlRow<W> rows[] = {
        {ControlKind::UpDown, kIdCount, 10, 10, 45, 22, kNoText, 0, &W::count_, kMinCount,
         kMaxCount},
        {ControlKind::Label, kIdCountLabel, 60, 13, 165, 20, kMsgCount, 0, nullptr},
        {ControlKind::UpDown, kIdDegree, 235, 10, 45, 22, kNoText, 0, &W::degree_, 1,
         kMaxPolyDegree},
        {ControlKind::Label, kIdDegreeLabel, 285, 13, 150, 20, kMsgMaxDegree, 0, nullptr},
        {ControlKind::Label, kIdTypeLabel, 120, 43, 105, 20, kMsgNumberType, 0, nullptr},
        {ControlKind::UpDown, kIdPrecision, 235, 40, 55, 22, kNoText, 0, &W::precision_, 5, 1000},
        {ControlKind::Label, kIdPrecisionLabel, 295, 43, 150, 20, kMsgPrecision, 0, nullptr},
        {ControlKind::Label, kIdLabel, 10, 72, kWidth - 20, 34, kNoText, 0, &W::label_},
    };
    create_controls(this, rows);
    type_ = ui_create_number_type(wnd(), kIdType, 10, 40, 105, 120,
                                  kTypeMaskRational | kTypeMaskReal | kTypeMaskComplex,
                                  {msg(kMsgRational), msg(kMsgReal), msg(kMsgComplex)},
                                  &PolynomialsWindow::type_chosen, this);
    ui_number_type_set(type_, kTypeReal);
    grid_ = ui_create_grid(wnd(), kIdGrid, 10, 108, kWidth - 20, 130);
    for (int k = kMaxPolyDegree; k >= 0; --k) {
      const int column = grid_add_column(grid_, join_text({u"a", decimal_text(k)}));
      grid_set_column_width(grid_, column, kColumnWidth);
    }
    grid_show_column(grid_, grid_add_column(grid_, u""), false);

    static const ControlRow<W> buttons[] = {
        {ControlKind::Button, kIdAdd, 10, 246, 36, 26, kNoText, 0, nullptr},
        {ControlKind::Button, kIdSubtract, 50, 246, 36, 26, kNoText, 0, nullptr},
        {ControlKind::Button, kIdMultiply, 90, 246, 36, 26, kNoText, 0, nullptr},
        {ControlKind::Button, kIdDivide, 10, 276, 36, 26, kNoText, 0, &W::divide_},
        {ControlKind::Button, kIdPower, 50, 276, 36, 26, kNoText, 0, &W::power_},
        {ControlKind::Button, kIdToP0, 140, 246, 115, 26, kNoText, kStyleDisabled, &W::to_p0_},
        {ControlKind::Button, kIdToP1, 140, 276, 115, 26, kNoText, kStyleDisabled, &W::to_p1_},
        {ControlKind::Button, kIdClearP0, 260, 246, 110, 26, kNoText, 0, nullptr},
        {ControlKind::Button, kIdClearP1, 260, 276, 110, 26, kNoText, 0, nullptr},
        {ControlKind::Button, kIdClearAll, 375, 246, 120, 26, kMsgClearAll, 0, nullptr},
        {ControlKind::Button, kIdClose, 375, 276, 120, 26, kMsgClose, 0, nullptr},
        {ControlKind::Edit, kIdResult, 10, 310, kWidth - 20, kHeight - 320, kNoText,
         kEditMultiline | kEditReadOnly, &W::result_},
    };
    create_controls(this, buttons);
    const std::u16string_view operators[] = {u"+", u"\u2013", u"*", u"/", u"^"};
    UiFont verdana{u"Verdana", ui_font().height + 2, true, UiFontFallback::SansSerif};
    for (int i = 0; i < 5; ++i) {
      Wnd b = ui_control(wnd(), kIdAdd + i);
      ui_set_text(b, operators[i]);
      ui_set_font(b, verdana);
    }
    ui_set_text(to_p0_, format_one(kMsgResultTo, u"P0"));
    ui_set_text(to_p1_, format_one(kMsgResultTo, u"P1"));
    ui_set_text(ui_control(wnd(), kIdClearP0), format_one(kMsgClearRow, u"P0"));
    ui_set_text(ui_control(wnd(), kIdClearP1), format_one(kMsgClearRow, u"P1"));

    ui_up_down_set_value(precision_, 10);
    ui_up_down_set_value(count_, kMinCount);
    ui_up_down_set_value(degree_, kInitialDegree);
    set_count(kMinCount);
    set_degree(kInitialDegree);
  }

  static void type_chosen(Wnd, int type_code, void* owner) {
    auto* self = static_cast<PolynomialsWindow*>(owner);
    ui_enable(self->precision_, type_code == kTypeReal || type_code == kTypeComplex);
  }

  // Rows come and go at the end, so P0 and P1 keep their cells.
  void set_count(int n) {
    n = std::clamp(n, kMinCount, kMaxCount);
    for (int i = count; i < n; ++i) grid_add_row(grid_, row_name(i));
    for (int i = count; i > n; --i) grid_delete_row(grid_, i);
    count = n;
    ui_enable(divide_, n == 2);
    ui_enable(power_, n == 2);
  }

  // Hidden columns keep their texts; only a_D .. a0 are shown and read.
  void set_degree(int d) {
    d = std::clamp(d, 1, kMaxPolyDegree);
    for (int k = 0; k <= kMaxPolyDegree; ++k) grid_show_column(grid_, column_of(k), k <= d);
    degree = d;
    ui_set_text(label_, format_one(kMsgEnterPolynomials, PolynomialText(d, u'a')));
    grid_set_accessible_name(grid_, ui_text(label_));
  }

  static int column_of(int k) { return kCoefficientColumns - k; }

  void on_command(int id, int notification) override {
    if (id == kIdCount || id == kIdDegree) {
      if (notification != kNotifyEditChange) return;
      if (id == kIdCount) set_count(ui_up_down_value(count_));
      if (id == kIdDegree) set_degree(ui_up_down_value(degree_));
      return;
    }
    if (id == kIdGrid) {
      if (notification == kNotifyEditChange) grid_take_left_out(grid_);
      return;
    }
    if (notification != kNotifyClicked) return;
    switch (id) {
      case kIdAdd:
        return calculate(u'+');
      case kIdSubtract:
        return calculate(u'-');
      case kIdMultiply:
        return calculate(u'*');
      case kIdDivide:
        return calculate(u'/');
      case kIdPower:
        return calculate(u'^');
      case kIdToP0:
      case kIdToP1:
        return result_to_row(id == kIdToP0 ? 1 : 2);
      case kIdClearP0:
      case kIdClearP1:
        return clear_row(id == kIdClearP0 ? 1 : 2);
      case kIdClearAll:
        for (int r = 1; r <= count; ++r) clear_row(r);
        return;
      case kIdClose:
        return ui_close_window(wnd());
      default:
        return;
    }
  }

  void calculate(char16_t op) {
    PolynomialRequest request;
    request.op = op;
    request.type = static_cast<std::uint32_t>(ui_number_type(type_));
    request.digits = ui_up_down_value(precision_);
    request.grouping = g_settings.thousands_sep_equations;
    request.rows.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
      std::vector<std::u16string>& texts = request.rows[static_cast<std::size_t>(i)];
      texts.resize(static_cast<std::size_t>(degree) + 1);
      for (int k = degree; k >= 0; --k) {
        grid_cell_text(grid_, i + 1, column_of(k), &texts[static_cast<std::size_t>(degree - k)]);
      }
    }
    ui_set_text(result_, u"");
    ui_enable(to_p0_, false);
    ui_enable(to_p1_, false);
    // The formula engine's record of this thread joins the error report, so that a failed
    // coefficient shows the engine's own message too.
    attach_formula_error(&g_formula_error);
    {
      // The operation sets its own type and precision; the window thread's stay as they were.
      ContextScope caller(ContextScope::kSizes | ContextScope::kType | ContextScope::kNotation);
      RunPolynomialOperation(request, last_);
    }
    ui_set_text(result_, last_.text);
    ui_enable(to_p0_, last_.results_enabled);
    ui_enable(to_p1_, last_.results_enabled);
    show_app_error();
    attach_formula_error(nullptr);
  }

  void result_to_row(int row) {
    if (row > count) return;
    int d = degree;
    const std::vector<std::u16string> cells = ResultToRow(last_, d);
    for (int c = 1; c <= kCoefficientColumns; ++c) {
      grid_set_cell_text(grid_, row, c, cells[static_cast<std::size_t>(c - 1)]);
    }
    if (d != degree) ui_up_down_set_value(degree_, d);  // shows the columns and the label
  }

  void clear_row(int row) {
    for (int c = 1; c <= kCoefficientColumns; ++c) grid_set_cell_text(grid_, row, c, u"");
  }
};

}  // namespace

Wnd create_polynomials_window() {
  return PolynomialsWindow::create();
}
