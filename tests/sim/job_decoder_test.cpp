// The job-byte decoder: every job command's layout, and where a broken stream stops.
#include "sim/job_decoder.h"

#include <gtest/gtest.h>

namespace {

QByteArray B(std::initializer_list<int> v) {
  QByteArray s;
  for (int x : v) s.append(static_cast<char>(x));
  return s;
}

TEST(JobDecoder, DecodesEveryJobCommand) {
  struct Case {
    QByteArray bytes;
    const char* text;
  } cases[] = {
      // flags 1 (X negative), count 6, |dX| 3, |dY| 4, |dZ| 0
      {B({'a', 1, 6, 0, 0, 3, 0, 0, 4, 0, 0, 0, 0, 0}), "a 6 -3 4 0"},
      {B({'a', 6, 0x10, 0x27, 0, 0, 0, 0, 1, 0, 0, 0x50, 0xC3, 0}), "a 10000 0 -1 -50000"},
      {B({'p', 250}), "p 250"},
      {B({'l', 0x86, 0x00}), "l 134"},
      {B({'l', 0xFF, 0xFF}), "l 65535"},
      {B({'v', 1, 0x20, 0x03}), "v 1 800"},
      {B({'f', 0}), "f 0"},
      {B({'t', 3, 255}), "t 3 255"},
      {B({'r', 0, 2}), "r 0 2"},
      {B({'w'}), "w"},
  };
  for (const Case& c : cases) {
    const vm::sim::JobDecodeResult r = vm::sim::DecodeJob(c.bytes);
    ASSERT_TRUE(r.ok()) << c.text << ": " << r.error.toStdString();
    ASSERT_EQ(r.commands.size(), 1u) << c.text;
    EXPECT_EQ(r.commands[0].ToString().toStdString(), c.text);
  }
}

TEST(JobDecoder, DecodesAStreamInOrder) {
  const QByteArray job =
      B({'p', 10, 'f', 1, 'a', 0, 2, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 'l', 0x86, 0, 'r', 0, 2});
  const auto r = vm::sim::DecodeJob(job);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.Texts(), QStringList({"p 10", "f 1", "a 2 1 0 0", "l 134", "r 0 2"}));
}

TEST(JobDecoder, StopsAtUnknownByteOrCutCommandKeepingWhatCameBefore) {
  auto r = vm::sim::DecodeJob(B({'p', 1, 'X', 'p', 2}));
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(r.errorOffset, 2);
  EXPECT_EQ(r.Texts(), QStringList({"p 1"}));

  r = vm::sim::DecodeJob(B({'w', 'a', 0, 6, 0}));
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(r.errorOffset, 1);
  EXPECT_EQ(r.Texts(), QStringList({"w"}));

  EXPECT_TRUE(vm::sim::DecodeJob(QByteArray()).ok());
}

TEST(JobDecoder, Int24IsSignExtendedFromBit23) {
  const std::uint8_t minusOne[] = {0xFF, 0xFF, 0xFF};
  const std::uint8_t big[] = {0xFF, 0xFF, 0x7F};
  const std::uint8_t minusHalf[] = {0x58, 0x9E, 0xFF};  // -25000
  EXPECT_EQ(vm::sim::ReadInt24(minusOne), -1);
  EXPECT_EQ(vm::sim::ReadInt24(big), 0x7FFFFF);
  EXPECT_EQ(vm::sim::ReadInt24(minusHalf), -25000);
  EXPECT_EQ(vm::sim::ReadUInt24(minusOne), 0xFFFFFF);
}

}  // namespace
