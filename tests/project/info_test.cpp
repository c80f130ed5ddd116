// The project info window's texts: sizes in the current unit, the path length
// (metres in mm), the estimated time and the work-mode rules.
#include "project/info.h"

#include <gtest/gtest.h>

#include "drawing/errors.h"
#include "project_fixture.h"
#include "shell/fltedit_format.h"
#include "shell/interfejs.h"
#include "view_fixture.h"

namespace vm {
namespace {

class InfoTest : public test::ProjectFixture {
 protected:
  // "1.00" with the system's decimal separator.
  static QString N(const char* text) {
    return QString::fromLatin1(text).replace('.', LocaleDecimalPoint());
  }
  TInfoInput Input() const {
    TInfoInput in;
    in.FileName = "a.plt";
    in.SettingsName = "Velmarosta.tcf";
    in.Width = 4000;
    in.Height = 2000;
    in.PathLength = 40000;  // 1000 mm
    in.FigureCount = 3;
    in.skala = 100;
    in.ilosckrokow = 8;
    in.szybkoscObrobki = 1000;
    in.Mode = 2;
    in.Unit = 0;
    return in;
  }
  Tinfoform form;
};

TEST_F(InfoTest, ValuesByModeAndUnit) {
  struct Case {
    const char* name;
    int mode, unit;
    double skala;
    const char *width, *height, *length, *time;
  };
  const Case cases[] = {
      // 1000 mm / 1000 mm/min + 3 x 0.03 = 1.09 -> "1 min"
      {"cutting in mm", 2, 0, 100, "100.00 mm", "50.00 mm", "1.00 m", "1 min"},
      {"rotary, 8 passes", 1, 0, 100, "100.00 mm", "50.00 mm", "8.00 m", "8 min"},
      {"turning, 8 passes", 0, 0, 100, "100.00 mm", "50.00 mm", "8.00 m", "8 min"},
      {"half scale", 2, 0, 50, "50.00 mm", "25.00 mm", "0.50 m", "1 min"},
      {"inches", 2, 1, 100, "3.94 in", "1.97 in", "39.37 in", "1 min"},
      {"feet", 2, 2, 100, "0.33 ft", "0.16 ft", "3.28 ft", "1 min"},
  };
  for (const Case& c : cases) {
    TInfoInput in = Input();
    in.Mode = c.mode;
    in.Unit = c.unit;
    in.skala = c.skala;
    form.FormPaint(in);
    EXPECT_EQ(form.fname, "a.plt");
    EXPECT_EQ(form.konfigname, "Velmarosta.tcf");
    EXPECT_EQ(form.szerokosc, N(c.width)) << c.name;
    EXPECT_EQ(form.wysokosc, N(c.height)) << c.name;
    EXPECT_EQ(form.totlen, N(c.length)) << c.name;
    EXPECT_EQ(form.total_time, N(c.time)) << c.name;
  }
}

TEST_F(InfoTest, SerialCuttingShowsNoStaleLengthOrTime) {
  form.FormPaint(Input());
  ASSERT_EQ(form.totlen, N("1.00 m"));
  TInfoInput next = Input();
  next.FileName = "b.plt";
  next.Mode = 3;
  next.PathLength = 80000;
  form.FormPaint(next);
  EXPECT_EQ(form.fname, "b.plt");
  EXPECT_EQ(form.szerokosc, N("100.00 mm"));
  EXPECT_TRUE(form.totlen.isEmpty());
  EXPECT_TRUE(form.total_time.isEmpty());
}

TEST_F(InfoTest, NoCuttingSpeedGivesNoTime) {
  TInfoInput in = Input();
  in.szybkoscObrobki = 0;
  form.FormPaint(in);
  EXPECT_EQ(form.totlen, N("1.00 m"));
  EXPECT_TRUE(form.total_time.isEmpty());
}

TEST_F(InfoTest, ScaledLengthBeyond32BitsIsAnError) {
  TInfoInput in = Input();
  in.Mode = 0;
  in.ilosckrokow = 50000;
  in.PathLength = 1e7;
  EXPECT_THROW(form.FormPaint(in), RangeError);
}

TEST_F(InfoTest, CaptionsAndInputFromTheProject) {
  form.FormCreate();
  EXPECT_EQ(form.Caption, Tr("Main_window", "info.Caption").remove('&'));
  for (const QString* caption : {&form.Labelfile, &form.Labelkonf, &form.Labelszer, &form.Labelwys,
                                 &form.Labeldlug, &form.Labeltime}) {
    EXPECT_FALSE(caption->isEmpty());
    EXPECT_NE(*caption, "error");
  }
  EXPECT_EQ(form.Labeltime, Tr("Info", "Labeltime.caption"));

  TMDIChild w;
  test::AddFig(w, {{0, 0}, {4000, 2000}});
  test::Finish(w);
  w.Caption = "c.plt";
  w.PathLength = 123;
  const TInfoInput in = InfoInputFrom(w);
  EXPECT_EQ(in.FileName, "c.plt");
  EXPECT_EQ(in.Width, 4000);
  EXPECT_EQ(in.Height, 2000);
  EXPECT_EQ(in.FigureCount, 1);
  EXPECT_DOUBLE_EQ(in.PathLength, 123);
  EXPECT_EQ(in.Mode, 2);
  EXPECT_DOUBLE_EQ(in.szybkoscObrobki, 1000);
}

}  // namespace
}  // namespace vm
