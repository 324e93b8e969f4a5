// The keyboard rules of dialog windows, one by one.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QPushButton>

#include "ui/controls.h"
#include "ui_test_util.h"

namespace {

void key(Wnd control, Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QWidget* target = QApplication::focusWidget();
  ASSERT_NE(target, nullptr);
  (void)control;
  QTest::keyClick(target, k, mods);
}

bool has_frame(Wnd button) {
  return static_cast<QPushButton*>(w_of(button))->isDefault();
}

// edit, label, disabled button, check box, hidden edit, button, radio group of three, button.
struct TabFixture : ::testing::Test {
  RecordingWindow win{400, 400};
  Wnd edit = ui_create_edit(win.wnd, 1, 10, 10, 100, 22, u"");
  Wnd label = ui_create_label(win.wnd, 2, 10, 40, 100, 20, u"label");
  Wnd disabled = ui_create_button(win.wnd, 3, 10, 70, 80, 26, u"off", kStyleDisabled);
  Wnd check = ui_create_check_box(win.wnd, 4, 10, 100, 100, 20, u"check");
  Wnd hidden = ui_create_edit(win.wnd, 5, 10, 130, 100, 22, u"", kStyleHidden);
  Wnd button = ui_create_button(win.wnd, 6, 10, 160, 80, 26, u"button");
  Wnd radio_a = ui_create_radio_button(win.wnd, 7, 10, 200, 100, 20, u"A", kStyleGroup);
  Wnd radio_b = ui_create_radio_button(win.wnd, 8, 10, 225, 100, 20, u"B");
  Wnd radio_c = ui_create_radio_button(win.wnd, 9, 10, 250, 100, 20, u"C");
  Wnd ok = ui_create_button(win.wnd, 10, 300, 360, 80, 26, u"OK", kButtonDefault);
  TabFixture() {
    win.show_active();
    ui_set_focus(edit);
  }
};

TEST_F(TabFixture, TabVisitsVisibleEnabledStopsAndWraps) {
  const Wnd forward[] = {check, button, radio_a, ok, edit, check};
  for (Wnd expected : forward) {
    key(nullptr, Qt::Key_Tab);
    ASSERT_EQ(ui_focus(), expected) << ui_control_id(ui_focus());
  }
  const Wnd backward[] = {edit, ok, radio_a, button, check, edit};
  for (Wnd expected : backward) {
    key(nullptr, Qt::Key_Tab, Qt::ShiftModifier);
    ASSERT_EQ(ui_focus(), expected) << ui_control_id(ui_focus());
  }
  ui_enable(disabled, true);
  ui_show(hidden, true);
  key(nullptr, Qt::Key_Tab);
  EXPECT_EQ(ui_focus(), disabled);
  key(nullptr, Qt::Key_Tab);
  key(nullptr, Qt::Key_Tab);
  EXPECT_EQ(ui_focus(), hidden);
}

TEST_F(TabFixture, RadioGroupIsOneStopEnteredAtItsCheckedButton) {
  ui_set_check(radio_c, true);
  ui_set_focus(button);
  key(nullptr, Qt::Key_Tab);
  EXPECT_EQ(ui_focus(), radio_c);
  key(nullptr, Qt::Key_Tab);
  EXPECT_EQ(ui_focus(), ok);  // leaving the group skips the rest of it
  key(nullptr, Qt::Key_Tab, Qt::ShiftModifier);
  EXPECT_EQ(ui_focus(), radio_c);
  ui_set_focus(radio_a);  // from an unchecked member the group is left as a whole too
  key(nullptr, Qt::Key_Tab, Qt::ShiftModifier);
  EXPECT_EQ(ui_focus(), button);
  // A disabled checked button: the group is entered at its first usable button.
  ui_enable(radio_c, false);
  key(nullptr, Qt::Key_Tab);
  EXPECT_EQ(ui_focus(), radio_a);
}

TEST_F(TabFixture, ArrowKeysMoveAndClickWithinTheGroup) {
  ui_set_check(radio_a, true);
  ui_set_focus(radio_a);
  key(nullptr, Qt::Key_Down);
  EXPECT_EQ(ui_focus(), radio_b);
  EXPECT_TRUE(ui_checked(radio_b));
  EXPECT_FALSE(ui_checked(radio_a));
  key(nullptr, Qt::Key_Right);
  EXPECT_EQ(ui_focus(), radio_c);
  key(nullptr, Qt::Key_Down);  // wraps within the group
  EXPECT_EQ(ui_focus(), radio_a);
  key(nullptr, Qt::Key_Up);
  EXPECT_EQ(ui_focus(), radio_c);
  ui_show(radio_b, false);
  key(nullptr, Qt::Key_Left);  // hidden buttons are skipped
  EXPECT_EQ(ui_focus(), radio_a);
  const std::vector<int> clicked = win.commands();
  EXPECT_EQ(clicked, (std::vector<int>{8, 9, 7, 9, 7}));
}

TEST_F(TabFixture, EnterClicksTheFocusedButtonOrTheDefaultButton) {
  ui_set_focus(button);
  key(nullptr, Qt::Key_Return);
  EXPECT_EQ(win.commands(), std::vector<int>{6});
  win.seen.clear();
  ui_set_focus(edit);
  key(nullptr, Qt::Key_Enter);
  EXPECT_EQ(win.commands(), std::vector<int>{10});
  EXPECT_EQ(ui_focus(), edit);  // the focus returns to the control
  win.seen.clear();
  key(nullptr, Qt::Key_Return, Qt::ControlModifier);  // Ctrl+Enter stays with the control
  EXPECT_TRUE(win.commands().empty());
  ui_set_focus(check);
  key(nullptr, Qt::Key_Return);
  EXPECT_EQ(win.commands(), std::vector<int>{10});
  ui_enable(ok, false);
  win.seen.clear();
  key(nullptr, Qt::Key_Return);
  EXPECT_TRUE(win.commands().empty());  // a disabled default button is not clicked
}

TEST_F(TabFixture, WantReturnEditsAndOpenListsKeepEnter) {
  Wnd multi = ui_create_edit(win.wnd, 20, 150, 10, 200, 80, u"", kEditMultiline | kEditWantReturn);
  Wnd plain_multi = ui_create_edit(win.wnd, 21, 150, 100, 200, 80, u"", kEditMultiline);
  Wnd combo = ui_create_combo_box(win.wnd, 22, 150, 200, 100, 200);
  ui_combo_add(combo, u"one");
  ui_combo_add(combo, u"two");
  ui_set_focus(multi);
  QTest::keyClicks(QApplication::focusWidget(), "a");
  key(nullptr, Qt::Key_Return);
  QTest::keyClicks(QApplication::focusWidget(), "b");
  EXPECT_EQ(ui_text(multi), u"a\nb");
  ui_set_focus(plain_multi);
  key(nullptr, Qt::Key_Return);
  const std::vector<int> ids = win.commands();
  EXPECT_EQ(std::count(ids.begin(), ids.end(), 10), 1);  // without want-return: the default button
  win.seen.clear();
  ui_set_focus(combo);
  auto* box = static_cast<QComboBox*>(w_of(combo));
  box->showPopup();
  ASSERT_TRUE(wait_for([&]() { return ui_combo_list_open(combo); }));
  QTest::keyClick(box->view(), Qt::Key_Down);
  QTest::keyClick(box->view(), Qt::Key_Return);
  EXPECT_FALSE(ui_combo_list_open(combo));
  const std::vector<int> after = win.commands();
  EXPECT_EQ(std::count(after.begin(), after.end(), 10), 0);
  EXPECT_EQ(std::count(after.begin(), after.end(), 22), 1);
}

TEST_F(TabFixture, DefaultFrameFollowsTheFocusedPushButton) {
  EXPECT_TRUE(has_frame(ok));
  EXPECT_FALSE(has_frame(button));
  ui_set_focus(button);
  EXPECT_TRUE(has_frame(button));
  EXPECT_FALSE(has_frame(ok));
  ui_set_focus(edit);
  EXPECT_TRUE(has_frame(ok));
  EXPECT_FALSE(has_frame(button));
  EXPECT_EQ(ui_default_button(win.wnd), ok);
}

TEST_F(TabFixture, ReactivationReturnsTheFocusToTheLastControl) {
  ui_set_focus(check);
  RecordingWindow other;
  other.show_active();
  EXPECT_NE(ui_focus(), check);
  win.show_active();
  EXPECT_EQ(ui_focus(), check);
}

TEST(Keyboard, AWindowWithoutStopsIgnoresTab) {
  RecordingWindow win;
  Wnd label = ui_create_label(win.wnd, 1, 0, 0, 50, 20, u"x");
  win.show_active();
  QTest::keyClick(win.widget(), Qt::Key_Tab);
  EXPECT_EQ(ui_focus(), nullptr);
  EXPECT_EQ(ui_text(label), u"x");
}

}  // namespace
