// The About window: product, version, build date and maker. The program works offline, so the
// contact, homepage and donation entries lead to sections of the local help page.
#include <string>

#include "app/messages.h"
#include "app/text_builder.h"
#include "ui/controls.h"
#include "windows/app_windows.h"

namespace {

#include "windows/donate_icon.xpm"

enum : int { kIdIcon = 10, kIdTitle, kIdDate, kIdMaker, kIdMail, kIdHomepage, kIdDonate, kIdOk };

constexpr int kWidth = 410;
constexpr int kHeight = 295;
constexpr int kLine = 200;  // characters of one formatted line

std::u16string help_page_name() {
  return help_page_path({}, current_language()).filename().u16string();
}

std::u16string format_line(MessageId id, std::u16string_view a, std::u16string_view b = {}) {
  char16_t line[kLine + 1];
  if (b.empty()) {
    format_bounded(line, kLine + 1, msg(id), a);
  } else {
    format_bounded(line, kLine + 1, msg(id), a, b);
  }
  return line;
}

std::intptr_t about_handler(Wnd window, UiMsg message, std::intptr_t wparam,
                            std::intptr_t /*lparam*/, bool& /*default_handling*/) {
  if (message != UiMsg::Command) return 0;
  switch (wparam) {
    case kIdOk:
      ui_hide_window(window);
      break;
    case kIdMail:
      show_help(u"contact");
      break;
    case kIdHomepage:
      show_help();
      break;
    case kIdDonate:
      show_help(u"donations");
      break;
    default:
      break;
  }
  return 0;
}

}  // namespace

Wnd create_about_window() {
  char16_t title[80];
  format_bounded(title, 80, msg(101), kProductName);
  Wnd window = ui_create_dialog_window(title, kWidth, kHeight, about_handler, nullptr, 0,
                                       kWindowClientSize | kWindowCentre);
  Wnd icon = ui_create_label(window, kIdIcon, 20, 20, 52, 52, u"");
  ui_show_app_icon(icon, ui_scale(48));

  Wnd heading = ui_create_label(window, kIdTitle, 88, 16, 300, 44, product_title());
  // 30/96 inch: "Verdana" where installed, otherwise a sans-serif face of that height.
  ui_set_font(heading, UiFont{u"Verdana", ui_scale(30), false, UiFontFallback::SansSerif});

  const std::u16string_view date = build_date_text();
  ui_create_label(window, kIdDate, 90, 66, 300, 20, format_line(103, date.substr(0, 10)));
  ui_create_label(window, kIdMaker, 90, 90, 300, 20,
                  format_line(104, date.substr(0, 4), kMakerName));
  const std::u16string page = help_page_name();
  ui_create_link(window, kIdMail, 90, 114, 300, 20, format_line(105, page + u"#contact"));

  ui_create_button(window, kIdHomepage, 90, 150, 190, 48, format_line(106, page));
  ui_create_icon_button(window, kIdDonate, 296, 138, 94, 72, msg(107), kDonateIconXpm, 32);
  Wnd ok = ui_create_button(window, kIdOk, 310, 254, 80, 26, msg(0), kButtonDefault);
  ui_set_focus(ok);  // the window opens with the focus on "OK"
  return window;
}
