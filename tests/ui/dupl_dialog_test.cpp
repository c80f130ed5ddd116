// The duplication dialog on the main window: its texts, Enter and Escape, and
// the new project window it makes.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include "drawing/definicje.h"
#include "project/ui/duplication_dialog.h"
#include "project/ui/project_window.h"
#include "shell/fltedit_format.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "shell/message_recorder.h"
#include "shell/options.h"
#include "shell/ui/fltedit_widget.h"
#include "shell/ui/main_window.h"

namespace vm::ui {
namespace {

void PressKey(QWidget* w, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(w, &press);
}

class GeneratorDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDlgkonfig();
    ResetDrawingGlobals();
    ResetCommandLine();
    ResetProjectHooks();
    ASSERT_TRUE(InstallLanguageFile(QStringLiteral("Velmarosta_US.xml")));
    main.TranslateForm();
    source = main.CreateMDIChild();
    auto f = std::make_unique<tfigura>();
    f->Points = {{0, 0}, {400, 0}, {400, 200}, {0, 200}, {0, 0}};
    source->project().AddFigure(std::move(f));
    source->project().Ustaw_PPiPK();
    source->project().Caption = dir.filePath("part.plt");
    source->syncCaption();
  }
  void TearDown() override {
    InstallInterfejs(nullptr);
    ResetDlgkonfig();
  }
  ScopedMessageRecorder messages;
  QTemporaryDir dir;
  TMainForm main;
  ProjectWindow* source = nullptr;
};

TEST_F(GeneratorDialogTest, DuplicationShowsThePatternAndEnterMakesTheDuplicate) {
  TfParDupDialog dlg(&main);
  EXPECT_EQ(dlg.windowTitle(), Tr("Duplication_parameters", "fParDup.caption"));
  EXPECT_EQ(dlg.label("lIloscWierszy")->text(),
            Tr("Duplication_parameters", "lIloscWierszy.Caption"));
  dlg.setSource(source->project());
  dlg.show();
  const QString dp(LocaleDecimalPoint());
  EXPECT_EQ(dlg.fileEdit()->text(), dir.filePath("part.plt"));
  EXPECT_EQ(dlg.label("pWzorzecSzerokosc")->text(), "10" + dp + "0 ");
  EXPECT_EQ(dlg.label("lCalyWys")->text(), "[mm]");
  EXPECT_EQ(dlg.label("pCalySzer")->text(), "40" + dp + "0 ");

  dlg.form().feIloscWierszy.SetValue(3);
  EXPECT_EQ(dlg.label("pCalyWys")->text(), "45" + dp + "0 ");
  dlg.form().feuPrzesMdzyWierszami.DoEnter();
  EXPECT_TRUE(dlg.label("lPrzesMdzyWierszami2")->font().bold());

  PressKey(dlg.edit("feIloscWierszy")->Field(), Qt::Key_Return);
  EXPECT_TRUE(messages.requests.isEmpty());
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  const QList<ProjectWindow*> projects = main.Projects();
  ASSERT_EQ(projects.size(), 2);
  EXPECT_EQ(projects[1]->windowTitle(), dir.filePath("part.dpl"));
  EXPECT_EQ(projects[1]->project().FigureCount(), 2 * 3 + 1);
  // A duplicate is not duplicated again.
  EXPECT_FALSE(main.action("miDuplikujPlt")->isEnabled());
}

TEST_F(GeneratorDialogTest, DuplicationEditsShowWholeValuesBesideTheLongestCaptions) {
  // The Polish captions are the longest: the edits beside them must still
  // show a value of several digits whole.
  ASSERT_TRUE(InstallLanguageFile(QStringLiteral("Velmarosta_PL.xml")));
  TfParDupDialog dlg(&main);
  dlg.form().feIloscElemWWierszu.SetValue(1234);
  for (TFltEditU* e :
       {&dlg.form().feuPrzesuniecieMdzyElem, &dlg.form().feuOdlMdzyEl_i_laczPionowym})
    e->SetValue(12345.67);
  dlg.show();
  QApplication::processEvents();
  for (const char* name :
       {"feIloscElemWWierszu", "feuPrzesuniecieMdzyElem", "feuOdlMdzyEl_i_laczPionowym"}) {
    QLineEdit* field = dlg.edit(name)->Field();
    EXPECT_GE(field->width(), field->fontMetrics().horizontalAdvance(field->text()) + 4)
        << name << " \"" << field->text().toStdString() << "\"";
  }
  dlg.close();
}

TEST_F(GeneratorDialogTest, DuplicationEscapeMakesNothing) {
  TfParDupDialog dlg(&main);
  dlg.setSource(source->project());
  dlg.show();
  PressKey(dlg.edit("feuPrzesuniecieMdzyElem")->Field(), Qt::Key_Escape);
  EXPECT_EQ(dlg.result(), QDialog::Rejected);
  EXPECT_EQ(main.Projects().size(), 1);
  EXPECT_FALSE(QFile::exists(dir.filePath("part.dpl")));
}

}  // namespace
}  // namespace vm::ui
