// Lines and values of the settings text files, and the port device names.
#include "shell/settings_file.h"

#include <gtest/gtest.h>

#include "shell/port_names.h"

namespace vm {
namespace {

TEST(SettingsFile, SplitsLinesIntoKeyAndValue) {
  struct Case {
    const char* line;
    const char* key;
    const char* value;
  } cases[] = {
      {"work_power := 20", "work_power", "20"},
      {"Mode:=3", "Mode", "3"},
      {"a b = c:d", "a", "bcd"},
      {"", "", ""},
      {"AddFrame", "AddFrame", ""},
      {" x := 1", "", "x1"},
  };
  for (const Case& c : cases) {
    const TKonfigLine l = ReadKonfigLine(c.line);
    EXPECT_EQ(l.key, c.key) << c.line;
    EXPECT_EQ(l.value, c.value) << c.line;
  }
  EXPECT_EQ(SplitKonfigLines("a\r\nb\nc\rd"), QStringList({"a", "", "b", "c", "d"}));
  EXPECT_EQ(SplitKonfigLines("a\r\n"), QStringList({"a", ""}));
}

TEST(SettingsFile, Values) {
  EXPECT_EQ(KonfigIntValue("7"), 7);
  EXPECT_EQ(KonfigIntValue("-5"), -5);
  EXPECT_EQ(KonfigIntValue("+2"), 2);
  for (const char* bad : {"", "x", "1.0", "3a", "99999999999", "+-1"})
    EXPECT_FALSE(KonfigIntValue(bad)) << bad;
  EXPECT_EQ(KonfigFloatValue("12.5mm"), 12.5);
  EXPECT_EQ(KonfigFloatValue("12,5"), 12.5);
  EXPECT_EQ(KonfigFloatValue("-3"), -3);
  for (const char* bad : {"", "abc", "inf", "nan", "1.2.3", "-"})
    EXPECT_FALSE(KonfigFloatValue(bad)) << bad;
  EXPECT_EQ(NumericPrefix("1e5"), "1");
  EXPECT_EQ(StrToCheckBoxState("cbChecked"), TCheckBoxState::cbChecked);
  EXPECT_EQ(StrToCheckBoxState("cbGrayed"), TCheckBoxState::cbGrayed);
  EXPECT_EQ(StrToCheckBoxState("CBCHECKED"), TCheckBoxState::cbUnchecked);
  EXPECT_EQ(CheckBoxStateToStr(TCheckBoxState::cbGrayed), "cbGrayed");
}

TEST(PortNames, DefaultsAndEnvironmentOverride) {
  qunsetenv("VM_COM1");
  qunsetenv("VM_COM5");
  EXPECT_EQ(PortDevicePath("com1"), "/dev/ttyUSB0");
  EXPECT_EQ(PortDevicePath("COM5"), "/dev/ttyUSB4");
  EXPECT_EQ(PortDevicePath("/dev/pts/7"), "/dev/pts/7");
  EXPECT_EQ(PortDevicePath("com6"), "com6");
  qputenv("VM_COM1", "/tmp/pty-a");
  EXPECT_EQ(PortDevicePath("com1"), "/tmp/pty-a");
  qunsetenv("VM_COM1");
  EXPECT_EQ(PortNameOfIndex(2), "com3");
}

}  // namespace
}  // namespace vm
