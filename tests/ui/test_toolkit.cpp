// Dialog windows, DPI scaling, posted worker messages, timers, modal runs, menus and text
// handling of the controls.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <atomic>
#include <thread>

#include "ui/controls.h"
#include "ui_test_util.h"

namespace {

TEST(LayoutUnits, ScaleRoundsSymmetricallyAtEveryDpi) {
  EXPECT_EQ(ui_scale_for(96, 370), 370);
  EXPECT_EQ(ui_scale_for(144, 10), 15);
  EXPECT_EQ(ui_scale_for(120, 10), 13);  // 12.5 rounds away from zero
  EXPECT_EQ(ui_scale_for(120, -10), -13);
  EXPECT_EQ(ui_scale_for(120, 2), 3);  // (240 + 48) / 96
  EXPECT_EQ(ui_scale_for(120, 1), 1);  // (120 + 48) / 96
  for (int dpi : {72, 96, 120, 144, 168, 192, 288}) {
    for (int v = 0; v < 500; ++v) {
      ASSERT_EQ(ui_scale_for(dpi, -v), -ui_scale_for(dpi, v)) << dpi << " " << v;
      ASSERT_LE(std::abs(ui_scale_for(dpi, v) * 96 - dpi * v), 48) << dpi << " " << v;
    }
  }
}

TEST(LayoutUnits, ControlsAndFontFollowTheDpi) {
  RecordingWindow win;
  ui_set_dpi(192);
  Wnd button = ui_create_button(win.wnd, 1, 10, 20, 100, 30, u"OK");
  EXPECT_EQ(w_of(button)->geometry(), QRect(20, 40, 200, 60));
  EXPECT_EQ(ui_font().height, (192 + 3) * 16 / 96);
  ui_set_dpi(96);
  EXPECT_EQ(ui_font().height, 16);
  EXPECT_EQ(ui_font().family, u"Segoe UI");
  Wnd other = ui_create_button(win.wnd, 2, 10, 20, 100, 30, u"OK");
  EXPECT_EQ(w_of(other)->geometry(), QRect(10, 20, 100, 30));
}

TEST(DialogWindow, CreationSizeTitleAndClassNames) {
  ensure_app();
  Wnd w = ui_create_dialog_window(u"Options", 370, 330, nullptr, nullptr, 0, kWindowClientSize);
  EXPECT_EQ(w_of(w)->size(), QSize(370, 330));
  EXPECT_EQ(ui_title(w), u"Options");
  EXPECT_EQ(ui_class_name(w), "cwl_DialogWindow");
  EXPECT_FALSE(ui_is_visible(w));
  Wnd tab = ui_create_tab_control(w, 5, 0, 0, 300, 200);
  Wnd page = ui_add_tab_page(tab, u"Page");
  EXPECT_EQ(ui_class_name(page), "cwl_TabPage");
  EXPECT_EQ(ui_class_name(ui_create_group_box(page, 6, 0, 0, 100, 100, u"G")), "cwl_WinXpGroupBox");
  Wnd up_down = ui_create_numeric_up_down(page, 7, 0, 0, 60, 22, 2, 25);
  EXPECT_EQ(ui_class_name(up_down), "cwl_NumericUpDown");
  ui_up_down_set_value(up_down, 12);
  EXPECT_EQ(ui_text(up_down), u"12");
  EXPECT_EQ(ui_control(w, 7), up_down);  // controls of tab pages belong to the window
  EXPECT_EQ(ui_parent_window(up_down), w);
  ui_destroy_window(w);
}

TEST(DialogWindow, CloseHidesUnlessTheHandlerKeepsIt) {
  RecordingWindow win;
  win.show_active();
  win.keep_open = true;
  ui_close_window(win.wnd);
  EXPECT_TRUE(ui_is_visible(win.wnd));
  win.keep_open = false;
  ui_close_window(win.wnd);
  EXPECT_FALSE(ui_is_visible(win.wnd));
  ASSERT_GE(win.seen.size(), 2u);
  EXPECT_EQ(win.seen[0].message, UiMsg::Close);
}

TEST(DialogWindow, WorkerMessagesArriveInOrderWithOwnedTexts) {
  RecordingWindow win;
  std::atomic<std::uint8_t> started{false};
  std::thread worker([&]() {
    started.store(true, std::memory_order_relaxed);
    for (int i = 0; i < 50; ++i) {
      std::u16string piece = u"piece ";
      piece += static_cast<char16_t>(u'0' + i % 10);
      ui_post_message(win.wnd, kWorkerOutput, piece);
      // The worker's own buffer changes at once; the window must see what was posted.
      piece.assign(piece.size(), u'#');
    }
    ui_post_message(win.wnd, kWorkerFinished);
  });
  worker.join();
  EXPECT_TRUE(started.load(std::memory_order_relaxed));
  ASSERT_TRUE(
      wait_for([&]() { return !win.seen.empty() && win.seen.back().wparam == kWorkerFinished; }));
  ASSERT_EQ(win.seen.size(), 51u);
  for (int i = 0; i < 50; ++i) {
    EXPECT_EQ(win.seen[i].message, UiMsg::Worker);
    EXPECT_EQ(win.seen[i].wparam, kWorkerOutput);
    EXPECT_EQ(win.texts[i], std::u16string(u"piece ") + static_cast<char16_t>(u'0' + i % 10));
  }
  EXPECT_EQ(win.texts.back(), u"");
  EXPECT_EQ(static_cast<int>(UiMsg::Worker), 0x8000 + 100);
}

TEST(DialogWindow, MessagesForADestroyedWindowAreDropped) {
  auto win = std::make_unique<RecordingWindow>();
  ui_post_message(win->wnd, kWorkerOutput, u"late");
  win.reset();
  QApplication::processEvents();  // must not reach the destroyed window
  SUCCEED();
}

TEST(DialogWindow, TimersTickUntilKilled) {
  RecordingWindow win;
  auto ticks = [&](int id) {
    return std::count_if(win.seen.begin(), win.seen.end(), [id](const Seen& s) {
      return s.message == UiMsg::Timer && s.wparam == id;
    });
  };
  ui_set_timer(win.wnd, 1000, 5);
  ui_set_timer(win.wnd, 1001, 5);
  ASSERT_TRUE(wait_for([&]() { return ticks(1000) >= 3 && ticks(1001) >= 3; }));
  ui_kill_timer(win.wnd, 1000);
  const auto before = ticks(1000);
  QTest::qWait(40);
  EXPECT_EQ(ticks(1000), before);
  EXPECT_GT(ticks(1001), 3);
  ui_kill_timer(win.wnd, 1001);
  ui_kill_timer(win.wnd, 4711);  // unknown ids are ignored
}

TEST(DialogWindow, ModalRunDisablesTheOthersUntilHidden) {
  RecordingWindow owner;
  RecordingWindow other;
  RecordingWindow modal;
  owner.show_active();
  Wnd edit = ui_create_edit(owner.wnd, 3, 10, 10, 100, 22, u"");
  ui_set_focus(edit);
  bool others_disabled = false;
  QTimer::singleShot(30, [&]() {
    others_disabled =
        !ui_is_enabled(owner.wnd) && !ui_is_enabled(other.wnd) && ui_is_enabled(modal.wnd);
    ui_hide_window(modal.wnd);
  });
  EXPECT_TRUE(ui_run_modal(modal.wnd));
  EXPECT_TRUE(others_disabled);
  EXPECT_TRUE(ui_is_enabled(owner.wnd));
  EXPECT_TRUE(ui_is_enabled(other.wnd));
  EXPECT_FALSE(ui_run_modal(nullptr));
}

TEST(DialogWindow, ModalRunEndsWhenTheWindowIsDestroyed) {
  RecordingWindow owner;
  ensure_app();
  Wnd modal = ui_create_dialog_window(u"M", 100, 100, nullptr, nullptr, 0, 0);
  QTimer::singleShot(20, [modal]() { ui_destroy_window(modal); });
  EXPECT_TRUE(ui_run_modal(modal));
  EXPECT_TRUE(ui_is_enabled(owner.wnd));
}

TEST(DialogWindow, EnableThreadWindowsSparesTheGivenWindow) {
  RecordingWindow a;
  RecordingWindow b;
  ui_enable_thread_windows(a.wnd, false);
  EXPECT_TRUE(ui_is_enabled(a.wnd));
  EXPECT_FALSE(ui_is_enabled(b.wnd));
  ui_enable_thread_windows(a.wnd, true);
  EXPECT_TRUE(ui_is_enabled(b.wnd));
}

TEST(Menus, ItemsReportTheirIdsAndDisabledOnesCannotBeChosen) {
  RecordingWindow win;
  ui_add_menu(win.wnd, 100, u"Application");
  ui_add_menu_item(win.wnd, 100, 101, u"Options");
  ui_add_menu_item(win.wnd, 100, 102, u"Prime Factors && Divisors");
  ui_add_menu_item(win.wnd, 999, 103, u"no such menu");
  ui_enable_menu_item(win.wnd, 102, false);
  EXPECT_TRUE(ui_choose_menu_item(win.wnd, 101));
  EXPECT_FALSE(ui_choose_menu_item(win.wnd, 102));
  EXPECT_FALSE(ui_choose_menu_item(win.wnd, 103));
  ASSERT_EQ(win.seen.size(), 1u);
  EXPECT_EQ(win.seen[0].message, UiMsg::Command);
  EXPECT_EQ(win.seen[0].wparam, 101);
  EXPECT_EQ(win.seen[0].lparam, kNotifyMenu);
  EXPECT_EQ(ui_menu_text(win.wnd, 100), u"Application");
  EXPECT_FALSE(ui_menu_item_enabled(win.wnd, 102));
  // The menu bar sits above the client area, which keeps its size.
  EXPECT_EQ(static_cast<cwl_DialogWindow*>(win.widget())->client()->height(), 200);
}

TEST(Controls, TextsTakeLineBreaksAmpersandsAndAnyPaste) {
  RecordingWindow win;
  Wnd label = ui_create_label(win.wnd, 1, 0, 0, 100, 40, u"Output\r\nBase");
  EXPECT_EQ(ui_text(label), u"Output\nBase");
  ui_set_text(label, u"Prime numbers && factors");
  EXPECT_EQ(ui_text(label), u"Prime numbers & factors");
  Wnd check = ui_create_check_box(win.wnd, 2, 0, 0, 100, 20, u"Equations && polynomials");
  EXPECT_EQ(static_cast<QAbstractButton*>(w_of(check))->text(),
            QString("Equations && polynomials"));

  // A megabyte of control characters, surrogate pairs, lone surrogates and NULs.
  std::u16string paste;
  for (int i = 0; paste.size() < (1u << 20); ++i) {
    paste += static_cast<char16_t>(i % 0x20);
    paste += u"\U0001F600\U00010000\U0010FFFF";
    paste += static_cast<char16_t>(0xD800 + i % 0x800);
    paste += u'\0';
  }
  Wnd line = ui_create_edit(win.wnd, 3, 0, 0, 100, 22, u"");
  Wnd multi = ui_create_edit(win.wnd, 4, 0, 0, 100, 80, u"", kEditMultiline);
  win.show_active();
  ui_set_text(line, paste);
  EXPECT_LE(ui_text(line).size(), 32767u);  // the field's limit, not a crash
  ui_set_focus(line);
  QApplication::clipboard()->setText(ui_detail::to_qstring(paste));
  QTest::keyClick(w_of(line), Qt::Key_V, Qt::ControlModifier);
  EXPECT_LE(ui_text(line).size(), 32767u);
  ui_set_text(multi, paste);
  EXPECT_GT(ui_text(multi).size(), 1000000u);
  ui_edit_append(multi, u"end");
  EXPECT_EQ(ui_text(multi).substr(ui_text(multi).size() - 3), u"end");
  ui_set_text(label, paste);
  QApplication::processEvents();
  const std::vector<int> ids = win.commands();
  const auto edits = std::count(ids.begin(), ids.end(), 3);
  EXPECT_GE(edits, 1);  // edit fields report changes
}

TEST(Controls, ListsCheckBoxesAndTrackBars) {
  RecordingWindow win;
  Wnd combo = ui_create_combo_box(win.wnd, 1, 0, 0, 100, 200);
  EXPECT_LT(w_of(combo)->height(), 100);  // the list's height is not the box's
  EXPECT_EQ(ui_combo_add(combo, u"Point", 7), 0);
  EXPECT_EQ(ui_combo_add(combo, u"Comma", 8), 1);
  EXPECT_EQ(ui_combo_selection(combo), -1);  // adding selects nothing
  ui_combo_select(combo, 1);
  EXPECT_EQ(ui_combo_selection(combo), 1);
  EXPECT_EQ(ui_combo_data(combo, 1), 8);
  EXPECT_EQ(ui_combo_text(combo, 0), u"Point");
  ui_combo_select(combo, 5);
  EXPECT_EQ(ui_combo_selection(combo), -1);
  EXPECT_EQ(ui_combo_data(combo, -1), 0);

  Wnd radio_a = ui_create_radio_button(win.wnd, 2, 0, 0, 100, 20, u"A", kStyleGroup);
  Wnd radio_b = ui_create_radio_button(win.wnd, 3, 0, 0, 100, 20, u"B");
  ui_set_check(radio_a, true);
  ui_set_check(radio_b, true);
  EXPECT_FALSE(ui_checked(radio_a));
  ui_set_check(radio_b, false);  // a page may clear the whole group
  EXPECT_FALSE(ui_checked(radio_b));

  Wnd track = ui_create_track_bar(win.wnd, 4, 0, 0, 200, 30);
  ui_track_bar_set_range(track, 10, 1);
  ui_track_bar_set_pos(track, 5);
  EXPECT_EQ(ui_track_bar_pos(track), 5);
  EXPECT_TRUE(win.commands().empty());  // no notification for the page's own changes
  ui_click(radio_a);
  EXPECT_EQ(win.commands(), std::vector<int>{2});
  ui_set_control_word(track, 1, 42);
  EXPECT_EQ(ui_control_word(track, 1), 42);
  EXPECT_EQ(ui_control_word(track, 2), 0);
}

}  // namespace
