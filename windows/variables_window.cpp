// The "Calculator variables" dialog: the user's named values, edited here and stored in the
// settings when the program ends. Entry edits are committed when their field loses the focus,
// before another entry is selected and before any button acts.
#include <algorithm>

#include "app/app_error.h"
#include "app/messages.h"
#include "app/settings.h"
#include "calc/calculator.h"
#include "calc/variables.h"
#include "core/text.h"
#include "ui/controls.h"
#include "ui/formula_edit.h"
#include "windows/app_windows.h"
#include "windows/calculator_window.h"
#include "windows/task_window.h"

namespace {

std::vector<UserVariable> g_variables;
bool g_loaded = false;
bool g_changed = false;

void ensure_loaded() {
  if (g_loaded) return;
  g_loaded = true;
  std::vector<StoredVariable> stored;
  for (const SettingsVariable& v : g_settings.variables) stored.push_back({v.name, v.value});
  g_variables = load_user_variables(stored);
  set_settings_save_hook(store_user_variables);
}

// The value as the user sees it: "." shown as the current decimal separator.
std::u16string shown_value(const std::u16string& stored) {
  std::u16string s = stored;
  std::replace(s.begin(), s.end(), u'.', g_number_settings.decimal_sep[0]);
  return s;
}

// Wider than the calculator's own 370 units, so that the German button texts fit.
constexpr int kWidth = 580;
constexpr int kHeight = 230;

class VariablesWindow final : public TaskWindow {
 public:
  static VariablesWindow* make() { return open<VariablesWindow>(msg(162), kWidth, kHeight); }

  void select(int index) {
    commit();
    selected_ = index;
    ui_list_select(list_, index);
    loading_ = true;
    if (index >= 0 && index < static_cast<int>(g_variables.size())) {
      ui_set_text(name_, g_variables[index].name);
      ui_set_text(value_, shown_value(g_variables[index].value));
    } else {
      ui_set_text(name_, u"");
      ui_set_text(value_, u"");
    }
    loading_ = false;
    name_dirty_ = value_dirty_ = false;
    const bool any = selected_ >= 0;
    for (Wnd b : {take_, delete_, assign_, insert_}) ui_enable(b, any);
  }

 private:
  enum : int { kIdList = 10, kIdName, kIdValue, kIdAssign, kIdTake, kIdAdd, kIdInsert, kIdDelete };
  Wnd list_ = nullptr, name_ = nullptr, value_ = nullptr, assign_ = nullptr, take_ = nullptr,
      add_ = nullptr, insert_ = nullptr, delete_ = nullptr;
  Wnd list_label_ = nullptr, name_label_ = nullptr, value_label_ = nullptr;
  int selected_ = -1;
  bool loading_ = false;
  bool name_dirty_ = false;
  bool value_dirty_ = false;

  unsigned window_style() const override { return kWindowResizable; }
  unsigned window_flags() const override { return kWindowClientSize; }

  void on_create() override {
    ensure_loaded();
    static const ControlRow<VariablesWindow> rows[] = {
        {ControlKind::Label, 1, 6, 4, 120, 16, 163, 0, &VariablesWindow::list_label_},
        {ControlKind::Label, 2, 138, 4, 120, 16, 164, 0, &VariablesWindow::name_label_},
        {ControlKind::Edit, kIdName, 138, 20, 160, 24, kNoText, 0, &VariablesWindow::name_},
        {ControlKind::Label, 3, 138, 48, 120, 16, 166, 0, &VariablesWindow::value_label_},
        {ControlKind::Edit, kIdValue, 138, 64, 436, 96, kNoText, kEditMultiline | kEditWantReturn,
         &VariablesWindow::value_},
        {ControlKind::Button, kIdAssign, 138, 168, 144, 26, 171, 0, &VariablesWindow::assign_},
        {ControlKind::Button, kIdTake, 138, 198, 144, 26, 167, 0, &VariablesWindow::take_},
        {ControlKind::Button, kIdAdd, 284, 168, 144, 26, 168, 0, &VariablesWindow::add_},
        {ControlKind::Button, kIdInsert, 284, 198, 144, 26, 169, 0, &VariablesWindow::insert_},
        {ControlKind::Button, kIdDelete, 430, 168, 144, 26, 170, 0, &VariablesWindow::delete_},
    };
    list_ = ui_create_list_box(wnd(), kIdList, 6, 20, 124, 204);
    create_controls(this, rows);
    ui_edit_set_limit(name_, static_cast<int>(kMaxVariableNameLength));
    ui_edit_wrap_anywhere(value_);  // values of tens of thousands of digits
    ui_set_accessible(list_, msg(163), {});
    ui_set_accessible(name_, msg(164), {});
    ui_set_accessible(value_, msg(166), {});
    ui_on_focus_out(name_, [this] { commit_name(); });
    ui_on_focus_out(value_, [this] { commit_value(); });
    for (const UserVariable& v : g_variables) ui_list_insert(list_, -1, v.name);
    select(-1);
  }

