// The About box window: shows the texts of the core TAboutBox, closes on any
// click or key, and opens the web link from the link label or the logo.
#pragma once

#include <QDialog>
#include <map>

#include "shell/about.h"

class QGroupBox;
class QLabel;

namespace vm::ui {

class TAboutBoxDialog : public QDialog {
  Q_OBJECT

 public:
  // Runs the box's creation (texts, link, layout, logo).
  explicit TAboutBoxDialog(TAboutMachineLink link = {}, QWidget* parent = nullptr);

  TAboutBox& box() { return box_; }
  // The label of a control name ("prod", "lWww", "dealer", ...), or nullptr.
  QLabel* label(const QString& name) const;

 protected:
  void showEvent(QShowEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLabel* addLabel(QWidget* parent, const char* name, int left, int top, int width);
  void layoutMachineLabels();
  void showTexts();
  void fitWidth();

  TAboutBox box_;
  QGroupBox* group_ = nullptr;
  std::map<QString, QLabel*> labels_;
};

}  // namespace vm::ui
