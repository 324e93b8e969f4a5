// The "Systems of linear equations" window: the equation count, number type and precision, the
// grid of coefficients, the result field and the buttons. Solving, loading and saving are the
// page's (solvers/linear_page.h); the window copies texts between its controls and the page's
// LinearGrid, which also keeps the rows that a smaller count takes off the grid.
#include <filesystem>
#include <string>

#include "app/app_error.h"
#include "app/messages.h"
#include "app/platform.h"
#include "app/settings.h"
#include "app/text_builder.h"
#include "app/utf8.h"
#include "core/decfloat.h"
#include "solvers/linear_page.h"
#include "solvers/solver_common.h"
#include "ui/composite.h"
#include "ui/controls.h"
#include "ui/grid.h"
#include "windows/app_windows.h"
#include "windows/task_window.h"

namespace {

constexpr int kWidth = 505;
constexpr int kHeight = 420;
constexpr int kColumnWidth = 80;
constexpr int kFileNameChars = 260;

class LinearWindow final : public TaskWindow {
 public:
  static Wnd create() { return open<LinearWindow>(msg(81), kWidth, kHeight)->wnd(); }

 private:
  enum : int {
    kIdCountLabel = 10,
    kIdCount,
    kIdTypeLabel,
    kIdType,
    kIdPrecisionLabel,
    kIdPrecision,
    kIdHint,
    kIdGrid,
    kIdResult,
    kIdSolve,
    kIdClear,
    kIdLoad,
    kIdSave,
    kIdClose,
  };

  Wnd count_ = nullptr, type_ = nullptr, precision_label_ = nullptr, precision_ = nullptr;
  Wnd grid_ = nullptr, result_ = nullptr;
  LinearGrid model_;
  bool syncing_ = false;  // the page itself changes the count control
  // The dialogs' state between uses.
  int open_filter_ = 1;
  int save_filter_ = 1;
  std::u16string save_name_;

  // The columns and buttons leave room for the longer German texts ("Anzahl der Gleichungen",
  // "Speichern unter").
  void on_create() override {
    static const ControlRow<LinearWindow> rows[] = {
        {ControlKind::Label, kIdCountLabel, 10, 10, 150, 20, 82, 0, nullptr},
        {ControlKind::UpDown, kIdCount, 10, 30, 45, 22, kNoText, 0, &LinearWindow::count_,
         static_cast<int>(kMinEquations), static_cast<int>(kMaxEquations)},
        {ControlKind::Label, kIdTypeLabel, 170, 10, 90, 20, 83, 0, nullptr},
        {ControlKind::Label, kIdPrecisionLabel, 270, 10, 100, 20, 19, 0,
         &LinearWindow::precision_label_},
        {ControlKind::UpDown, kIdPrecision, 270, 30, 60, 22, kNoText, 0, &LinearWindow::precision_,
         5, 1000},
        {ControlKind::Label, kIdHint, 10, 62, kWidth - 20, 40, 84, 0, nullptr},
        {ControlKind::Edit, kIdResult, 10, 290, kWidth - 20, 88, kNoText,
         kEditMultiline | kEditReadOnly, &LinearWindow::result_},
        {ControlKind::Button, kIdSolve, 10, 388, 85, 24, 79, kButtonDefault, nullptr},
        {ControlKind::Button, kIdClear, 100, 388, 85, 24, 85, 0, nullptr},
        {ControlKind::Button, kIdLoad, 190, 388, 85, 24, 86, 0, nullptr},
        {ControlKind::Button, kIdSave, 280, 388, 110, 24, 87, 0, nullptr},
        {ControlKind::Button, kIdClose, kWidth - 95, 388, 85, 24, 2, 0, nullptr},
    };
    create_controls(this, rows);
    // Created after the up-downs so that Tab runs through the controls from the top left.
    type_ = ui_create_number_type(wnd(), kIdType, 170, 30, 90, 22,
                                  kTypeMaskRational | kTypeMaskReal | kTypeMaskComplex,
                                  {msg(159), msg(160), msg(161)}, &LinearWindow::type_chosen, this);
    grid_ = ui_create_grid(wnd(), kIdGrid, 10, 104, kWidth - 20, 180);
    for (int c = 0; c < kLinearGridColumns; ++c) {
      const int column = grid_add_column(
          grid_, c == kLinearGridColumns - 1 ? std::u16string() : LinearColumnName(c));
      grid_set_column_width(grid_, column, kColumnWidth);
    }
    grid_show_column(grid_, kLinearGridColumns, false);  // never shown
    grid_set_accessible_name(grid_, msg(84));
    ui_up_down_set_value(precision_, 10);
    ui_number_type_set(type_, kTypeReal);
    syncing_ = true;
    ui_up_down_set_value(count_, static_cast<int>(kMinEquations));
    syncing_ = false;
    show_rows();
  }

