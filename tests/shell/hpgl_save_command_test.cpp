// The "Save as HPGL" command: when it asks, what its dialog is opened with,
// and how a failed write reaches the operator.
#include "shell/hpgl_save_command.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "drawing/definicje.h"
#include "drawing/figury.h"
#include "shell/interfejs.h"
#include "shell/message_recorder.h"
#include "support/test_support.h"

namespace vm {
namespace {

class HpglSaveCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ResetDrawingGlobals();
    ExeDir = dir_.path() + "/";
    ASSERT_TRUE(InstallLanguageFile(test::DataPath("../../lang/Velmarosta_US.xml")));
    auto f = std::make_unique<tfigura>();
    f->Points = {{-40, 120}, {80, 0}};
    figures_.push_back(std::move(f));
  }
  void TearDown() override {
    InstallInterfejs(nullptr);
    ResetDrawingGlobals();
  }
  // A dialog that records its request and answers `name`.
  AskSaveFileName Answer(const QString& name) {
    return [this, name](const TSaveDialogRequest& r) {
      requests_.push_back(r);
      return name;
    };
  }

  QTemporaryDir dir_;
  std::vector<std::unique_ptr<tfigura>> figures_;
  std::vector<TSaveDialogRequest> requests_;
};

TEST_F(HpglSaveCommand, AsksOnlyForAProjectWithFigures) {
  const std::vector<std::unique_ptr<tfigura>> none;
  EXPECT_FALSE(FileSaveAsHPGLClick(nullptr, Answer(dir_.filePath("a.plt"))));
  EXPECT_FALSE(FileSaveAsHPGLClick(&none, Answer(dir_.filePath("a.plt"))));
  EXPECT_TRUE(requests_.empty());
  EXPECT_FALSE(QFile::exists(dir_.filePath("a.plt")));
}

TEST_F(HpglSaveCommand, WritesTheActiveProjectToTheChosenName) {
  // A cancelled dialog writes nothing.
  EXPECT_FALSE(FileSaveAsHPGLClick(&figures_, Answer(QString())));
  ASSERT_EQ(requests_.size(), 1u);
  const TSaveDialogRequest& r = requests_[0];
  EXPECT_EQ(r.title, "Save output file as HPGL.plt");
  EXPECT_EQ(r.filters, (QStringList{"HPGL.plt (*.plt)", "all files (*.*)"}));
  EXPECT_EQ(r.defaultExt, "plt");
  EXPECT_EQ(r.initialFolder, ExeDir);
  EXPECT_TRUE(QDir(dir_.path()).entryList(QDir::Files).isEmpty());

  const QString path = dir_.filePath("part.plt");
  EXPECT_TRUE(FileSaveAsHPGLClick(&figures_, Answer(path)));
  EXPECT_EQ(test::ReadAll(path), "PA -40,120;\r\nPD 80,0;\r\nPU;\r\n");
}

TEST_F(HpglSaveCommand, AFailedWriteIsShownWithTheFileName) {
  ScopedMessageRecorder messages;
  const QString path = dir_.filePath("missing/part.plt");
  EXPECT_FALSE(FileSaveAsHPGLClick(&figures_, Answer(path)));
  ASSERT_EQ(messages.requests.size(), 1);
  EXPECT_EQ(messages.requests[0].icon, MessageIcon::Error);
  EXPECT_TRUE(messages.lastText().startsWith(Tr("Main_window", "bladZapisuHpgl")));
  EXPECT_TRUE(messages.lastText().contains(QDir::toNativeSeparators(path)));
}

}  // namespace
}  // namespace vm
