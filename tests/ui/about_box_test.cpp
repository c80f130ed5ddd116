// The About box window: layout by dealer and logo, closing on any click or
// key, the link label opening its address.
#include "shell/ui/about_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTemporaryDir>

#include "drawing/definicje.h"
#include "platform/shell_open.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "support/test_support.h"

namespace vm {
namespace {

class AboutBoxUi : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ResetDrawingGlobals();
    ResetDlgkonfig();
    ExeDir = dir_.path() + "/";
    ASSERT_TRUE(InstallLanguageFile(test::DataPath("../../lang/Velmarosta_US.xml")));
    previousOpener_ = platform::SetShellOpenHandler([this](const QString& target) {
      opened_.append(target);
      return true;
    });
  }
  void TearDown() override {
    platform::SetShellOpenHandler(std::move(previousOpener_));
    InstallInterfejs(nullptr);
    ResetDlgkonfig();
    ResetDrawingGlobals();
  }
  static void Press(QWidget* w) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
  }

  QTemporaryDir dir_;
  QStringList opened_;
  platform::ShellOpenFn previousOpener_;
};

TEST_F(AboutBoxUi, DealerLogoMakesTheTallBoxWithoutTheProducerLine) {
  DealerId = "TARVIK";
  QImage logo(120, 40, QImage::Format_RGB32);
  logo.fill(Qt::red);
  ASSERT_TRUE(logo.save(ExeDir + "TARVIK.bmp", "BMP"));

  ui::TAboutBoxDialog dialog;
  EXPECT_EQ(dialog.height(), kAboutHeightWithLogo);
  EXPECT_FALSE(dialog.label("dealer")->pixmap().isNull());
  EXPECT_EQ(dialog.label("dealer")->toolTip(), kTarvikWebAddress);
  EXPECT_EQ(dialog.label("lWww")->text(), kTarvikWebAddress);
  EXPECT_EQ(dialog.label("Labelmodel")->text(), Tr("About", "Labelmodel.caption"));

  dialog.show();
  EXPECT_FALSE(dialog.label("Labelprod")->isVisible());
  EXPECT_FALSE(dialog.label("prod")->isVisible());
  EXPECT_TRUE(dialog.label("dealer")->isVisible());
  EXPECT_TRUE(dialog.label("lWww")->isVisible());
  // The other rows moved up by 10 pixels from a producer line's layout.
  EXPECT_EQ(dialog.label("model")->y(), dialog.label("Labelprod")->y() + 20 - 10);

  // Without a machine link the values say so.
  EXPECT_EQ(dialog.label("ilpl")->text(), Tr("About", "brakDanych"));
  EXPECT_EQ(dialog.windowTitle(), Tr("About", "Caption"));

  // The link and the logo open the address and leave the box open.
  Press(dialog.label("lWww"));
  Press(dialog.label("dealer"));
  EXPECT_EQ(opened_, (QStringList{kTarvikWebAddress, kTarvikWebAddress}));
  EXPECT_TRUE(dialog.isVisible());
}

TEST_F(AboutBoxUi, AnUnreadableLogoKeepsTheSmallBox) {
  ASSERT_TRUE(test::WriteAll(ExeDir + ".bmp", "BM not a bitmap"));
  ui::TAboutBoxDialog dialog;
  EXPECT_EQ(dialog.height(), kAboutHeight);
  dialog.show();
  EXPECT_FALSE(dialog.label("dealer")->isVisible());
  EXPECT_TRUE(dialog.label("prod")->isVisible());
  EXPECT_EQ(dialog.label("lWww")->text(), kMakerWebAddress);
}

TEST_F(AboutBoxUi, AnyClickOrKeyClosesTheBox) {
  ui::TAboutBoxDialog dialog;
  auto* group = dialog.findChild<QGroupBox*>("GroupBox1");
  ASSERT_NE(group, nullptr);
  const std::vector<std::function<void()>> closers = {
      [&] { Press(&dialog); },
      [&] { Press(group); },
      [&] { Press(dialog.label("prod")); },  // a label inside the group box
      [&] {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
        QApplication::sendEvent(&dialog, &key);
      },
  };
  for (std::size_t i = 0; i < closers.size(); ++i) {
    SCOPED_TRACE(i);
    dialog.show();
    ASSERT_TRUE(dialog.isVisible());
    closers[i]();
    EXPECT_FALSE(dialog.isVisible());
  }
  EXPECT_TRUE(opened_.isEmpty());
}

TEST_F(AboutBoxUi, EveryTextFitsItsLabelInBothLanguages) {
  for (const char* file : {"Velmarosta_US.xml", "Velmarosta_PL.xml"}) {
    SCOPED_TRACE(file);
    ASSERT_TRUE(InstallLanguageFile(test::DataPath(QStringLiteral("../../lang/") + file)));
    ui::TAboutBoxDialog dialog;
    dialog.show();
    QApplication::processEvents();
    for (QLabel* l : dialog.findChildren<QLabel*>()) {
      if (!l->isVisible() || l->text().isEmpty()) continue;
      EXPECT_LE(l->sizeHint().width(), l->width()) << l->objectName().toStdString();
      EXPECT_LE(l->mapTo(&dialog, QPoint(l->width(), 0)).x(), dialog.width())
          << l->objectName().toStdString();
    }
    dialog.close();
  }
}

}  // namespace
}  // namespace vm
