// Value logic of the numeric edits: clamping, unit edits holding mm, the
// magnitude step, wheel and keys, refused text, the checks and number texts.
#include "shell/fltedit.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <cmath>
#include <limits>

#include "drawing/definicje.h"
#include "drawing/units.h"
#include "shell/float_edit.h"
#include "shell/message_recorder.h"

namespace vm {
namespace {

class BeepCounter {
 public:
  BeepCounter() {
    previous_ = SetEditBeepHandler([this] { ++count; });
  }
  ~BeepCounter() { SetEditBeepHandler(std::move(previous_)); }
  int count = 0;

 private:
  std::function<void()> previous_;
};

// A unit edit as the settings dialog has them: fixed format, 3 decimals.
void MakeUnitEdit(TFltEditU& e, double minValue, double maxValue, double value) {
  e.SetffFormat(TFloatFormat::ffFixed);
  e.SetPrecision(8);
  e.SetDigit(3);
  e.SetMinValue(minValue);
  e.SetMaxValue(maxValue);
  e.SetValue(value);
}

TEST(FltEdit, ClampsIntoTheRangeUnlessMinEqualsMax) {
  struct Case {
    double min, max, set, expected;
  } cases[] = {
      {0, 100, 150, 100}, {0, 100, -3, 0}, {0, 100, 42.5, 42.5}, {-5, 5, -6, -5},
      {0, 0, 1e9, 1e9},   {0, 0, -7, -7},  {2, 2, 99, 99},
  };
  for (const Case& c : cases) {
    TFltEdit plain("p");
    plain.SetMinValue(c.min);
    plain.SetMaxValue(c.max);
    plain.SetValue(c.set);
    EXPECT_EQ(plain.Value(), c.expected) << c.min << ".." << c.max << " set " << c.set;
    TFltEditU unit("u");
    unit.SetMinValue(c.min);
    unit.SetMaxValue(c.max);
    unit.SetValue(c.set);
    EXPECT_EQ(unit.Value(), c.expected) << c.min << ".." << c.max << " set " << c.set;
  }
}

TEST(FltEdit, UnitEditHoldsItsMillimetresWhateverItShows) {
  TFltEditU e("e");
  MakeUnitEdit(e, 0, 3000, 500);
  e.SetEditUnit(1);
  EXPECT_EQ(e.Text(), "19.685");
  EXPECT_EQ(e.Value(), 500);
  e.DoExit();  // leaving the field untouched changes nothing
  EXPECT_EQ(e.Value(), 500);
  e.SetEditUnit(2);
  EXPECT_EQ(e.Digit(), 4);
  EXPECT_EQ(e.Value(), 500);
  // What the operator types is taken in the shown unit.
  e.SetEditUnit(1);
  e.SetText("0.394");
  e.DoExit();
  EXPECT_DOUBLE_EQ(e.Value(), 0.394 * 25.4);
  EXPECT_EQ(e.Text(), "0.394");
  // TFloatEditU likewise keeps the mm value and takes the current unit; a
  // fresh one starts with the decimals of mm.
  TFloatEditU f("f");
  EXPECT_EQ(f.Digit(), 1);
  f.SetValue(10);
  CurrentUnit = 1;
  f.UseCurrentUnit();
  EXPECT_EQ(f.Digit(), 2);
  EXPECT_EQ(f.Value(), 10);
  CurrentUnit = 0;
}

TEST(FltEdit, MagnitudeStep) {
  TFltEditU e("e");
  MakeUnitEdit(e, 0, 0, 9.95);
  e.UpClick();
  EXPECT_NEAR(e.Value(), 10.05, 1e-9);
  e.UpClick();
  EXPECT_NEAR(e.Value(), 11.05, 1e-9);
  e.DownClick();
  EXPECT_NEAR(e.Value(), 10.05, 1e-9);

  struct Case {
    int unit;
    double mm, step;
  } cases[] = {
      {0, 0, 0.1},   {0, 5, 0.1},    {0, 150, 10}, {0, 0.5, 0.01},         {0, 0.05, 0.001},
      {0, -250, 10}, {1, 500, 25.4}, {2, 0, 0.1},  {1, 25.4 * 0.5, 0.254},
  };
  for (const Case& c : cases) {
    TFltEditU u("e");
    MakeUnitEdit(u, 0, 0, c.mm);
    u.SetEditUnit(c.unit);
    u.UpClick();
    EXPECT_NEAR(u.Increment(), c.step, 1e-12) << "unit " << c.unit << " at " << c.mm;
  }
  // Huge and tiny values still give a step, and it ends.
  for (double v : {1e300, std::numeric_limits<double>::denorm_min(), -1e-300}) {
    TFltEditU u("e");
    MakeUnitEdit(u, 0, 0, v);
    u.UpClick();
    EXPECT_GT(u.Increment(), 0) << v;
    EXPECT_TRUE(std::isfinite(u.Value())) << v;
  }
}

TEST(FltEdit, WheelAndReadOnly) {
  BeepCounter beeps;
  TFltEditU e("e");
  MakeUnitEdit(e, 0, 100, 5);
  e.MouseWheel(-120);  // down increases
  EXPECT_NEAR(e.Value(), 5.1, 1e-12);
  e.SetValue(5);
  e.MouseWheel(120);
  EXPECT_NEAR(e.Value(), 4.9, 1e-12);
  e.SetReadOnly(true);
  e.UpClick();
  EXPECT_NEAR(e.Value(), 4.9, 1e-12);
  TFltEdit p("p");
  p.SetIncrement(2);
  p.SetReadOnly(true);
  p.DownClick();
  EXPECT_EQ(beeps.count, 2);
  EXPECT_EQ(p.Value(), 0);
}

TEST(FltEdit, PlainEditReadsItsText) {
  TFltEdit e("e");
  e.SetMinValue(2);
  e.SetMaxValue(10);
  EXPECT_EQ(e.Value(), 2);  // empty
  e.DoExit();
  EXPECT_EQ(e.Text(), "");  // 2 is in range: the text stays empty
  e.SetText("0");
  e.DoExit();
  EXPECT_EQ(e.Text(), "2");
  e.SetText("7,5");
  EXPECT_EQ(e.Value(), 7.5);
  e.SetText("12");
  e.DoExit();
  EXPECT_EQ(e.Text(), "10");
}

TEST(FltEdit, NonFiniteTextIsRefused) {
  for (const char* text : {"inf", "-inf", "nan", "NaN", "1e999", "Infinity", "1x", "--1"}) {
    TFltEdit p("p");
    p.SetMinValue(1);
    p.SetMaxValue(9);
    p.SetText(text);
    EXPECT_EQ(p.Value(), 1) << text;
    p.DoExit();
    EXPECT_EQ(p.Text(), "1") << text;
    TFltEditU u("e");
    MakeUnitEdit(u, 1, 9, 5);
    u.SetText(text);
    u.DoExit();
    EXPECT_EQ(u.Value(), 1) << text;
    EXPECT_EQ(u.Text(), "1.000") << text;
    TFltEdit open("o");  // no range: the value stays finite
    open.SetText(text);
    EXPECT_TRUE(std::isfinite(open.Value())) << text;
  }
  TFltEditU u("e");
  MakeUnitEdit(u, 0, 0, 5);
  u.SetValue(std::numeric_limits<double>::infinity());
  EXPECT_EQ(u.Value(), 5);
}

TEST(FltEdit, KeyFilter) {
  BeepCounter beeps;
  TFltEditU e("e");
  EXPECT_EQ(e.KeyPress('7'), QChar('7'));
  EXPECT_EQ(e.KeyPress('-'), QChar('-'));
  EXPECT_EQ(e.KeyPress('.'), QChar('.'));  // the C locale's separator
  EXPECT_EQ(e.KeyPress('\b'), QChar('\b'));
  EXPECT_FALSE(e.KeyPress('\r'));
  EXPECT_FALSE(e.KeyPress('a'));
  EXPECT_FALSE(e.KeyPress(','));
  EXPECT_EQ(beeps.count, 3);
  // The keypad's decimal key gives the locale's separator.
  e.KeyDown(true);
  EXPECT_EQ(e.KeyPress(','), QChar('.'));
  e.KeyDown(false);
  e.SetEditorEnabled(false);
  EXPECT_FALSE(e.KeyPress('\b'));
  EXPECT_FALSE(e.KeyPress('5'));
  EXPECT_FALSE(e.KeypadEnabled());
  TFltEdit p("p");
  p.SetEditorEnabled(false);
  EXPECT_TRUE(p.KeypadEnabled());
  EXPECT_FALSE(p.KeyPress(','));
  QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
  EXPECT_EQ(TFltEdit("q").KeyPress(','), QChar(','));
  QLocale::setDefault(QLocale::c());
}

TEST(FltEdit, KeypadTextIsTakenOver) {
  TFltEdit p("p");
  p.SetMinValue(0);
  p.SetMaxValue(100);
  p.TakeKeypadText("250");
  EXPECT_EQ(p.Value(), 100);
  TFltEditU u("e");
  MakeUnitEdit(u, 0, 3000, 500);
  u.SetEditUnit(1);
  u.TakeKeypadText("10");
  EXPECT_DOUBLE_EQ(u.Value(), 254);
  EXPECT_FALSE(u.KeypadBig());
  p.SetBigNumPad(true);
  EXPECT_TRUE(p.KeypadBig());
  EXPECT_TRUE(p.KeypadOpensOn(true));
  EXPECT_FALSE(p.KeypadOpensOn(false));
  p.SetJedenKlikKalkulator(true);
  EXPECT_TRUE(p.KeypadOpensOn(false));
}

TEST(FltEdit, Checks) {
  ScopedMessageRecorder boxes;
  TFltEdit e("e");
  e.SetNzwPola("Szerokość");
  e.SetMinValue(1);
  e.SetMaxValue(1500);
  EXPECT_FALSE(e.ValidateFloat());
  EXPECT_EQ(boxes.lastText(), "Proszę wypełnić pole  »Szerokość«");
  EXPECT_EQ(boxes.requests.back().caption, "Błąd");
  e.SetText("2000");
  EXPECT_FALSE(e.ValidateFloat());
  EXPECT_EQ(boxes.lastText(),
            "W polu  »Szerokość«  wartość poza dopuszczalnym zakresem.\r\n"
            "( min= 1.00; max= 1,500.00 )");
  e.SetText("2.5");
  EXPECT_TRUE(e.ValidateFloat());
  EXPECT_FALSE(e.ValidateInteger());
  EXPECT_EQ(boxes.lastText(),
            "W polu  »Szerokość« wymagana jest liczba całkowita\r\n"
            "Dopuszczalny zakres (min= 1.00; max= 1,500.00 )");
  e.SetText("3");
  EXPECT_TRUE(e.ValidateInteger());
  EXPECT_EQ(boxes.requests.size(), 3);
}

TEST(FltEditFormat, DisplayTexts) {
  struct Case {
    double v;
    TFloatFormat f;
    int precision, digits;
    const char* text;
  } cases[] = {
      {0.1, TFloatFormat::ffGeneral, 15, 0, "0.1"},
      {1.0 / 3, TFloatFormat::ffGeneral, 15, 0, "0.333333333333333"},
      {0.00001, TFloatFormat::ffGeneral, 15, 0, "0.00001"},
      {0.000001, TFloatFormat::ffGeneral, 15, 0, "1E-6"},
      {1e15, TFloatFormat::ffGeneral, 15, 0, "1E15"},
      {-2500, TFloatFormat::ffGeneral, 15, 0, "-2500"},
      {19.68503937, TFloatFormat::ffFixed, 8, 3, "19.685"},
      {-0.0001, TFloatFormat::ffFixed, 8, 2, "0.00"},
      {1234567.891, TFloatFormat::ffNumber, 15, 2, "1,234,567.89"},
      {1234.6, TFloatFormat::ffExponent, 4, 2, "1.235E+03"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FormatFloat(c.v, c.f, c.precision, c.digits, '.'), c.text) << c.text;
  EXPECT_EQ(FormatGeneral(12.5, ','), "12,5");
}

TEST(FltEditFormat, SettingsNumbersReadBackExactly) {
  for (double v : {0.0, 1000.0, -12.5, 0.00001, 1e-7, 0.1 + 0.2, 123.456789, 1.0 / 3, -0.1,
                   49999.999999999993, 1e20}) {
    const QString s = FormatSettingsNumber(v);
    EXPECT_FALSE(s.contains('e') || s.contains('E') || s.contains(',')) << s.toStdString();
    const auto back = ParseFloatText(s);
    ASSERT_TRUE(back) << s.toStdString();
    EXPECT_EQ(*back, v) << s.toStdString();
  }
  EXPECT_EQ(FormatSettingsNumber(0.00001), "0.00001");
  EXPECT_EQ(FormatSettingsNumber(20), "20");
}

}  // namespace
}  // namespace vm
