#include "shell/ui/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QToolButton>

#include "drawing/definicje.h"
#include "platform/country_code.h"
#include "platform/shell_open.h"
#include "project/ui/project_window.h"
#include "shell/global_record.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "shell/message_recorder.h"
#include "shell/options.h"
#include "support/test_support.h"

namespace vm::ui {
namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDlgkonfig();
    ResetCommandLine();
    ResetGlobalSettings();
    ASSERT_TRUE(InstallLanguageFile(QStringLiteral("Velmarosta_US.xml")));
  }
  void TearDown() override {
    ResetGlobalSettings();
    ResetDrawingGlobals();
    InstallInterfejs(nullptr);
    ResetDlgkonfig();
  }
  ScopedMessageRecorder messages;
};

TEST_F(MainWindowTest, SerialFolderOpensOneWindowPerPassLowestActive) {
  QTemporaryDir dir;
  for (const char* n : {"0a.plt", "2.plt", "10.plt", "readme.plt", "10000.plt"}) {
    ASSERT_TRUE(test::WriteAll(dir.filePath(QString::fromLatin1(n)),
                               "IN;PU0,0;PD400,0,400,400,0,400,0,0;PU;"));
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

TEST_F(MainWindowTest, RightToLeftMenuAndButtonsRunFromTheRightEdge) {
  platform::SetCountryCodeOverride(966);
  auto lang = std::make_unique<tInterfejs>();
  ASSERT_TRUE(lang->DetectLanguage(966));
  InstallInterfejs(std::move(lang));
  TMainForm form;
  form.TranslateForm();
  form.showMaximized();  // as at every activation
  QCoreApplication::processEvents();
  EXPECT_EQ(form.layoutDirection(), Qt::RightToLeft);
  EXPECT_TRUE(form.windowTitle().startsWith("Velmarosta   "));

  // The menu reads from the right: File rightmost, then each next item to the
  // left of the one before it.
  QMenuBar* bar = form.menuBar();
  int previousLeft = bar->width() + 1;
  for (const char* name : {"File1", "Cicie1", "sterowanie", "Konfiguracja", "Window1"}) {
    const QRect r = bar->actionGeometry(form.action(name));
    EXPECT_LT(r.right(), previousLeft) << name;
    previousLeft = r.left();
  }
  EXPECT_GT(bar->actionGeometry(form.action("File1")).right(), bar->width() * 3 / 4);

  // The tool buttons are mirrored and stand at the right: OpenBtn rightmost.
  int previousRight = form.width() + 1;
  for (const char* name : {"OpenBtn", "SpeedSymulacja", "SpeedStart", "SpeedStop", "Skont"}) {
    QToolButton* b = form.button(name);
    const int right = b->mapTo(&form, QPoint(b->width(), 0)).x();
    EXPECT_LT(right, previousRight) << name;
    previousRight = right - b->width();
  }
  EXPECT_GT(form.button("OpenBtn")->mapTo(&form, QPoint(0, 0)).x(), form.width() * 3 / 4);

  // A new project window opens whole inside the work space, at its right.
  form.CreateMDIChild();
  QCoreApplication::processEvents();
  const QRect area = form.mdiArea()->viewport()->rect();
  const QRect sub = form.mdiArea()->subWindowList().front()->geometry();
  EXPECT_TRUE(area.contains(sub)) << sub.x() << "," << sub.y() << " " << sub.width() << "x"
                                  << sub.height() << " in " << area.width() << "x" << area.height();
  EXPECT_EQ(sub.right(), area.right());

  platform::SetCountryCodeOverride(std::nullopt);
  qApp->setLayoutDirection(Qt::LeftToRight);
}

TEST_F(MainWindowTest, LeftToRightMenuStartsWithFileAtTheLeft) {
  TMainForm form;
  form.TranslateForm();
  form.showMaximized();  // as at every activation
  QCoreApplication::processEvents();
  QMenuBar* bar = form.menuBar();
  EXPECT_LT(bar->actionGeometry(form.action("File1")).left(),
            bar->actionGeometry(form.action("Window1")).left());
  EXPECT_LT(form.button("OpenBtn")->mapTo(&form, QPoint(0, 0)).x(), form.width() / 4);
  EXPECT_EQ(form.action("File1")->text(), Tr("Main_window", "File1.Caption"));
  EXPECT_EQ(form.action("FileSaveAsHPGL")->text(), "Zapisz jako HPGL");
  EXPECT_EQ(form.action("miZaginaczProfili")->text(),
            Tr("Main_window", "miZaginaczProfili.caption") + " [beta]");
}

TEST_F(MainWindowTest, ProjectWhoseLoadFailsIsGoneAtOnce) {
  QTemporaryDir dir;
  const QString empty = dir.filePath("empty.plt");
  ASSERT_TRUE(test::WriteAll(empty, "IN;"));
  TMainForm form;
  form.TranslateForm();
  form.OpenProjectFile(empty, 1, false);
  // The load reported its reason; the window must not linger in the list
  // that Start, the serial cut and the enable rules read.
  EXPECT_FALSE(messages.requests.isEmpty());
  EXPECT_TRUE(form.Projects().isEmpty());
  EXPECT_FALSE(form.action("Start1")->isEnabled());
  EXPECT_FALSE(form.button("SpeedStart")->isEnabled());
}

TEST_F(MainWindowTest, OpeningRemembersTheFolderOnlyWhenAskedAndWhenItFits) {
  QTemporaryDir dir;
  const QString f = dir.filePath("a.plt");
  ASSERT_TRUE(test::WriteAll(f, "IN;PU0,0;PD400,0,400,400,0,400,0,0;PU;"));
  const QString longFolder = dir.filePath(QString(90, u'd'));
  const QString g = longFolder + "/b.plt";
  ASSERT_TRUE(test::WriteAll(g, "IN;PU0,0;PD400,0,400,400,0,400,0,0;PU;"));
  GlobalSettings().LastOpenDir = "/before";
  TMainForm form;
  form.TranslateForm();
  form.OpenProjectFile(f, 1, false);
  EXPECT_EQ(GlobalSettings().LastOpenDir, "/before");
  form.OpenProjectFile(f, 1, true);
  EXPECT_EQ(GlobalSettings().LastOpenDir, dir.path());
  // A folder too long for the record is not stored cut off: the last one stays.
  form.OpenProjectFile(g, 1, true);
  EXPECT_EQ(GlobalSettings().LastOpenDir, dir.path());
  EXPECT_EQ(form.Projects().size(), 3);
}

TEST_F(MainWindowTest, CloseItemClosesTheCurrentProjectWithoutFocus) {
  QTemporaryDir dir;
  const QString f = dir.filePath("a.plt");
  ASSERT_TRUE(test::WriteAll(f, "IN;PU0,0;PD400,0,400,400,0,400,0,0;PU;"));
  TMainForm form;
  form.TranslateForm();
  form.OpenProjectFile(f, 1, false);
  form.OpenProjectFile(f, 1, false);
  const QList<ProjectWindow*> before = form.Projects();
  ASSERT_EQ(before.size(), 2);
  EXPECT_EQ(form.ActiveProject(), before[1]);
  form.FileCloseItemClick();
  ASSERT_EQ(form.Projects().size(), 1);
  EXPECT_EQ(form.Projects()[0], before[0]);
  form.FileCloseItemClick();
  EXPECT_TRUE(form.Projects().isEmpty());
  EXPECT_FALSE(form.action("FileCloseItem")->isEnabled());
}

TEST_F(MainWindowTest, DocumentsBesideTheProgram) {
  QTemporaryDir dir;
  ExeDir = dir.path() + "/";
  QStringList opened;
  bool openWorks = false;
  // Restored however the test ends: the handler refers to locals.
  struct Restore {
    platform::ShellOpenFn previous;
    ~Restore() { platform::SetShellOpenHandler(std::move(previous)); }
  } restore{platform::SetShellOpenHandler([&](const QString& target) {
    opened.append(target);
    return openWorks;
  })};
  TMainForm form;
  form.TranslateForm();
  const QString catalogueText = Tr("Main_window", "miKatalog.Caption");
  EXPECT_EQ(form.action("miKatalog")->text(), "Corvanta " + catalogueText);

  // Nothing installed: the items are hidden, and the commands say what is missing.
  EXPECT_FALSE(form.action("miInstrObslugi")->isVisible());
  EXPECT_FALSE(form.action("miPrzyklady")->isVisible());
  EXPECT_FALSE(form.action("miKatalog")->isVisible());
  form.miInstrObslugiClick();
  ASSERT_EQ(messages.requests.size(), 1);
  EXPECT_EQ(messages.requests[0].text, Tr("Main_window", "brakPlikuInstrukcji") + "\r\n" +
                                           dir.filePath("Quorlin_manual_US.pdf"));
  EXPECT_EQ(messages.requests[0].icon, MessageIcon::Error);
  form.miPrzykladyClick();
  ASSERT_EQ(messages.requests.size(), 2);
  EXPECT_EQ(messages.requests[1].text, Tr("Main_window", "SampleNotInstaled"));
  EXPECT_EQ(messages.requests[1].icon, MessageIcon::Information);
  EXPECT_TRUE(opened.isEmpty());

  // The manual installed: shown, opened by the shell; a shell failure is reported.
  ASSERT_TRUE(test::WriteAll(dir.filePath("Quorlin_manual_US.pdf"), "%PDF"));
  ASSERT_TRUE(QDir(dir.path()).mkdir("Samples"));
  form.UpdateMenuItems();
  EXPECT_TRUE(form.action("miInstrObslugi")->isVisible());
  EXPECT_TRUE(form.action("miPrzyklady")->isVisible());
  form.miInstrObslugiClick();
  EXPECT_EQ(opened, QStringList{dir.filePath("Quorlin_manual_US.pdf")});
  ASSERT_EQ(messages.requests.size(), 3);
  EXPECT_EQ(messages.requests[2].text, Tr("Main_window", "brakAcrobatReadera"));
  openWorks = true;
  form.miInstrObslugiClick();
  EXPECT_EQ(messages.requests.size(), 3);

  // A dealer with a catalogue of its own names it in the item.
  SetCommandLine({"D:acme"});
  ASSERT_TRUE(test::WriteAll(dir.filePath("Catalogue_US_ACME.pdf"), "%PDF"));
  form.TranslateForm();
  EXPECT_EQ(form.action("miKatalog")->text(), "ACME " + catalogueText);
  EXPECT_TRUE(form.action("miKatalog")->isVisible());
}

}  // namespace
}  // namespace vm::ui
