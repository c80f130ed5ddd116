// The manual control window: position, speed and power bars, jog buttons,
// heating toggle, homing and the entries into the move and base-point
// dialogs. It binds the core logic (machine/manual_control.h): shows its
// state, forwards keys, clicks and window activation, and lends it the event
// queue, the cursor and the window's showing and closing.
#pragma once

#include <QWidget>
#include <map>

#include "machine/manual_control.h"

class QAbstractButton;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollBar;
class QToolButton;

namespace vm::ui {

class ManualWindow : public QWidget {
  Q_OBJECT

 public:
  // Binds `form`, installs its hooks and runs its creation (which opens the
  // serial port).
  explicit ManualWindow(Tster& form, QWidget* parent = nullptr);
  ~ManualWindow() override;

  Tster& form() { return form_; }
  // Controls by their names ("ku", "VScroll", "wmx", ...), for tests.
  QWidget* control(const QString& name) const;

  // Shows the state held by the logic.
  void Refresh();

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  template <typename T>
  T* add(T* widget, const char* name);
  void bindJogButton(QToolButton* button, Tster::Button which);

  Tster& form_;
  std::map<QString, QWidget*> controls_;
  std::map<QObject*, Tster::Button> jogButtons_;
  QGroupBox* groupBox1_ = nullptr;
  QGroupBox* szybkosc_ = nullptr;
  QGroupBox* moc_ = nullptr;
  QLabel *wmx_ = nullptr, *wmy_ = nullptr, *wmz_ = nullptr;
  QLabel *speedlabel_ = nullptr, *powerLabel_ = nullptr, *chwilowaLabel_ = nullptr;
  QLabel* stanDrutu_ = nullptr;
  QScrollBar *vScroll_ = nullptr, *pScroll_ = nullptr, *chwilowa_ = nullptr;
  QToolButton *ku_ = nullptr, *kd_ = nullptr, *kl_ = nullptr, *kr_ = nullptr;
  QToolButton *kzu_ = nullptr, *kzd_ = nullptr, *kZalwyl_ = nullptr;
  QPushButton *kstop_ = nullptr, *bazuj_ = nullptr, *keyprzesun_ = nullptr, *base_ = nullptr,
              *zamknij_ = nullptr;
  bool refreshing_ = false;
  bool active_ = false;
};

}  // namespace vm::ui
