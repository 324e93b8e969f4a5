// numerion: the windowed calculator.
#include "app/windows/app_windows.h"

int main(int argc, char** argv) {
  return numerion_main(argc, argv);
}
