// The serial-cut generator dialog on the main window: a tiny model generated
// into one prepared project window per step; keys and closing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include "../model3d/gen_fixture.h"
#include "drawing/definicje.h"
#include "drawing/figury.h"
#include "model3d/silhouette_grid.h"
#include "model3d/ui/generator_dialog.h"
#include "project/ciecie.h"
#include "project/okno_plt.h"
#include "project/ui/project_window.h"
#include "shell/global_record.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "shell/message_recorder.h"
#include "shell/ui/fltedit_widget.h"
#include "shell/ui/main_window.h"
#include "support/test_support.h"

namespace vm::ui {
namespace {

class GenSerDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QLocale::setDefault(QLocale::c());
    ResetDlgkonfig();
    ResetDrawingGlobals();
    ResetGridGlobals();
    ResetGeneratorGlobals();
    ResetGlobalSettings();
    ASSERT_TRUE(InstallLanguageFile(test::DataPath("../../lang/Velmarosta_US.xml")));
    InstallPlainCutting();
  }
  void TearDown() override {
    ResetProjectHooks();
    InstallInterfejs(nullptr);
    ResetDlgkonfig();
    ResetDrawingGlobals();
    ResetGridGlobals();
    ResetGeneratorGlobals();
    ResetGlobalSettings();
  }
  ScopedMessageRecorder messages;
  QTemporaryDir dir;
};

TEST_F(GenSerDialogTest, TinyModelBecomesOnePreparedProjectWindowPerStep) {
  const QString file = dir.filePath("cube.raw");
  ASSERT_TRUE(test::WriteAll(file, test::BoxRaw(0, 0, 0, 4, 6, 4)));
  TMainForm main;
  main.TranslateForm();
  TfGenSerDialog dialog(&main);
  TfGenSer& gen = dialog.form();
  gen.hooks.ChooseFile = [&](const TModelFileRequest&) { return file; };
  EXPECT_EQ(dialog.windowTitle(), Tr("Main_window", "miGenSeryjnego3D.caption").remove(u'&'));
  EXPECT_FALSE(dialog.generateButton()->isEnabled());
  EXPECT_FALSE(dialog.infoButton()->isEnabled());
  EXPECT_FALSE(dialog.keepClosedBox()->isVisibleTo(&dialog));

  dialog.fileButton()->click();
  ASSERT_TRUE(test::SpinUntil([&] { return gen.Reader() == nullptr; }));
  EXPECT_EQ(dialog.fileEdit()->text(), file);
  EXPECT_TRUE(dialog.generateButton()->isEnabled());
  EXPECT_TRUE(dialog.infoButton()->isEnabled());

  gen.feIloscObrotow.SetValue(6);
  dialog.generateButton()->click();
  EXPECT_FALSE(dialog.generateButton()->isEnabled());
  EXPECT_FALSE(dialog.fileButton()->isEnabled());
  ASSERT_TRUE(test::SpinUntil([&] { return !gen.Running; }));
  // Without a display the viewer can only say that it has no GL context.
  for (const MessageRequest& r : messages.requests)
    if (r.text != Tr("SerialCutFrom3D", "brakOpenGL")) ADD_FAILURE() << r.text.toStdString();

  const QList<ProjectWindow*> projects = main.Projects();
  ASSERT_EQ(projects.size(), 6);
  for (int k = 0; k < 6; ++k) {
    SCOPED_TRACE(k);
    const TMDIChild& p = projects[k]->project();
    EXPECT_EQ(projects[k]->windowTitle(), QString("cube [%1 st]").arg(30 * k));
    EXPECT_EQ(p.PassNumber, k + 1);
    ASSERT_GE(p.FigureCount(), 1);
    // The traced outline lies on cell points inside the grid, and the
    // plain-cutting preparation ran over it.
    const tfigura& outline = *p.Figures[0];
    ASSERT_GE(outline.Points.size(), 3u);
    for (const TPointI& q : outline.Points) {
      EXPECT_TRUE(q.X % 8 == 0 && q.Y % 8 == 0);
      EXPECT_TRUE(q.X >= 0 && q.X <= 8 * GridCols && q.Y >= 0 && q.Y <= 8 * GridRows);
    }
    EXPECT_GT(p.PathLength, 0);
    EXPECT_EQ(p.Width, p.MaxX - p.MinX);
  }
  EXPECT_EQ(Dlgkonfig().Mode.ItemIndex(), 3);
  EXPECT_TRUE(ModelCutOffAtEnd);
  EXPECT_FALSE(dialog.isVisible());  // closed when all steps are done
  EXPECT_TRUE(dialog.generateButton()->isEnabled());

  // A model chosen while the series is open asks first; No keeps the
  // windows and reads nothing.
  auto questions = [&] {
    QStringList q;
    for (const MessageRequest& r : messages.requests)
      if (r.confirmation) q << r.text;
    return q;
  };
  messages.answers.push_back(ModalResult::No);
  dialog.fileButton()->click();
  EXPECT_EQ(questions(), QStringList{Tr("SerialCutFrom3D", "zamknacOknaProjektow")});
  EXPECT_EQ(gen.Reader(), nullptr);
  EXPECT_EQ(main.Projects().size(), 6);
  // Yes closes them and reads; the info button stays off while it does.
  messages.answers.push_back(ModalResult::Yes);
  dialog.fileButton()->click();
  ASSERT_NE(gen.Reader(), nullptr);
  EXPECT_FALSE(dialog.infoButton()->isEnabled());
  ASSERT_TRUE(test::SpinUntil([&] { return gen.Reader() == nullptr; }));
  EXPECT_EQ(questions().size(), 2);
  EXPECT_TRUE(test::SpinUntil([&] { return main.Projects().isEmpty(); }));
  EXPECT_TRUE(dialog.infoButton()->isEnabled());
}

