#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTemporaryDir>

#include "drawing/definicje.h"
#include "platform/country_code.h"
#include "project/ui/project_window.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "shell/message_recorder.h"
#include "shell/options.h"
#include "shell/ui/main_window.h"
#include "support/test_support.h"

namespace vm::ui {
namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDlgkonfig();
    ResetCommandLine();
    ASSERT_TRUE(InstallLanguageFile(QStringLiteral("Velmarosta_US.xml")));
  }
  void TearDown() override {
    InstallInterfejs(nullptr);
    ResetDlgkonfig();
  }
  ScopedMessageRecorder messages;
};

TEST_F(MainWindowTest, SerialFolderOpensOneWindowPerPassLowestActive) {
  QTemporaryDir dir;
  for (const char* n : {"0a.plt", "2.plt", "10.plt", "readme.plt", "10000.plt"}) {
    ASSERT_TRUE(test::WriteAll(dir.filePath(QString::fromLatin1(n)), "IN;PU0,0;PD400,0,400,400,0,400,0,0;PU;"));
  }
  Dlgkonfig().Mode.SetItemIndex(3);
  TMainForm form;
  form.TranslateForm();
  form.OpenProjectFile(dir.filePath("readme.plt"), 1, false);
  const QList<ProjectWindow*> projects = form.Projects();
  ASSERT_EQ(projects.size(), 3);
  // Created from the highest pass number down.
  EXPECT_EQ(projects[0]->project().PassNumber, 10);
  EXPECT_EQ(projects[1]->project().PassNumber, 2);
  EXPECT_EQ(projects[2]->project().PassNumber, 0);
  EXPECT_EQ(projects[2]->windowTitle(), "0a.plt");
  EXPECT_EQ(form.ActiveProject(), projects[2]);

  // Opening again replaces the windows instead of adding to them.
  form.OpenProjectFile(dir.filePath("2.plt"), 1, false);
  EXPECT_EQ(form.Projects().size(), 3);
}

TEST_F(MainWindowTest, MissingFileShowsTheMessageAndOpensNothing) {
  TMainForm form;
  form.TranslateForm();
  form.OpenProjectFile(QStringLiteral("/nonexistent/drawing.plt"), 1, true);
  EXPECT_TRUE(form.Projects().isEmpty());
  ASSERT_FALSE(messages.requests.isEmpty());
  EXPECT_TRUE(messages.lastText().startsWith(Tr("Universal", "zbioruNieMoznaOtworzyc")));
  EXPECT_TRUE(messages.lastText().endsWith("/nonexistent/drawing.plt"));
}

TEST_F(MainWindowTest, EnableRulesFollowTheProjectsAndTheMode) {
  QTemporaryDir dir;
  const QString f = dir.filePath("a.plt");
  ASSERT_TRUE(test::WriteAll(f, "IN;PU0,0;PD400,0,400,400,0,400,0,0;PU;"));
  TMainForm form;
  form.TranslateForm();
  EXPECT_FALSE(form.action("Start1")->isEnabled());
  EXPECT_FALSE(form.action("miDuplikujPlt")->isEnabled());
  form.OpenProjectFile(f, 1, false);
  ASSERT_EQ(form.Projects().size(), 1);
  form.UpdateMenuItems();
  EXPECT_TRUE(form.action("Start1")->isEnabled());
  EXPECT_TRUE(form.action("miDuplikujPlt")->isEnabled());
  form.ActiveProject()->project().Caption = "a.DPL";
  form.UpdateMenuItems();
  EXPECT_FALSE(form.action("miDuplikujPlt")->isEnabled());
  form.CloseAllClick();
  EXPECT_FALSE(form.action("Start1")->isEnabled());
}

TEST_F(MainWindowTest, ShortcutsAreUniqueAndF6ReachesTheGenerator) {
  TMainForm form;
  form.TranslateForm();
  EXPECT_EQ(form.action("miGenSeryjnego3D")->shortcut(), QKeySequence("F6"));
  EXPECT_TRUE(form.action("Konfiguracja")->shortcut().isEmpty());
  QMap<QString, QString> seen;
  for (QAction* a : form.findChildren<QAction*>()) {
    if (a->shortcut().isEmpty()) continue;
    const QString key = a->shortcut().toString();
    EXPECT_FALSE(seen.contains(key)) << key.toStdString() << " on " << a->objectName().toStdString()
                                     << " and " << seen.value(key).toStdString();
    seen[key] = a->objectName();
  }
  EXPECT_EQ(form.action("FileOpenItem")->shortcut(), QKeySequence("F3"));
  EXPECT_EQ(form.action("Kontynuacja1")->shortcut(), QKeySequence("Shift+F2"));
}

TEST_F(MainWindowTest, CaptionAndRightToLeftMenu) {
  platform::SetCountryCodeOverride(966);
  auto lang = std::make_unique<tInterfejs>();
  ASSERT_TRUE(lang->DetectLanguage(966));
  InstallInterfejs(std::move(lang));
  TMainForm form;
  const QList<QAction*> before = form.menuBar()->actions();
  form.TranslateForm();
  const QList<QAction*> after = form.menuBar()->actions();
  ASSERT_EQ(before.size(), after.size());
  for (qsizetype i = 0; i < before.size(); ++i) EXPECT_EQ(after[i], before[before.size() - 1 - i]);
  EXPECT_EQ(form.layoutDirection(), Qt::RightToLeft);
  EXPECT_TRUE(form.windowTitle().startsWith("Velmarosta   "));
  platform::SetCountryCodeOverride(std::nullopt);
  qApp->setLayoutDirection(Qt::LeftToRight);
}

}  // namespace
}  // namespace vm::ui
