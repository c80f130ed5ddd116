// The project window: an MDI child around one core project (TMDIChild). It
// paints the project into a back buffer (the figures in their colours, the
// replayed path on top during a simulation), shows the project's status line
// and forwards the mouse to the core view, which holds this window's own view
// transform.
#pragma once

#include <QImage>
#include <QWidget>
#include <memory>

#include "project/okno_plt.h"
#include "project/project_view.h"

class QStatusBar;

namespace vm::ui {

class ProjectWindow : public QWidget {
  Q_OBJECT

 public:
  explicit ProjectWindow(QWidget* parent = nullptr);
  ~ProjectWindow() override;

  TMDIChild& project() { return *project_; }
  const TMDIChild& project() const { return *project_; }
  TProjectView& view() { return view_; }

  // Loads a drawing into the project. False when the load failed (its reason
  // has been shown); the window should then be closed.
  bool load(const QString& fileName);

  // Prepares the project again for the current work mode and repaints it.
  // False when the preparation failed (its reason has been shown).
  bool reprepare();
  // Takes the caption from the project (after a load or a generator).
  void syncCaption();

  // Paints the project at once; with the project's Simulating flag set the
  // replay follows in the same call, stopped by a key press or a left click.
  void paintNow();
  // The simulation command for this window (direction rules, one replay).
  void simulate();
  // Whether a replay is running.
  bool replaying() const { return replaying_; }

  // What the window shows (tests read it).
  const QImage& backBuffer() const { return buffer_; }
  QStatusBar* statusBar() const { return status_; }

 signals:
  void projectChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // The drawing of the project into the back buffer.
  void render();
  void replay();
  void syncStatus();

  std::unique_ptr<TMDIChild> project_;
  TProjectView view_;
  QImage buffer_;
  QStatusBar* status_ = nullptr;
  bool replaying_ = false;
  bool rendered_ = false;  // the buffer holds the current drawing
};

}  // namespace vm::ui
