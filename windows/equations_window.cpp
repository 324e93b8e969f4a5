// The "Solve algebraic equations" window: degree, mode, result type, precision and the
// coefficient grid a_n..a_0. "Solve" hands the cell texts to solvers/equation_job, which reads
// and solves them on the window's worker; the window shows the lines or the error afterwards.
#include <algorithm>
#include <memory>
#include <string>

#include "app/app_error.h"
#include "app/messages.h"
#include "solvers/equation_job.h"
#include "ui/controls.h"
#include "ui/grid.h"
#include "windows/app_windows.h"
#include "windows/task_window.h"

namespace {

constexpr int kWidth = 505;
constexpr int kHeight = 390;
constexpr int kInitialDegree = 2;
constexpr int kInitialDigits = 10;
// The combo boxes are wider than their lists' texts need in every language; the label and
// the grid start right of their labels.
constexpr int kGridLeft = 225;
constexpr int kGridTop = 52;
constexpr int kGridHeight = 105;
constexpr int kResultTop = 166;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
// The heading column and a vertical scroll bar beside the coefficient column.
constexpr int kGridChrome = 40 + 22;

constexpr MessageId kMsgTitle = 69;
constexpr MessageId kMsgDegree = 70;
constexpr MessageId kMsgMode = 71;
constexpr MessageId kMsgReal = 72;
constexpr MessageId kMsgComplex = 73;
constexpr MessageId kMsgResultType = 74;
constexpr MessageId kMsgApproximation = 75;
constexpr MessageId kMsgExact = 76;
constexpr MessageId kMsgPrecision = 19;
constexpr MessageId kMsgMultiplicity = 77;
constexpr MessageId kMsgSolve = 79;
constexpr MessageId kMsgStop = 4;
constexpr MessageId kMsgClear = 85;
constexpr MessageId kMsgClose = 2;

class EquationsWindow final : public TaskWindow {
 public:
  static Wnd create() { return open<EquationsWindow>(msg(kMsgTitle), kWidth, kHeight)->wnd(); }

 private:
  enum : int {
    kIdDegree = 10,
    kIdDegreeLabel,
    kIdMode,
    kIdModeLabel,
    kIdResultType,
    kIdResultTypeLabel,
    kIdPrecision,
    kIdPrecisionLabel,
    kIdMultiplicity,
    kIdLabel,
    kIdGrid,
    kIdResult,
    kIdSolve,
    kIdClear,
    kIdClose,
  };

  Wnd degree_ = nullptr, mode_ = nullptr, result_type_ = nullptr, precision_ = nullptr;
  Wnd multiplicity_ = nullptr, label_ = nullptr, grid_ = nullptr, result_ = nullptr;
  Wnd solve_ = nullptr, clear_ = nullptr, close_ = nullptr;
  int degree = 0;  // the grid holds rows a_degree..a_0

  unsigned window_style() const override { return kWindowResizable; }

  void on_create() override {
    using W = EquationsWindow;
    static const ControlRow<W> rows[] = {
        {ControlKind::UpDown, kIdDegree, 10, 10, 40, 20, kNoText, 0, &W::degree_, 1,
         kMaxRootDegree},
        {ControlKind::Label, kIdDegreeLabel, 55, 12, 160, 20, kMsgDegree, 0, nullptr},
        {ControlKind::Combo, kIdMode, 10, 42, 125, 80, kNoText, 0, &W::mode_},
        {ControlKind::Label, kIdModeLabel, 140, 45, 80, 20, kMsgMode, 0, nullptr},
        {ControlKind::Combo, kIdResultType, 10, 76, 125, 80, kNoText, 0, &W::result_type_},
        {ControlKind::Label, kIdResultTypeLabel, 140, 79, 80, 20, kMsgResultType, 0, nullptr},
        {ControlKind::UpDown, kIdPrecision, 10, 110, 53, 20, kNoText, 0, &W::precision_,
         static_cast<int>(kEquationMinDigits), 2000},
        {ControlKind::Label, kIdPrecisionLabel, 68, 112, 150, 20, kMsgPrecision, 0, nullptr},
        {ControlKind::CheckBox, kIdMultiplicity, 10, 140, 200, 20, kMsgMultiplicity, 0,
         &W::multiplicity_},
        {ControlKind::Label, kIdLabel, kGridLeft, 10, kWidth - kGridLeft - 10, 38, kNoText, 0,
         &W::label_},
        {ControlKind::Edit, kIdResult, 10, kResultTop, kWidth - 20, kHeight - 47 - kResultTop,
         kNoText, kEditMultiline | kEditReadOnly, &W::result_},
        {ControlKind::Button, kIdSolve, 10, kHeight - 33, kButtonWidth, kButtonHeight, kMsgSolve,
         kButtonDefault, &W::solve_},
        {ControlKind::Button, kIdClear, 95, kHeight - 33, kButtonWidth, kButtonHeight, kMsgClear, 0,
         &W::clear_},
        {ControlKind::Button, kIdClose, kWidth - 85, kHeight - 33, kButtonWidth, kButtonHeight,
         kMsgClose, 0, &W::close_},
    };
    create_controls(this, rows);
    ui_combo_add(mode_, msg(kMsgReal));
    ui_combo_add(mode_, msg(kMsgComplex));
    ui_combo_select(mode_, 0);
    ui_combo_add(result_type_, msg(kMsgApproximation));
    ui_combo_add(result_type_, msg(kMsgExact));
    ui_combo_select(result_type_, 0);
    ui_set_check(multiplicity_, true);
    // The grid follows the label in the tab order.
    grid_ =
        ui_create_grid(wnd(), kIdGrid, kGridLeft, kGridTop, kWidth - kGridLeft - 10, kGridHeight);
    grid_add_column(grid_, u"");
    grid_add_row(grid_, EquationRowTitle(0));
    ui_up_down_set_value(precision_, kInitialDigits);
    ui_up_down_set_value(degree_, kInitialDegree);
    set_degree(kInitialDegree);  // in case the control started at that value
    layout(kWidth, kHeight);
  }

