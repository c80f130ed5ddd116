// The 864-byte global settings record and its file.
#include "shell/global_record.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "drawing/definicje.h"
#include "shell/konfig.h"
#include "support/test_support.h"

namespace vm {
namespace {

TEST(GlobalRecord, DefaultLayout) {
  const QByteArray b = TGlobalSettingsRecord().Encode();
  ASSERT_EQ(b.size(), 864);
  EXPECT_EQ(b.left(320), QByteArray(320, '\0'));  // both folders empty
  EXPECT_EQ(test::Hex(b.mid(320, 14)), "01 00 00 00 01 00 00 00 01 00 00 00 00 00");
  EXPECT_EQ(b.mid(334, 30), QByteArray("V\0e\0l\0m\0a\0r\0o\0s\0t\0a\0.\0t\0c\0f\0\0\0", 30));
  EXPECT_EQ(b.mid(364, 844 - 364), QByteArray(844 - 364, '\0'));
  EXPECT_EQ(test::Hex(b.mid(844, 20)),
            "01 00 00 00 00 00 00 00 00 00 F0 3F 00 00 00 00 00 00 00 00");
}

TEST(GlobalRecord, FieldsRoundTripAndTextFieldsKeepTheirLastUnitZero) {
  TGlobalSettingsRecord r;
  r.LastOpenDir = QString(100, QChar(0x0142));  // longer than the field
  r.LastSaveDir = "C:/zapis";
  r.SaveFilterIndex = -7;
  r.Reserved329 = {1, 2, 3, 4};
  r.SettingsFile = QString(254, 'x');
  r.OpenFilterIndex = 2;
  r.Reserved848 = -2.5;
  r.PortIndex = 4;
  const QByteArray b = r.Encode();
  ASSERT_EQ(b.size(), 864);
  EXPECT_EQ(b.mid(158, 2), QByteArray(2, '\0'));
  EXPECT_EQ(b.mid(842, 2), QByteArray(2, '\0'));
  const auto back = TGlobalSettingsRecord::Decode(b);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->LastOpenDir, QString(79, QChar(0x0142)));
  EXPECT_EQ(back->LastSaveDir, "C:/zapis");
  EXPECT_EQ(back->SaveFilterIndex, -7);
  EXPECT_EQ(back->Reserved329, r.Reserved329);
  EXPECT_EQ(back->SettingsFile, r.SettingsFile);
  EXPECT_EQ(back->OpenFilterIndex, 2);
  EXPECT_EQ(back->Reserved848, -2.5);
  EXPECT_EQ(back->PortIndex, 4);
  EXPECT_FALSE(TGlobalSettingsRecord::Decode(b.left(863)));
}

TEST(GlobalRecord, TextFieldsFilledWithoutTerminatorReadAsTheyAreWrittenBack) {
  // A damaged file: every unit of the folders and the file name non-zero.
  QByteArray b = TGlobalSettingsRecord().Encode();
  for (int i = 0; i < 320; i += 2) b[i] = 'd';
  for (int i = 334; i < 844; i += 2) b[i] = 'f';
  const auto r = TGlobalSettingsRecord::Decode(b);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->LastOpenDir, QString(79, 'd'));
  EXPECT_EQ(r->LastSaveDir, QString(79, 'd'));
  EXPECT_EQ(r->SettingsFile, QString(254, 'f'));
  const auto again = TGlobalSettingsRecord::Decode(r->Encode());
  ASSERT_TRUE(again);
  EXPECT_EQ(again->SettingsFile, r->SettingsFile);
  EXPECT_EQ(again->Encode(), r->Encode());
}

TEST(GlobalRecord, NamesTooLongForTheRecordAreRefused) {
  TGlobalSettingsRecord r;
  EXPECT_FALSE(r.SetSettingsFile(QString(255, 'a')));
  EXPECT_EQ(r.SettingsFile, "Velmarosta.tcf");
  EXPECT_TRUE(r.SetSettingsFile(QString(254, 'a')));
  EXPECT_FALSE(r.SetLastOpenDir(QString(80, 'd')));
  EXPECT_TRUE(r.LastOpenDir.isEmpty());
}

TEST(GlobalRecordFile, ShortOrMissingFileGivesDefaultsWrittenAgain) {
  QTemporaryDir dir;
  ResetDrawingGlobals();
  ExeDir = dir.path() + "/";
  ResetDlgkonfig();
  TGlobalSettingsRecord stored;
  stored.PortIndex = 3;
  stored.LastOpenDir = "/data";
  ASSERT_TRUE(test::WriteAll(ExeDir + "Velmarosta.gcf", stored.Encode()));
  Dlgkonfig().LoadGlobalSettings();
  EXPECT_EQ(GlobalSettings().PortIndex, 3);
  EXPECT_EQ(GlobalSettings().LastOpenDir, "/data");

  ASSERT_TRUE(test::WriteAll(ExeDir + "Velmarosta.gcf", stored.Encode().left(500)));
  Dlgkonfig().LoadGlobalSettings();
  EXPECT_EQ(GlobalSettings().PortIndex, 0);
  EXPECT_EQ(test::ReadAll(ExeDir + "Velmarosta.gcf"), TGlobalSettingsRecord().Encode());
  ResetDlgkonfig();
  ResetDrawingGlobals();
}

}  // namespace
}  // namespace vm
