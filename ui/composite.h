// The selectors several pages share: the digit count display, the output base list and the
// number type list. Each is one control with the id given at creation; the callbacks run on the
// user-interface thread when the user chooses an entry.
#pragma once

#include <cstdint>
#include <string_view>

#include "ui/toolkit.h"

// --- "DigitCountControl": a label and the number of decimal digits, shown as "%d " -------------
Wnd ui_create_digit_count(Wnd parent, int id, int x, int y, int w, int h, std::u16string_view label,
                          unsigned style = 0);
void ui_digit_count_set(Wnd control, int digits);
int ui_digit_count(Wnd control);

// --- "NumberBaseControl": a label above or beside a list of output bases -----------------------
inline constexpr unsigned kBaseTwoLineLabel = 1;  // the label is two lines high, above the list
inline constexpr unsigned kBaseWith2 = 2;
inline constexpr unsigned kBaseWith8 = 4;
inline constexpr unsigned kBaseNoLabelOffsets = 8;  // the label starts flush with the control
using BaseCallback = void (*)(Wnd control, int base, void* owner);
Wnd ui_create_number_base(Wnd parent, int id, int x, int y, int w, int h, std::u16string_view label,
                          unsigned style, BaseCallback callback, void* owner);
// Selects the entry that reads as `base`; a negative base, or one not listed, clears it.
void ui_number_base_set(Wnd control, int base);
int ui_number_base(Wnd control);  // -1 when nothing is selected

// --- "NumberTypeControl": a list of number types carrying their NumberType codes ---------------
// The control speaks the codes of integer/number.h (1 real, 2 complex, 10 unsigned integer,
// 11 rational); the style's mask bits only choose which entries the list offers, in the order
// unsigned integer, rational, real, complex.
inline constexpr unsigned kTypeMaskRational = 1;
inline constexpr unsigned kTypeMaskReal = 2;
inline constexpr unsigned kTypeMaskComplex = 4;
inline constexpr unsigned kTypeMaskUInt = 8;
struct NumberTypeTexts {
  std::u16string_view rational;
  std::u16string_view real;
  std::u16string_view complex;
  std::u16string_view uint = {};
};
using TypeCallback = void (*)(Wnd control, int type_code, void* owner);
Wnd ui_create_number_type(Wnd parent, int id, int x, int y, int w, int h, unsigned style,
                          const NumberTypeTexts& texts, TypeCallback callback, void* owner);
// Selects the entry with `type_code`; any other code clears the selection.
void ui_number_type_set(Wnd control, int type_code);
int ui_number_type(Wnd control);  // the code; 0 when nothing is selected
