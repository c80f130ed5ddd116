// The main window: the MDI frame holding one project window per drawing, its
// menu and tool buttons with their shortcuts and enable rules, opening drawings
// and serial-cut folders, and the entries into the other windows.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>

#include "shell/menu_rules.h"

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolButton;
class QWidget;

namespace vm::ui {

class ProjectWindow;
class TDlgkonfigDialog;

class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;

  // The creation steps: program folder, localisation, translation. False when
  // the program must end (the reason has been shown).
  bool FormCreate();

  // Output target code of the next job, set by the cut sequencer before a save.
  int JobOutputMode = 32;

  // --- What other windows use ---
  ProjectWindow* ActiveProject() const;
  QList<ProjectWindow*> Projects() const;  // in index (creation) order
  QMdiArea* mdiArea() const { return mdi_; }
  QAction* action(const QString& name) const;
  QToolButton* button(const QString& name) const;

  // Creates a project window; it becomes the active MDI child.
  ProjectWindow* CreateMDIChild();

  // The open routine: asks for a file in `initialFolder`, then opens it.
  void OpenProject(const QString& initialFolder, bool rememberFolder);
  // Opens a chosen file as the open dialog's choice with `filterIndex` would.
  void OpenProjectFile(const QString& fileName, int filterIndex, bool rememberFolder);

  void UpdateMenuItems();
  void TranslateForm();

  // The long-lived settings dialog shown by the Configuration command.
  void SetSettingsDialog(TDlgkonfigDialog* dialog) { settingsDialog_ = dialog; }
  // Every project window prepared again for the current work mode and repainted.
  void ReprepareProjects();

  // Commands built by later units install their handlers here; an empty
  // handler does nothing.
  struct Commands {
    std::function<void()> Simulation, SaveAsHpgl, ManualControl, About, Duplicate, ArchCutting,
        Generator3D, Start, Stop, Continue, StartFromLayer, CutLayer, StartFromBuffer, Info,
        Configuration;
  } commands;

 public slots:
  void FileOpenItemClick();
  void FileCloseItemClick();
  void CloseAllClick();
  void KonfiguracjaClick();
  void miPrzykladyClick();
  void miInstrObslugiClick();
  void miKatalogClick();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QAction* addItem(QMenu* menu, const char* name, const char* shortcut,
                   std::function<void()> handler);
  void buildMenu();
  void buildButtons();
  void run(const std::function<void()>& handler);
  // Closes a project window; the work space drops it from its list at once.
  void closeProject(ProjectWindow* window);

  QMdiArea* mdi_ = nullptr;
  QWidget* speedPanel_ = nullptr;
  QWidget* pPrzyciski_ = nullptr;
  std::map<QString, QAction*> actions_;
  std::map<QString, QToolButton*> buttons_;
  bool layerItems_ = false;
  TDlgkonfigDialog* settingsDialog_ = nullptr;
};

// The one main window, or nullptr before it is made.
TMainForm* MainForm();

}  // namespace vm::ui
