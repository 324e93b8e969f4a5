// The digit count, output base and number type selectors.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>

#include "integer/number.h"  // the codes the control speaks; both headers side by side
#include "ui/composite.h"
#include "ui/controls.h"
#include "ui_test_util.h"

namespace {

struct Picked {
  std::vector<int> values;
};
void on_pick(Wnd, int value, void* owner) {
  static_cast<Picked*>(owner)->values.push_back(value);
}

QComboBox* list_in(Wnd composite) {
  return w_of(composite)->findChild<QComboBox*>();
}

TEST(Composite, BaseListHoldsTheBasesItsStyleAsksFor) {
  RecordingWindow win;
  Picked picked;
  Wnd plain = ui_create_number_base(win.wnd, 1, 0, 0, 120, 50, u"Output\r\nBase", kBaseTwoLineLabel,
                                    on_pick, &picked);
  EXPECT_EQ(ui_class_name(plain), "NumberBaseControl");
  QComboBox* list = list_in(plain);
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->itemText(0), "10");
  EXPECT_EQ(list->itemText(1), "16");
  Wnd all = ui_create_number_base(win.wnd, 2, 0, 60, 120, 30, u"Base", kBaseWith2 | kBaseWith8,
                                  on_pick, &picked);
  ASSERT_EQ(list_in(all)->count(), 4);
  EXPECT_EQ(list_in(all)->itemText(1), "8");
  EXPECT_EQ(w_of(plain)->findChild<QLabel*>()->text(), "Output\nBase");

  ui_number_base_set(all, 8);
  EXPECT_EQ(ui_number_base(all), 8);
  ui_number_base_set(all, -1);
  EXPECT_EQ(ui_number_base(all), -1);
  ui_number_base_set(plain, 2);  // not listed: nothing selected
  EXPECT_EQ(ui_number_base(plain), -1);
  EXPECT_TRUE(picked.values.empty());

  win.show_active();
  ui_number_base_set(all, 2);
  list_in(all)->setFocus();
  QTest::keyClick(list_in(all), Qt::Key_Down);
  QTest::keyClick(list_in(all), Qt::Key_Down);
  EXPECT_EQ(picked.values, (std::vector<int>{8, 10}));
  EXPECT_EQ(ui_focus(), ui_control(win.wnd, 2));
}

TEST(Composite, TypeListCarriesNumberTypeCodesInOrder) {
  RecordingWindow win;
  Picked picked;
  const NumberTypeTexts texts{u"rational", u"real", u"complex", u"unsigned"};
  Wnd all = ui_create_number_type(win.wnd, 1, 0, 0, 120, 24,
                                  kTypeMaskRational | kTypeMaskReal | kTypeMaskComplex, texts,
                                  on_pick, &picked);
  EXPECT_EQ(ui_class_name(all), "NumberTypeControl");
  QComboBox* list = list_in(all);
  ASSERT_EQ(list->count(), 3);
  EXPECT_EQ(list->itemText(0), "rational");
  EXPECT_EQ(list->itemText(2), "complex");
  EXPECT_EQ(ui_number_type(all), 0);
  ui_number_type_set(all, kTypeComplex);
  EXPECT_EQ(ui_number_type(all), kTypeComplex);
  EXPECT_EQ(list->currentText(), "complex");
  ui_number_type_set(all, kTypeRational);
  EXPECT_EQ(list->currentText(), "rational");
  ui_number_type_set(all, kTypeUInt);  // unsigned integer is not offered
  EXPECT_EQ(ui_number_type(all), 0);

  Wnd two = ui_create_number_type(win.wnd, 2, 0, 30, 120, 24, kTypeMaskReal | kTypeMaskComplex,
                                  texts, on_pick, &picked);
  ASSERT_EQ(list_in(two)->count(), 2);
  ui_number_type_set(two, kTypeReal);
  win.show_active();
  list_in(two)->setFocus();
  QTest::keyClick(list_in(two), Qt::Key_Down);
  QTest::keyClick(list_in(two), Qt::Key_Up);
  EXPECT_EQ(picked.values, (std::vector<int>{kTypeComplex, kTypeReal}));

  Wnd four =
      ui_create_number_type(win.wnd, 3, 0, 60, 120, 24,
                            kTypeMaskUInt | kTypeMaskRational | kTypeMaskReal | kTypeMaskComplex,
                            texts, on_pick, &picked);
  ASSERT_EQ(list_in(four)->count(), 4);
  for (int i = 0; i < 4; ++i) {
    const int expected[] = {kTypeUInt, kTypeRational, kTypeReal, kTypeComplex};
    EXPECT_EQ(list_in(four)->itemData(i).toInt(), expected[i]);
  }
  ui_number_type_set(four, kTypeUInt);
  EXPECT_EQ(list_in(four)->currentText(), "unsigned");
}

TEST(Composite, DigitCountShowsItsNumber) {
  RecordingWindow win;
  Wnd digits = ui_create_digit_count(win.wnd, 1, 0, 0, 120, 24, u"Digits");
  EXPECT_EQ(ui_class_name(digits), "DigitCountControl");
  ui_digit_count_set(digits, 10000);
  EXPECT_EQ(ui_digit_count(digits), 10000);
  const auto labels = w_of(digits)->findChildren<QLabel*>();
  ASSERT_EQ(labels.size(), 2);
  EXPECT_EQ(labels[0]->text(), "Digits");
  EXPECT_EQ(labels[1]->text(), "10000 ");
}

}  // namespace
