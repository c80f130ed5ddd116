// The model info window shows the core texts when shown and closes on Esc.
#include "model3d/ui/model_info_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTemporaryDir>

#include "drawing/definicje.h"
#include "shell/fltedit_format.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "support/test_support.h"

namespace vm {
namespace {

TEST(ModelInfoDialog, ShowsTheHeldModelAndClosesOnEsc) {
  ResetDlgkonfig();
  ResetDrawingGlobals();
  ASSERT_TRUE(InstallLanguageFile(test::DataPath("../../lang/Velmarosta_US.xml")));
  QTemporaryDir dir;
  TModel model;
  model.FileName = dir.filePath("part.raw");
  ASSERT_TRUE(test::WriteAll(model.FileName, QByteArray(1500, ' ')));
  model.MinX = -5;
  model.MaxX = 95;
  Dlgkonfig().radiounit.SetItemIndex(1);
  {
    ui::TfModelInfoDialog dialog;
    dialog.form().Model = model;
    EXPECT_EQ(dialog.size(), QSize(275, 385));
    EXPECT_EQ(dialog.label("lXminJm")->text(), "[jm]");
    dialog.show();
    const QString dp(LocaleDecimalPoint());
    EXPECT_EQ(dialog.windowTitle(), Tr("ModelInfo", "caption"));
    EXPECT_EQ(dialog.label("lZrodlo")->text(), Tr("ModelInfo", "lZrodlo.Caption"));
    EXPECT_EQ(dialog.label("pZrodlo")->text(), "part.raw");
    EXPECT_EQ(dialog.label("pZrodlo")->toolTip(), model.FileName);
    EXPECT_EQ(dialog.label("lRozmiarPliku")->text(), "1KB");
    EXPECT_EQ(dialog.label("pSzerokoscX")->text(), "3" + dp + "94 ");
    EXPECT_EQ(dialog.label("lXminJm")->text(), " [" + Dlgkonfig().radiounit.Items()[1] + "]");
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &esc);
    EXPECT_FALSE(dialog.isVisible());
  }
  InstallInterfejs(nullptr);
  ResetDlgkonfig();
  ResetDrawingGlobals();
}

}  // namespace
}  // namespace vm
