// The on-screen keypad's text building and placement.
#include "shell/numpad.h"

#include <gtest/gtest.h>

#include <QLocale>

namespace vm {
namespace {

// Presses the keys in order: digits, '-', '.' for the separator, 'C', 'E' (CE).
QString Press(TNumPadForm& pad, const char* keys) {
  for (const char* k = keys; *k; ++k) {
    if (*k == 'C')
      pad.ButtonCClick();
    else if (*k == 'E')
      pad.ButtonCEClick();
    else
      pad.ButtonClick(QLatin1Char(*k));
  }
  return pad.Text();
}

TEST(NumPad, BuildsTheText) {
  struct Case {
    const char* keys;
    const char* text;
  } cases[] = {
      {"-12.5", "-12.5"}, {"-12.5-", "-12.5"}, {"12-", "-12"},    {"-E", ""},
      {"E", ""},          {"12C", ""},         {"1.2.3", "1.23"}, {".5.", ".5"},
  };
  for (const Case& c : cases) {
    TNumPadForm pad;
    pad.FormActivate();
    EXPECT_EQ(Press(pad, c.keys), c.text) << c.keys;
  }
}

TEST(NumPad, SeparatorIsTheLocalesAndComesOnce) {
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  TNumPadForm pad;
  EXPECT_EQ(TNumPadForm::ButtonpCaption(), ",");
  EXPECT_TRUE(pad.ButtonClick('3'));
  EXPECT_TRUE(pad.ButtonClick(','));
  EXPECT_FALSE(pad.ButtonClick(','));
  EXPECT_FALSE(pad.ButtonClick('.'));
  EXPECT_EQ(pad.Text(), "3,");
  QLocale::setDefault(QLocale::c());
  pad.FormActivate();
  EXPECT_EQ(pad.Text(), "");
}

TEST(NumPad, KeepsItselfOnTheScreen) {
  const QSize size(135, 140);
  const QSize screen(1024, 768);
  EXPECT_EQ(TNumPadForm::KeepOnScreen({100, 100}, size, screen), QPoint(100, 100));
  EXPECT_EQ(TNumPadForm::KeepOnScreen({950, 100}, size, screen), QPoint(950 - 135 - 5, 100));
  EXPECT_EQ(TNumPadForm::KeepOnScreen({100, 700}, size, screen), QPoint(100, 700 - 140 + 5));
  EXPECT_EQ(TNumPadForm::KeepOnScreen({889, 628}, size, screen), QPoint(889, 628));
}

}  // namespace
}  // namespace vm
