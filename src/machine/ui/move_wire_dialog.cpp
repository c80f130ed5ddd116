#include "machine/ui/move_wire_dialog.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "machine/ui/event_abort_probe.h"
#include "shell/interfejs.h"
#include "shell/ui/fltedit_widget.h"
#include "shell/ui/konfig_widgets.h"

namespace vm::ui {

MoveWireDialog::MoveWireDialog(Tprzesun& form, QWidget* parent) : QDialog(parent), form_(form) {
  setObjectName(QStringLiteral("przesun"));
  setModal(true);
  if (Interfejs() && Interfejs()->RightToLeft()) setLayoutDirection(Qt::RightToLeft);

  form_.FormCreate();
  setWindowTitle(form_.Caption);

  przesun_ = new TRadioGroupWidget(form_.Przesun, this);
  deltaX_ = new TFltEditWidget(form_.delta_x, this);
  deltaY_ = new TFltEditWidget(form_.delta_y, this);
  deltaZ_ = new TFltEditWidget(form_.delta_z, this);
  label4_ = new QLabel(form_.Label4Caption, this);
  label4_->setObjectName(QStringLiteral("Label4"));
  label5_ = new QLabel(form_.Label5Caption, this);
  label5_->setObjectName(QStringLiteral("Label5"));

  auto* edits = new QGridLayout;
  const struct {
    const char* name;
    const char* text;
    TFltEditWidget* edit;
    QLabel* unit;
  } rows[] = {{"Label1", "&X=", deltaX_, label4_},
              {"Label2", "&Y=", deltaY_, label5_},
              {"Label3", "&Z=", deltaZ_, new QLabel(QStringLiteral("°"), this)}};
  for (int r = 0; r < 3; ++r) {
    auto* label = new QLabel(QString::fromUtf8(rows[r].text), this);
    label->setObjectName(QString::fromLatin1(rows[r].name));
    label->setBuddy(rows[r].edit);
    edits->addWidget(label, r, 0);
    edits->addWidget(rows[r].edit, r, 1);
    edits->addWidget(rows[r].unit, r, 2);
    rows[r].edit->installEventFilter(this);
    rows[r].edit->Field()->installEventFilter(this);
  }

  wykonaj_ = new QPushButton(form_.WykonajCaption, this);
  wykonaj_->setObjectName(QStringLiteral("Wykonaj"));
  wykonaj_->setDefault(true);
  auto* cancel = new QPushButton(form_.CancelCaption, this);
  cancel->setObjectName(QStringLiteral("cancel"));
  test_ = new QPushButton(form_.TestCaption, this);
  test_->setObjectName(QStringLiteral("test"));
  testGrzalki_ = new QPushButton(form_.TestGrzalkiCaption, this);
  testGrzalki_->setObjectName(QStringLiteral("TestGrzalki"));
  connect(wykonaj_, &QPushButton::clicked, this, [this] { form_.WykonajClick(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(test_, &QPushButton::clicked, this, [this] { form_.testClick(); });
  connect(testGrzalki_, &QPushButton::clicked, this, [this] { form_.TestGrzalkiClick(); });

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(test_);
  buttons->addWidget(testGrzalki_);
  buttons->addStretch();
  buttons->addWidget(wykonaj_);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(przesun_);
  layout->addLayout(edits);
  layout->addLayout(buttons);

  form_.hooks.Close = [this](ModalResult result) { done(static_cast<int>(result)); };
  form_.hooks.SetWaitCursor = [] { QApplication::setOverrideCursor(Qt::WaitCursor); };
  form_.hooks.RestoreCursor = [] { QApplication::restoreOverrideCursor(); };
  form_.hooks.MakeAbortProbe = [] { return std::make_unique<EventAbortProbe>(); };
}

MoveWireDialog::~MoveWireDialog() { form_.hooks = {}; }

void MoveWireDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  form_.FormActivate();
  label4_->setText(form_.Label4Caption);
  label5_->setText(form_.Label5Caption);
}

bool MoveWireDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      form_.delta_xKeyDown(Tprzesun::kKeyEnter);
      return true;
    }
    if (key == Qt::Key_Escape) {
      form_.delta_xKeyDown(Tprzesun::kKeyEscape);
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace vm::ui
