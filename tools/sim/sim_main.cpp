// velmarosta-sim: runs the controller emulator on a pseudo-terminal.
#include <cstdio>

int main() {
  std::puts("velmarosta-sim: the emulator is not built yet");
  return 0;
}
