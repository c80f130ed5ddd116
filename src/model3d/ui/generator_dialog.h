// The serial-cut generator dialog: the model file row, the 3D viewer, the
// step count, the options and the Generate and Cancel buttons around the core
// TfGenSer, with a status bar of three panels and a progress bar.
#pragma once

#include <QDialog>

#include "model3d/generator.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QToolButton;

namespace vm::ui {

class TFltEditWidget;
class TMainForm;
class TRAWviewWidget;

class TfGenSerDialog : public QDialog {
  Q_OBJECT

 public:
  // `main` provides the project windows; nullptr: the one main window.
  explicit TfGenSerDialog(TMainForm* main = nullptr, QWidget* parent = nullptr);
  ~TfGenSerDialog() override;

  TfGenSer& form() { return form_; }
  TRAWviewWidget* viewer() const { return viewer_; }
  QLineEdit* fileEdit() const { return ePlik_; }
  QPushButton* generateButton() const { return generate_; }
  QPushButton* cancelButton() const { return cancel_; }
  QToolButton* fileButton() const { return fileButton_; }
  QToolButton* infoButton() const { return infoButton_; }
  TFltEditWidget* stepsEdit() const { return steps_; }
  QCheckBox* keepClosedBox() const { return keepClosed_; }
  QLabel* statusPanel(int i) const { return panels_[i]; }
  QProgressBar* progressBar() const { return progress_; }

  // Closing goes through the generator's check (no close during a step).
  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  // Shows the core's controls and state.
  void refresh();
  void setBold(QWidget* label, bool bold);
  QWidget* labelFor(QObject* control) const;

  TfGenSer form_;
  QGroupBox* group_ = nullptr;
  QLabel* lPlik_ = nullptr;
  QLineEdit* ePlik_ = nullptr;
  QToolButton* fileButton_ = nullptr;
  QToolButton* infoButton_ = nullptr;
  TRAWviewWidget* viewer_ = nullptr;
  QLabel* lIloscObrotow_ = nullptr;
  TFltEditWidget* steps_ = nullptr;
  QCheckBox* cutOff_ = nullptr;
  QCheckBox* closeAuto_ = nullptr;
  QCheckBox* keepClosed_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QPushButton* generate_ = nullptr;
  QStatusBar* status_ = nullptr;
  QLabel* panels_[3] = {nullptr, nullptr, nullptr};
  QProgressBar* progress_ = nullptr;
};

// Creates a dialog with its bottom-right corner at (x, y) on the screen (a
// negative left or top raised to 0), shows it modally and frees it.
void ShowGenSerDialog(int x, int y, TMainForm* main = nullptr, QWidget* parent = nullptr);

// The main window's command for the generator: the dialog's corner at the
// main window's left + client width and top + client height.
void InstallGenSerCommand(TMainForm& main);

}  // namespace vm::ui
