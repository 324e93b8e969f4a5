#include "launcher/launcher.h"

// No command line is read and none is passed on.
int main() {
  return launcher_main();
}