  void commit() {
    commit_name();
    commit_value();
  }

  void commit_name() {
    if (!name_dirty_ || selected_ < 0 || selected_ >= static_cast<int>(g_variables.size())) return;
    name_dirty_ = false;
    const std::u16string name = cut_with_ellipsis(ui_text(name_), kMaxVariableNameLength);
    g_variables[selected_].name = name;
    ui_list_set_text(list_, selected_, name);
    g_changed = true;
    if (!is_valid_variable_name(name)) {
      // Reported, not refused: the name stays in the list.
      set_app_error(1300, name.c_str());
      show_app_error();
    }
  }

  void commit_value() {
    if (!value_dirty_ || selected_ < 0 || selected_ >= static_cast<int>(g_variables.size())) return;
    value_dirty_ = false;
    g_variables[selected_].value =
        stored_variable_value(cut_with_ellipsis(ui_text(value_), kVariableValueLength));
    g_changed = true;
  }

  void add_entry(int at) {
    commit();
    if (g_variables.size() >= kMaxUserVariables) return;
    UserVariable v;
    v.name = default_variable_name(g_variables);
    g_variables.insert(g_variables.begin() + at, v);
    ui_list_insert(list_, at, v.name);
    g_changed = true;
    select(at);
    ui_set_focus(name_);
    ui_edit_select(name_, 0, v.name.size());
  }

  void on_command(int id, int notification) override {
    switch (id) {
      case kIdList:
        if (notification == kNotifySelChange) select(ui_list_selection(list_));
        break;
      case kIdName:
        if (notification == kNotifyEditChange && !loading_) name_dirty_ = true;
        break;
      case kIdValue:
        if (notification == kNotifyEditChange && !loading_) value_dirty_ = true;
        break;
      case kIdAdd:
        add_entry(static_cast<int>(g_variables.size()));
        break;
      case kIdInsert:
        if (selected_ >= 0) add_entry(selected_);
        break;
      case kIdDelete: {
        commit();
        if (selected_ < 0) break;
        const int at = selected_;
        g_variables.erase(g_variables.begin() + at);
        ui_list_remove(list_, at);
        g_changed = true;
        selected_ = -1;
        select(std::min(at, static_cast<int>(g_variables.size()) - 1));
        break;
      }
      case kIdTake:
        commit();
        if (selected_ >= 0) calculator_insert_text(g_variables[selected_].name);
        break;
      case kIdAssign: {
        commit();
        if (selected_ < 0) break;
        std::u16string text = calculator_result_text();
        if (text.size() > kVariableValueLength) text = u"?";
        const std::u16string stored = stored_variable_value(text);
        g_variables[selected_].value = stored;
        loading_ = true;
        ui_set_text(value_, shown_value(stored));
        loading_ = false;
        g_changed = true;
        break;
      }
      default:
        break;
    }
  }

  bool on_close() override {
    commit();
    return true;
  }

  void on_size(int width, int height) override {
    // The list grows in height, the value field in both directions; the buttons stay below it.
    const int dpi = ui_dpi();
    const int dx = std::max(kWidth, width * 96 / dpi) - kWidth;
    const int dy = std::max(kHeight, height * 96 / dpi) - kHeight;
    ui_move(list_, 6, 20, 124, 204 + dy);
    ui_move(value_, 138, 64, 436 + dx, 96 + dy);
    ui_move(assign_, 138, 168 + dy, 144, 26);
    ui_move(take_, 138, 198 + dy, 144, 26);
    ui_move(add_, 284, 168 + dy, 144, 26);
    ui_move(insert_, 284, 198 + dy, 144, 26);
    ui_move(delete_, 430, 168 + dy, 144, 26);
  }
};

}  // namespace

std::vector<UserVariable>& user_variables() {
  ensure_loaded();
  return g_variables;
}

void forget_user_variables() {
  g_variables.clear();
  g_loaded = false;
  g_changed = false;
}

void store_user_variables() {
  if (!g_changed) return;
  std::vector<SettingsVariable> out;
  for (const UserVariable& v : g_variables) out.push_back({v.name, v.value});
  store_settings_variables(out);
  g_changed = false;
}

void open_variables_dialog(Wnd calculator) {
  if (g_app.variables == nullptr) g_app.variables = VariablesWindow::make()->wnd();
  // Left edge 5 units left of the calculator's right edge, top 50 units below its top.
  int x = 0, y = 0, w = 0, h = 0;
  ui_window_frame(calculator, x, y, w, h);
  ui_move_window(g_app.variables, x + w - ui_scale(5), y + ui_scale(50));
  ui_show_window(g_app.variables);
}
