// Test entry for the widget suites: the program's own application object
// (offscreen, or xcb under Xvfb for the GL suite), then every test.
#include <gtest/gtest.h>

#include "shell/ui/application.h"

int main(int argc, char** argv) {
  vm::ui::TApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
