// Right-to-left layout of the main menu and tool panel, and the on-screen
// message box behind the message handler.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "drawing/definicje.h"
#include "shell/interfejs.h"
#include "shell/message_recorder.h"
#include "shell/options.h"
#include "shell/ui/interfejs_ui.h"
#include "shell/ui/message_box_ui.h"
#include "support/test_support.h"

namespace vm {
namespace {

QStringList TopLevelTitles(QMenuBar* bar) {
  QStringList titles;
  for (QAction* a : bar->actions()) titles << a->text();
  return titles;
}

TEST(RightToLeft, Country966ReversesMenuAndMirrorsTools) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  ExeDir = dir.path() + "/";
  ASSERT_TRUE(test::WriteAll(ExeDir + "Velmarosta_US.xml",
                             "<interface name=\"Velmarosta\" version=\"1.0\"/>"));
  ScopedMessageRecorder rec;
  tInterfejs t;
  ASSERT_TRUE(t.DetectLanguage(966));
  ASSERT_EQ(t.CountryCode(), 966);
  t.SetRightToLeft(t.CountryCode() == 966);
  ASSERT_TRUE(t.RightToLeft());

  QMainWindow window;
  window.setLayoutDirection(Qt::RightToLeft);
  QMenuBar* bar = window.menuBar();
  QMenu* file = bar->addMenu("File");
  file->addAction("Open");
  file->addAction("Exit");
  bar->addMenu("Cutting");
  bar->addAction("Control");
  bar->addMenu("Window");

  QWidget panel;
  panel.resize(200, 30);
  QWidget* open = new QWidget(&panel);
  open->setGeometry(0, 0, 25, 25);
  QWidget* start = new QWidget(&panel);
  start->setGeometry(30, 0, 40, 25);
  QWidget* nested = new QWidget(start);
  nested->setGeometry(2, 2, 10, 10);

  ui::ReverseMenu(bar);
  ui::MirrorControls(&panel);

  EXPECT_EQ(TopLevelTitles(bar), QStringList({"Window", "Control", "Cutting", "File"}));
  EXPECT_EQ(bar->layoutDirection(), Qt::RightToLeft);
  QStringList fileItems;
  for (QAction* a : file->actions()) fileItems << a->text();
  EXPECT_EQ(fileItems, QStringList({"Open", "Exit"}));
  EXPECT_EQ(open->x(), 175);
  EXPECT_EQ(start->x(), 130);
  EXPECT_EQ(nested->x(), 2);

  QMenuBar empty;
  ui::ReverseMenu(&empty);  // nothing to do, nothing breaks
  EXPECT_TRUE(empty.actions().isEmpty());
  ResetDrawingGlobals();
}

// Presses the button with `text` of the first modal message box shown.
void PressWhenShown(const QString& text, QString* seenTitle, QString* seenText,
                    Qt::LayoutDirection* seenDirection) {
  QTimer::singleShot(0, [=] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) {
      PressWhenShown(text, seenTitle, seenText, seenDirection);
      return;
    }
    *seenTitle = box->windowTitle();
    *seenText = box->text();
    *seenDirection = box->layoutDirection();
    for (QAbstractButton* b : box->buttons()) {
      if (box->standardButton(b) == (text == "No"   ? QMessageBox::No
                                     : text == "Ok" ? QMessageBox::Ok
                                                    : QMessageBox::Yes)) {
        b->click();
        return;
      }
    }
    box->reject();
  });
}

TEST(MessageBoxUi, ShowsRequestAndReturnsPressedButton) {
  MessageHandler previous = SetMessageHandler({});
  ui::InstallMessageBoxHandler();
  auto t = std::make_unique<tInterfejs>();
  t->SetRightToLeft(true);
  InstallInterfejs(std::move(t));

  QString title, text;
  Qt::LayoutDirection direction = Qt::LeftToRight;
  PressWhenShown("No", &title, &text, &direction);
  EXPECT_EQ(ConfirmDialog("Save?\r\nNow", MsgButton::Yes | MsgButton::No), ModalResult::No);
  EXPECT_EQ(text, "Save?\nNow");
  EXPECT_EQ(direction, Qt::RightToLeft);

  InstallInterfejs(nullptr);
  PressWhenShown("Ok", &title, &text, &direction);
  ShowMessageBox("Broken", true);
  EXPECT_EQ(title, "Error");
  EXPECT_EQ(direction, Qt::LeftToRight);
  SetMessageHandler(std::move(previous));
}

}  // namespace
}  // namespace vm
