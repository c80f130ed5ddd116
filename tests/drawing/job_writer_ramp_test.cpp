// The accelerating and decelerating rotation of heavy material.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "drawing/figury.h"
#include "drawing/rounding.h"
#include "job_writer_fixture.h"

namespace vm::test {
namespace {

using JobWriterRamp = JobWriterTest;

struct Ramp {
  QStringList commands;
  std::vector<int> periods;  // the "l" values between the opening and the closing pair
  std::int64_t steps = 0;    // signed sum of the rotary moves
  bool onlyRotary = true;
};

Ramp Decode(const QByteArray& bytes) {
  Ramp r;
  for (const sim::JobCommand& c : sim::DecodeJob(bytes).commands) {
    r.commands << c.ToString();
    if (c.letter == 'a') {
      r.steps += c.dz;
      if (c.dx != 0 || c.dy != 0) r.onlyRotary = false;
    }
    if (c.letter == 'l') r.periods.push_back(c.value);
  }
  return r;
}

TEST_F(JobWriterRamp, ARampTooShortToAccelerateRunsAtTheStartingPeriod) {
  JobSettings s;
  s.PrzeSpeed = 20;
  JobWriter w;
  w.BeginJob(Path(), s);
  w.EncodeRamp(6.0 / 50000);  // six steps: three up, three down
  w.EndJob();
  EXPECT_EQ(Commands(ReadAll(Path())).mid(10, 8),
            (QStringList{"p 1", "l 65535", "a 4 0 0 3", "l 40000", "a 4 0 0 3", "l 40000", "p 1",
                         "l 257"}));
}

// 1000 steps at a travel speed of 1000 mm/min: the ramp would need 833 steps,
// more than half the rotation, so it is a triangle. Pieces of 0.1 s accelerate
// along the square root of the distance covered, the rest of the way up runs at
// the speed reached, and the way down slows along the square root of the
// distance left.
TEST_F(JobWriterRamp, ATriangularRampPieceByPiece) {
  const QStringList all =
      Commands(Job(JobSettings{}, [](JobWriter& w) { w.EncodeRamp(1000.0 / 50000); }));
  EXPECT_EQ(
      all.mid(10, all.size() - 12),
      (QStringList{"p 1",           "l 65535", "a 4 0 0 3",   "l 13333", "a 10 0 0 10",   "l 6400",
                   "a 22 0 0 21",   "l 3960",  "a 34 0 0 34", "l 2797",  "a 48 0 0 48",   "l 2145",
                   "a 62 0 0 62",   "l 1732",  "a 78 0 0 77", "l 1447",  "a 92 0 0 92",   "l 1240",
                   "a 108 0 0 108", "l 1083",  "a 46 0 0 45", "l 1083",  "a 124 0 0 123", "l 1189",
                   "a 112 0 0 112", "l 1418",  "a 94 0 0 94", "l 1766",  "a 76 0 0 75",   "l 2360",
                   "a 58 0 0 57",   "l 3704",  "a 36 0 0 36", "l 13333", "a 4 0 0 3",     "l 13333",
                   "p 1",           "l 257"}));
}

TEST_F(JobWriterRamp, RampsSumToTheRotationAndLeaveThePositionAlone) {
  struct Case {
    double turns;
    double speed;
  } cases[] = {{1, 1000}, {-1, 1000}, {0.02, 1000}, {-3.5, 3000}, {0.3, 60}};
  for (const Case& c : cases) {
    JobSettings s;
    s.PrzeSpeed = c.speed;
    JobWriter w;
    w.BeginJob(Path(), s);
    ASSERT_FALSE(w.EncodeCut(10, 5, 0).isEmpty());
    const TPoint3I head = w.JobHead;
    const TCornerHistory history = w.CornerHistory;
    w.EncodeRamp(c.turns);
    EXPECT_EQ(w.JobHead.X, head.X);
    EXPECT_EQ(w.JobHead.Y, head.Y);
    EXPECT_EQ(w.JobHead.Z, head.Z + Round(c.turns * 50000));
    EXPECT_EQ(w.CornerHistory.P2, history.P2);
    w.EndJob();

    const Ramp r = Decode(ReadAll(Path()).mid(26, -1));  // after the header
    const std::string what = std::to_string(c.turns) + " at " + std::to_string(c.speed);
    EXPECT_EQ(r.steps, Round(c.turns * 50000)) << what;
    EXPECT_TRUE(r.onlyRotary) << what;
    ASSERT_GE(r.commands.size(), 6) << what;
    EXPECT_EQ(r.commands.mid(0, 2), (QStringList{"p 1", "l 65535"})) << what;
    EXPECT_EQ(r.commands.mid(r.commands.size() - 4), (QStringList{"p 1", "l 257", "p 1", "r 0 2"}))
        << what;
    // Periods shorten while accelerating and lengthen while decelerating.
    const std::vector<int> p(r.periods.begin() + 1, r.periods.end() - 1);
    const auto fastest = std::min_element(p.begin(), p.end());
    EXPECT_TRUE(std::is_sorted(p.begin(), fastest, std::greater<>())) << what;
    EXPECT_TRUE(std::is_sorted(fastest, p.end())) << what;
    EXPECT_GE(*fastest, FeedToPeriod(Round(c.speed))) << what;
  }
}

TEST_F(JobWriterRamp, ZeroRotationWritesNoRamp) {
  const QByteArray empty = Job(JobSettings{}, [](JobWriter&) {});
  EXPECT_EQ(Job(JobSettings{}, [](JobWriter& w) { w.EncodeRamp(0); }), empty);

  // A rotation that rounds to no step still sets and restores the periods,
  // with no move between them.
  JobWriter w;
  w.BeginJob(Path(), JobSettings{});
  w.EncodeRamp(0.4 / 50000);
  EXPECT_EQ(w.JobHead.Z, 0);
  w.EndJob();
  EXPECT_EQ(Commands(ReadAll(Path())).mid(10, 6),
            (QStringList{"p 1", "l 65535", "l 40000", "l 40000", "p 1", "l 257"}));
}

TEST_F(JobWriterRamp, HeavyMaterialAlignsWithARamp) {
  JobSettings s;
  s.JobOutputMode = JobRotarySpindle;
  s.Heavy = true;
  s.RotaryStartY = 900;
  tfigura f;
  f.Points = {{400, 400}, {2400, 400}};
  double angle = 0;
  const QByteArray bytes = Job(s, [&](JobWriter& w) {
    w.JobHead.Z = 30000;  // 0.6 revolution: +0.4 to the start angle 0
    w.WriteFigure(f, 1, 1, angle, 0);
  });
  const QStringList all = Commands(bytes);
  const qsizetype from = all.indexOf("l 65535");
  const qsizetype to = all.indexOf("l 257");
  ASSERT_GT(from, 0);
  ASSERT_GT(to, from);
  std::int64_t turned = 0;
  for (const sim::JobCommand& m : Moves(bytes)) turned += m.dz;
  EXPECT_EQ(turned, 20000);
  EXPECT_EQ(all.at(to + 1), "p 1");
  EXPECT_EQ(all.at(to + 2), "r 1 1");
}

}  // namespace
}  // namespace vm::test
