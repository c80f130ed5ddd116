// The project window: an MDI child around one core project (TMDIChild). It
// shows the figures and forwards the window events; all rules live in the
// core project.
#pragma once

#include <QWidget>
#include <memory>

#include "project/okno_plt.h"

namespace vm::ui {

class ProjectWindow : public QWidget {
  Q_OBJECT

 public:
  explicit ProjectWindow(QWidget* parent = nullptr);
  ~ProjectWindow() override;

  TMDIChild& project() { return *project_; }
  const TMDIChild& project() const { return *project_; }

  // Loads a drawing into the project. False when the load failed (its reason
  // has been shown); the window should then be closed.
  bool load(const QString& fileName);

  // Takes the caption from the project (after a load or a generator).
  void syncCaption();

 signals:
  void projectChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  std::unique_ptr<TMDIChild> project_;
};

}  // namespace vm::ui