  // The rows a_n..a_0 from the top: new powers come in at the top, surplus ones leave from
  // there, so the remaining coefficients keep their texts.
  void set_degree(int n) {
    n = std::clamp(n, 1, static_cast<int>(kMaxRootDegree));
    if (n == degree) return;
    ui_set_text(label_, EquationLabelText(n));
    grid_set_accessible_name(grid_, ui_text(label_));
    for (int k = degree + 1; k <= n; ++k) grid_insert_row(grid_, 1, EquationRowTitle(k));
    for (int k = degree; k > n; --k) grid_delete_row(grid_, 1);
    degree = n;
    ui_up_down_set_range(precision_, static_cast<int>(kEquationMinDigits),
                         static_cast<int>(EquationMaxDigits(n)));
  }

  void layout(int width, int height) {
    const int extra = height >= 420 ? std::min(height - 400, 125) : 0;
    const int right = std::max(width - kGridLeft - 10, 100);
    ui_move(label_, kGridLeft, 10, right, 38);
    ui_move(grid_, kGridLeft, kGridTop, right, kGridHeight + extra);
    grid_set_column_width(grid_, 1, std::max(right - kGridChrome, 60));
    const int top = kResultTop + extra;
    ui_move(result_, 10, top, std::max(width - 20, 100), std::max(height - 47 - top, 40));
    ui_move(solve_, 10, height - 33, kButtonWidth, kButtonHeight);
    ui_move(clear_, 95, height - 33, kButtonWidth, kButtonHeight);
    ui_move(close_, std::max(width - 85, 180), height - 33, kButtonWidth, kButtonHeight);
  }

  void on_size(int width, int height) override {
    // The toolkit reports pixels; the layout is in units of 1/96 inch.
    const int dpi = std::max(ui_dpi(), 1);
    layout(width * 96 / dpi, height * 96 / dpi);
  }

  void on_command(int id, int notification) override {
    switch (id) {
      case kIdDegree:
        if (notification == kNotifyEditChange) set_degree(ui_up_down_value(degree_));
        break;
      case kIdGrid:
        if (notification == kNotifyEditChange) grid_take_left_out(grid_);
        break;
      case kIdSolve:
        if (notification != kNotifyClicked || guard_active()) break;
        if (busy()) {
          stop_job();
        } else {
          solve();
        }
        break;
      case kIdClear:
        if (notification != kNotifyClicked || busy() || guard_active()) break;
        for (int row = 1; row <= grid_row_count(grid_); ++row)
          grid_set_cell_text(grid_, row, 1, u"");
        ui_set_text(result_, u"");
        break;
      case kIdClose:
        if (notification == kNotifyClicked) ui_close_window(wnd());
        break;
      default:
        break;
    }
  }

  void solve() {
    ui_set_text(result_, u"");
    auto job = std::make_shared<EquationSolveJob>();
    EquationRequest& r = job->request;
    r.degree = degree;
    r.complex_mode = ui_combo_selection(mode_) == 1;
    r.exact = ui_combo_selection(result_type_) == 1;
    r.digits = ui_up_down_value(precision_);
    r.multiplicity = ui_checked(multiplicity_);
    r.cells.resize(static_cast<std::size_t>(degree) + 1);
    for (int row = 1; row <= degree + 1; ++row) {
      grid_cell_text(grid_, row, 1, &r.cells[static_cast<std::size_t>(row - 1)]);
    }
    clear_app_error();
    job->context = capture_context();
    if (!start_job(job, RunEquationSolveJob, [this](EquationSolveJob& j) { finish(j); })) {
      set_app_error(kAppErrorInternal);
      show_app_error();
      return;
    }
    ui_set_text(solve_, msg(kMsgStop));
    ui_enable(clear_, false);
  }

  // The completion: lines or an error (a stop shows nothing); "Stop" stays until the guard ends.
  void finish(EquationSolveJob& j) {
    // Lines written before a leftover status became an error stay, as that error says.
    ui_set_text(result_, FinishEquationJob(j.equation));
    show_app_error();
  }

  void on_guard_end() override {
    ui_set_text(solve_, msg(kMsgSolve));
    ui_enable(clear_, true);
  }

  bool on_close() override {
    if (g_app.main_window != nullptr && g_app.main_window != wnd() &&
        ui_is_visible(g_app.main_window)) {
      ui_show_window(g_app.main_window);
    }
    return true;  // hidden; a running job is stopped by the base
  }
};

}  // namespace

Wnd create_equations_window() {
  return EquationsWindow::create();
}
