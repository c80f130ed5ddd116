// The settings dialog window, built from the settings store: four pages of
// edits, labels, radio groups and check boxes bound to the store's controls,
// the work mode, unit and auto-save below, and OK, Cancel, Save as and Load.
// Showing runs the store's activation (snapshot, limits, rules); OK and Cancel
// run its handlers; closing runs its deactivation.
#pragma once

#include <QDialog>

#include "shell/konfig.h"

class QLabel;
class QPushButton;
class QTabWidget;

namespace vm::ui {

class TDlgkonfigDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TDlgkonfigDialog(TDlgkonfig& store, QWidget* parent = nullptr);

  TDlgkonfig& Store() { return store_; }
  QTabWidget* Pages() const { return pages_; }

  void OkClick();
  void cancelClick();
  void zapisClick();
  void OdczytClick();
  // Escape and the window's close run Cancel.
  void reject() override { cancelClick(); }

 protected:
  void showEvent(QShowEvent* e) override;
  void done(int result) override;

 private:
  void RefreshPages();
  void RefreshPicture();

  TDlgkonfig& store_;
  QTabWidget* pages_ = nullptr;
  QLabel* picture_ = nullptr;
};

}  // namespace vm::ui
