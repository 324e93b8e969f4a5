// The main window: a small resizable window whose menu opens every other window.
#include "app/messages.h"
#include "app/text_builder.h"
#include "windows/app_windows.h"

namespace {

constexpr int kMainWidth = 370;  // client area, layout units
constexpr int kMainHeight = 40;

struct MenuEntry {
  int menu;
  int item;  // 0 for the menu itself
  MessageId text;
};

constexpr MenuEntry kMenu[] = {
    {kMenuApplication, 0, 15},
    {kMenuApplication, kMenuOptions, 5},
    {kMenuApplication, kMenuExit, 6},
    {kMenuAlgebra, 0, 16},
    {kMenuAlgebra, kMenuCalculator, 7},
    {kMenuAlgebra, kMenuEquations, 8},
    {kMenuAlgebra, kMenuLinearSystems, 9},
    {kMenuAlgebra, kMenuPolynomials, 10},
    {kMenuAlgebra, kMenuPrimes, 11},
    {kMenuAlgebra, kMenuFactors, 12},
    {kMenuHelp, 0, 17},
    {kMenuHelp, kMenuShowHelp, 13},
    {kMenuHelp, kMenuInfo, 14},
};

// The task window an Algebra item shows; nullptr while that window does not exist.
Wnd task_window(int item) {
  const TaskWindowEntry* e = find_task_window(item);
  return e != nullptr ? g_app.*e->slot : nullptr;
}

std::intptr_t main_handler(Wnd window, UiMsg message, std::intptr_t wparam,
                           std::intptr_t /*lparam*/, bool& default_handling) {
  switch (message) {
    case UiMsg::Command:
      switch (wparam) {
        case kMenuOptions:
          if (g_app.options != nullptr) ui_show_window(g_app.options);
          break;
        case kMenuExit:
          ui_close_window(window);
          break;
        case kMenuShowHelp:
          show_help();
          break;
        case kMenuInfo:
          if (g_app.about != nullptr) ui_run_modal(g_app.about);
          break;
        default:
          if (Wnd task = task_window(static_cast<int>(wparam))) ui_show_window(task);
          break;
      }
      return 0;
    case UiMsg::Close:
      // Closing the main window ends the message loop and with it the program.
      default_handling = false;
      ui_hide_window(window);
      ui_quit(0);
      return 0;
    default:
      return 0;
  }
}

}  // namespace

std::u16string product_title() {
  char16_t title[64];
  format_bounded(title, 64, msg(102), kProductName, kProductVersion);
  return title;
}

Wnd create_main_window() {
  Wnd window =
      ui_create_dialog_window(product_title(), kMainWidth, kMainHeight, main_handler, nullptr,
                              kWindowResizable, kWindowClientSize | kWindowCentre);
  for (const MenuEntry& e : kMenu) {
    if (e.item == 0) {
      ui_add_menu(window, e.menu, msg(e.text));
    } else {
      ui_add_menu_item(window, e.menu, e.item, msg(e.text));
    }
  }
  update_task_menu_items(window);
  return window;
}

void update_task_menu_items(Wnd main_window) {
  for (int item = kMenuCalculator; item <= kMenuFactors; ++item) {
    ui_enable_menu_item(main_window, item, task_window(item) != nullptr);
  }
}
