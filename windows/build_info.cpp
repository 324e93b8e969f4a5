// The time of the build, written by the build into build_date.inc.
#include "windows/app_windows.h"

std::u16string_view build_date_text() {
  static constexpr char16_t kDate[] =
#include "build_date.inc"
      ;
  return kDate;
}
