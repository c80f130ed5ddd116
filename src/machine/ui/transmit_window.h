// The job transmission window: a small modal dialog without a close box that
// shows the percent and kilobytes sent and an Abort button, and drives the
// core transmission (machine/transmit.h) from its show and hide events.
#pragma once

#include <QDialog>

#include "machine/transmit.h"

class QLabel;
class QPushButton;
class QSlider;

namespace vm::ui {

class TransmitWindow : public QDialog {
  Q_OBJECT

 public:
  // Binds `form`, runs its FormCreate and becomes the window that
  // vm::Ttransmisja::ShowModal shows (until it is destroyed).
  explicit TransmitWindow(Ttransmisja& form, QWidget* parent = nullptr);
  ~TransmitWindow() override;

  Ttransmisja& form() { return form_; }
  QLabel* poszlo() const { return poszlo_; }
  QSlider* trackBar() const { return trackBar_; }
  QPushButton* przerwij() const { return przerwij_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  // No close box and no Escape: the window ends itself.
  void reject() override {}

 private:
  void showProgress();

  Ttransmisja& form_;
  QLabel* poszlo_ = nullptr;
  QSlider* trackBar_ = nullptr;
  QPushButton* przerwij_ = nullptr;
  bool active_ = false;
  TransmissionShowHandler previousHandler_;
};

}  // namespace vm::ui
