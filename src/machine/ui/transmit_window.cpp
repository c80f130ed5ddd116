#include "machine/ui/transmit_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSlider>
#include <QTimer>

#include "shell/interfejs.h"

namespace vm::ui {

TransmitWindow::TransmitWindow(Ttransmisja& form, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), form_(form) {
  setObjectName(QStringLiteral("transmisja"));
  setModal(true);
  setFixedSize(320, 96);
  setCursor(Qt::WaitCursor);
  if (Interfejs() && Interfejs()->RightToLeft()) setLayoutDirection(Qt::RightToLeft);

  poszlo_ = new QLabel(QStringLiteral("0"), this);
  poszlo_->setObjectName(QStringLiteral("poszlo"));
  poszlo_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  poszlo_->setGeometry(120, 8, 40, 17);
  auto* percent = new QLabel(QStringLiteral("%"), this);
  percent->setObjectName(QStringLiteral("Label1"));
  percent->setGeometry(164, 8, 20, 17);

  trackBar_ = new QSlider(Qt::Horizontal, this);
  trackBar_->setObjectName(QStringLiteral("TrackBar1"));
  trackBar_->setEnabled(false);
  trackBar_->setTickPosition(QSlider::NoTicks);
  trackBar_->setGeometry(8, 30, 304, 24);

  przerwij_ = new QPushButton(this);
  przerwij_->setObjectName(QStringLiteral("Przerwij"));
  przerwij_->setGeometry(118, 60, 85, 29);
  connect(przerwij_, &QPushButton::clicked, this, [this] { form_.PrzerwijClick(); });

  form_.FormCreate();
  setWindowTitle(form_.Caption);
  przerwij_->setText(form_.PrzerwijCaption);

  form_.OnProgress = [this] { showProgress(); };
  form_.OnEnd = [this](ModalResult result) { done(static_cast<int>(result)); };
  previousHandler_ =
      SetTransmissionShowHandler([this](Ttransmisja&) { return static_cast<ModalResult>(exec()); });
}

TransmitWindow::~TransmitWindow() {
  form_.OnProgress = nullptr;
  form_.OnEnd = nullptr;
  SetTransmissionShowHandler(std::move(previousHandler_));
}

void TransmitWindow::showProgress() {
  poszlo_->setText(form_.poszlo);
  trackBar_->setRange(0, form_.TrackBarMax);
  trackBar_->setValue(form_.TrackBarPosition);
}

void TransmitWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous() || active_) return;
  active_ = true;
  // Centred on the screen, whatever window it belongs to.
  if (const QScreen* screen = this->screen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  // The caption may have been set for this transfer (the serial pass).
  setWindowTitle(form_.Caption);
  poszlo_->setText(QStringLiteral("0"));
  trackBar_->setValue(0);
  // Activated once the window is on the screen.
  QTimer::singleShot(0, this, [this] {
    if (active_) form_.FormActivate();
  });
}

void TransmitWindow::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (event->spontaneous() || !active_) return;
  active_ = false;
  form_.FormDeactivate();
}

void TransmitWindow::closeEvent(QCloseEvent* event) {
  if (!form_.Ended()) event->ignore();
}

}  // namespace vm::ui
