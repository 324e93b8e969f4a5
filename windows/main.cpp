// numerion: the windowed calculator.
#include "windows/app_windows.h"

int main(int argc, char** argv) {
  return numerion_main(argc, argv);
}