TEST_F(GenSerDialogTest, ATypedNameThatDoesNotExistIsReportedInTheProgramsWords) {
  TMainForm main;
  TfGenSerDialog dialog(&main);
  TModelFileRequest r;
  r.Title = QStringLiteral("Choose");
  r.DefaultExt = QStringLiteral("raw");
  r.Filter = QStringLiteral("Models (*.raw)|*.raw|All (*.*)|*.*");
  r.InitialDir = dir.path();
  QStringList filters;
  QTimer::singleShot(0, [&] {
    auto* open = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(open, nullptr);
    filters = open->nameFilters();
    open->selectFile(QStringLiteral("missing"));
    // A refusal would come as the dialog's own message box: close it.
    QTimer::singleShot(0, [] {
      QWidget* box = QApplication::activeModalWidget();
      if (box != nullptr && box->inherits("QMessageBox")) box->close();
    });
    static_cast<QDialog*>(open)->accept();  // the dialog's own check of the name
    if (open->isVisible()) open->reject();  // refused: the test fails instead of waiting
  });
  const QString chosen = dialog.form().hooks.ChooseFile(r);
  EXPECT_EQ(filters, (QStringList{"Models (*.raw)", "All (*.*)"}));
  EXPECT_EQ(chosen, dir.filePath("missing.raw"));
  dialog.form().CzytajModel(chosen);
  ASSERT_FALSE(messages.requests.isEmpty());
  EXPECT_EQ(messages.lastText(), Tr("Universal", "txtPlikuBrak") + "\r\n" + chosen);
}

TEST_F(GenSerDialogTest, KeysReachTheFormBeforeItsControls) {
  TMainForm main;
  TfGenSerDialog dialog(&main);
  int chosen = 0;
  dialog.form().hooks.ChooseFile = [&](const TModelFileRequest&) {
    ++chosen;
    return QString();
  };
  dialog.show();
  auto press = [](QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent e(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(w, &e);
  };
  press(dialog.stepsEdit()->Field(), Qt::Key_F3);
  EXPECT_EQ(chosen, 1);
  press(dialog.stepsEdit()->Field(), Qt::Key_F12,
        Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
  EXPECT_TRUE(dialog.keepClosedBox()->isVisible());
  dialog.keepClosedBox()->click();
  EXPECT_TRUE(dialog.form().cbZostawZamknieteFig.Checked());
  press(dialog.stepsEdit()->Field(), Qt::Key_Escape);
  EXPECT_FALSE(dialog.isVisible());
}

}  // namespace
}  // namespace vm::ui