  void on_command(int id, int notification) override {
    switch (id) {
      case kIdCount:
        if (notification == kNotifyEditChange && !syncing_) set_count(ui_up_down_value(count_));
        break;
      case kIdGrid:
        if (notification == kNotifyEditChange) report_left_out();
        break;
      case kIdSolve:
        solve();
        break;
      case kIdClear:
        clear();
        break;
      case kIdLoad:
        load();
        break;
      case kIdSave:
        save();
        break;
      case kIdClose:
        ui_close_window(wnd());
        break;
      default:
        break;
    }
  }

  static void type_chosen(Wnd /*control*/, int type_code, void* owner) {
    auto* self = static_cast<LinearWindow*>(owner);
    const bool digits = type_code == kTypeReal || type_code == kTypeComplex;
    ui_enable(self->precision_label_, digits);
    ui_enable(self->precision_, digits);
  }

  // --- grid and page model ---------------------------------------------------------------------

  // The cells of the grid's rows into the model; rows the grid does not show keep theirs.
  void read_grid() {
    const int rows = grid_row_count(grid_);
    std::u16string text;
    for (int r = 0; r < rows && r < kMaxEquations; ++r) {
      for (int c = 0; c < kLinearGridColumns; ++c) {
        grid_cell_text(grid_, r + 1, c + 1, &text);
        model_.cells[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = text;
      }
    }
  }

  void write_row(int r) {
    for (int c = 0; c < kLinearGridColumns; ++c) {
      grid_set_cell_text(grid_, r + 1, c + 1,
                         model_.cells[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
    }
  }

  // Rows and visible columns after the model's count; rows coming back show the model's texts.
  void show_rows() {
    const int n = static_cast<int>(model_.count);
    while (grid_row_count(grid_) > n) grid_delete_row(grid_, grid_row_count(grid_));
    while (grid_row_count(grid_) < n) {
      const int row = grid_add_row(grid_, ascii16(std::to_string(grid_row_count(grid_) + 1)));
      write_row(row - 1);
    }
    for (int c = 0; c < kLinearColumnB; ++c) grid_show_column(grid_, c + 1, c < n);
    grid_redraw(grid_);
  }

  void write_grid() {
    show_rows();
    for (int r = 0; r < model_.count; ++r) write_row(r);
    syncing_ = true;
    ui_up_down_set_value(count_, static_cast<int>(model_.count));
    syncing_ = false;
    grid_redraw(grid_);
  }

  void set_count(int n) {
    read_grid();
    SetEquationCount(model_, n);
    show_rows();
  }

  void report_left_out() {
    const int left_out = grid_take_left_out(grid_);
    if (left_out <= 0) return;
    char16_t text[200];
    format_bounded(text, 200, msg(198), static_cast<std::int32_t>(left_out));
    platform_show_message(msg(67), text, kMessageIconInformation);
  }

  // --- buttons ---------------------------------------------------------------------------------

  void solve() {
    read_grid();
    ui_set_text(result_, u"");
    LinearRequest request;
    request.type = static_cast<std::uint32_t>(ui_number_type(type_));
    request.digits = ui_up_down_value(precision_);
    request.grouping = g_settings.thousands_sep_equations;
    request.grid = &model_;
    std::u16string text;
    {
      UiWaitCursor wait;
      // The window thread's own number settings are the same afterwards.
      ContextScope scope(ContextScope::kScratch | ContextScope::kSizes | ContextScope::kType);
      RunLinearSolve(request, text);
    }
    ui_edit_append(result_, text);
    show_app_error();
  }

  void clear() {
    read_grid();
    ClearLinearGrid(model_);
    write_grid();
    ui_set_text(result_, u"");
  }

  UiFileDialog file_dialog(MessageId title, int filter) const {
    UiFileDialog d;
    d.title = msg(title);
    d.filters = {std::u16string(msg(91)) + u" (*.csv)", std::u16string(msg(92)) + u" (*)"};
    d.filter_index = filter;
    return d;
  }

  static std::filesystem::path file_path(const std::u16string& name) {
    return std::filesystem::path(utf16_to_utf8(name));
  }

  void load() {
    clear_app_error();
    UiFileDialog d = file_dialog(86, open_filter_);
    const std::u16string name = ui_open_file_dialog(wnd(), d);
    if (name.empty()) {
      show_app_error();
      return;
    }
    open_filter_ = d.filter_index;
    read_grid();
    // A file that cannot be read, or has a wrong header, leaves the grid and result as they are.
    if (LoadCsv(file_path(name), model_)) {
      write_grid();
      ui_set_text(result_, u"");
    }
    show_app_error();
  }

  void save() {
    clear_app_error();
    UiFileDialog d = file_dialog(87, save_filter_);
    d.name = save_name_;
    d.default_suffix = u"csv";
    std::u16string name = ui_save_file_dialog(wnd(), d);
    if (name.empty()) return;
    save_filter_ = d.filter_index;
    name = CsvSaveName(std::move(name));
    save_name_ = name.substr(0, kFileNameChars);
    read_grid();
    SaveCsv(file_path(name), model_);
    show_app_error();
  }
};

}  // namespace

Wnd create_linear_systems_window() {
  return LinearWindow::create();
}
