// The model info dialog's texts: values in the current unit with the unit's
// decimals, unit labels from the settings' unit item, the file's size, and a
// model file that has gone away.
#include "model3d/model_info.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "drawing/definicje.h"
#include "shell/fltedit_format.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "shell/message_recorder.h"
#include "support/test_support.h"

namespace vm {
namespace {

class ModelInfoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDlgkonfig();
    ResetDrawingGlobals();
    ASSERT_TRUE(InstallLanguageFile(test::DataPath("../../lang/Velmarosta_US.xml")));
    ASSERT_TRUE(dir_.isValid());
  }
  void TearDown() override {
    InstallInterfejs(nullptr);
    ResetDlgkonfig();
    ResetDrawingGlobals();
  }
  QString File(int bytes) {
    const QString path = dir_.filePath(QString::number(bytes) + ".raw");
    EXPECT_TRUE(test::WriteAll(path, QByteArray(bytes, 'x')));
    return path;
  }
  QTemporaryDir dir_;
};

TEST_F(ModelInfoTest, ValuesAndUnitLabelsFollowTheCurrentUnit) {
  const QString dp(LocaleDecimalPoint());
  const struct {
    int unit;
    QString width, minX, minZ;
  } cases[] = {
      {0, "100" + dp + "00 ", "-20" + dp + "00 ", "0" + dp + "50 "},
      {1, "3" + dp + "94 ", "-0" + dp + "79 ", "0" + dp + "02 "},
      {2, "0" + dp + "328 ", "-0" + dp + "066 ", "0" + dp + "002 "},
  };
  TModel model;
  model.MinX = -20;
  model.MaxX = 80;
  model.MinZ = 0.5;
  model.FileName = File(500);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.unit);
    Dlgkonfig().radiounit.SetItemIndex(c.unit);
    TfModelInfo info(model);
    info.TntFormShow();
    EXPECT_EQ(info.pSzerokoscX, c.width);
    EXPECT_EQ(info.pXmin, c.minX);
    EXPECT_EQ(info.pZmin, c.minZ);
    const QString label = " [" + Dlgkonfig().radiounit.Items()[c.unit] + "]";
    for (const QString* l : {&info.lSzerokoscXJm, &info.lXminJm, &info.lZmaxJm})
      EXPECT_EQ(*l, label);
  }
}

TEST_F(ModelInfoTest, CaptionsSourceAndFileSize) {
  const struct {
    int bytes;
    const char* size;
  } sizes[] = {{500, "500b"}, {1500, "1KB"}};
  for (const auto& s : sizes) {
    TModel model;
    model.FileName = File(s.bytes);
    TfModelInfo info(model);
    info.TntFormShow();
    EXPECT_EQ(info.lRozmiarPliku, s.size);
    EXPECT_EQ(info.pZrodlo, QString::number(s.bytes) + ".raw");
    EXPECT_EQ(info.pZrodloHint, model.FileName);
    EXPECT_EQ(info.Caption, Tr("ModelInfo", "caption"));
    EXPECT_EQ(info.lSzerokoscX, Tr("ModelInfo", "lSzerokoscX.Caption"));
  }
}

TEST_F(ModelInfoTest, VanishedFileIsReportedAndTheValuesStillShown) {
  ScopedMessageRecorder messages;
  TModel model;
  model.MaxY = 12;
  model.FileName = dir_.filePath("gone.raw");
  TfModelInfo info(model);
  info.TntFormShow();
  ASSERT_EQ(messages.requests.size(), 1);
  EXPECT_EQ(messages.lastText(), Tr("Universal", "zbioruNieMoznaOtworzyc") + model.FileName);
  EXPECT_EQ(messages.requests[0].icon, MessageIcon::Error);
  EXPECT_TRUE(info.lRozmiarPliku.isEmpty());
  EXPECT_EQ(info.pYmax, "12" + QString(LocaleDecimalPoint()) + "00 ");
}

}  // namespace
}  // namespace vm
