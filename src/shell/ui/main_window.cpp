#include "shell/ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLibraryInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTranslator>

#include "drawing/definicje.h"
#include "machine/serial.h"
#include "platform/shell_open.h"
#include "project/okno_plt.h"
#include "project/prepare_mode.h"
#include "project/ui/project_window.h"
#include "shell/documents.h"
#include "shell/global_record.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "shell/messages.h"
#include "shell/open_plan.h"
#include "shell/options.h"
#include "shell/os_check.h"
#include "shell/program_info.h"
#include "shell/ui/konfig_dialog.h"
#include "shell/version.h"

namespace vm::ui {

namespace {
TMainForm* g_mainForm = nullptr;

// The toolkit's own texts (the buttons and labels of the open dialog and of
// message boxes) in the program's language. A missing translation leaves them
// in English.
void InstallToolkitTranslation(const QString& languageCode) {
  static const std::map<QString, QString> kLocales = {
      {"PL", "pl"}, {"DE", "de"}, {"RU", "ru"}, {"CN", "zh_CN"}, {"SK", "sk"},
      {"IT", "it"}, {"ES", "es"}, {"SA", "ar"}, {"HU", "hu"},    {"FR", "fr"}};
  const auto it = kLocales.find(languageCode);
  if (it == kLocales.end()) return;
  auto* translator = new QTranslator(qApp);
  if (translator->load(QStringLiteral("qtbase_") + it->second,
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(translator);
  } else {
    delete translator;
  }
}
}  // namespace

TMainForm* MainForm() { return g_mainForm; }

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
  g_mainForm = this;
  setObjectName(QStringLiteral("MainForm"));
  setMinimumSize(514, 111);
  mdi_ = new QMdiArea(this);
  mdi_->setObjectName(QStringLiteral("MDIClient"));
  setCentralWidget(mdi_);
  statusBar()->setObjectName(QStringLiteral("StatusBar"));
  buildMenu();
  buildButtons();
  connect(mdi_, &QMdiArea::subWindowActivated, this, [this] { UpdateMenuItems(); });
  // The enable rules follow every change of the active window.
  connect(qApp, &QApplication::focusChanged, this, [this] { UpdateMenuItems(); });
}

TMainForm::~TMainForm() {
  AppClosing = true;
  // Unbind the active-window events: the base destructor still moves the
  // focus and destroys the project windows, and the enable rules must not run
  // on a half-destroyed window.
  disconnect(qApp, nullptr, this, nullptr);
  disconnect(mdi_, nullptr, this, nullptr);
  for (QMdiSubWindow* sub : mdi_->subWindowList()) disconnect(sub, nullptr, this, nullptr);
  if (g_mainForm == this) g_mainForm = nullptr;
}

bool TMainForm::FormCreate() {
  AppClosing = false;
  ExeDir = QDir(QCoreApplication::applicationDirPath()).absolutePath() + u'/';
  std::unique_ptr<tInterfejs> lang;
  try {
    lang = tInterfejs::Create();
  } catch (const std::exception&) {
    QString os;
    if (!CheckOperatingSystem(os)) {
      ShowMessageBox(QStringLiteral("This application won't work properly with your operating "
                                    "system:\r\n") +
                         os + QStringLiteral("\r\n") +
                         QStringLiteral("A 32-bit version of Windows with Unicode, xml files and "
                                        "USB support is required (win98 SE or later)"),
                     true);
    }
    return false;
  }
  if (!lang || !lang->Loaded()) return false;
  const QString languageCode = lang->LanguageCode();
  InstallInterfejs(std::move(lang));
  InstallToolkitTranslation(languageCode);
  TranslateForm();
  SavedZ = 0;
  return true;
}

QAction* TMainForm::addItem(QMenu* menu, const char* name, const char* shortcut,
                            std::function<void()> handler) {
  auto* a = new QAction(this);
  a->setObjectName(QString::fromLatin1(name));
  if (shortcut) a->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
  if (handler) connect(a, &QAction::triggered, this, [this, handler] { run(handler); });
  if (menu) {
    menu->addAction(a);
  } else {
    menuBar()->addAction(a);
  }
  actions_[a->objectName()] = a;
  return a;
}

void TMainForm::run(const std::function<void()>& handler) {
  if (handler) handler();
  UpdateMenuItems();
}

void TMainForm::buildMenu() {
  menuBar()->setObjectName(QStringLiteral("MainMenu1"));
  auto submenu = [this](const char* name) {
    QMenu* m = menuBar()->addMenu(QString());
    m->setObjectName(QString::fromLatin1(name));
    m->menuAction()->setObjectName(QString::fromLatin1(name));
    actions_[QString::fromLatin1(name)] = m->menuAction();
    return m;
  };
  QMenu* file = submenu("File1");
  addItem(file, "FileOpenItem", "F3", [this] { FileOpenItemClick(); });
  addItem(file, "FileSaveAsHPGL", nullptr, [this] { run(commands.SaveAsHpgl); });
  addItem(file, "FileCloseItem", nullptr, [this] { FileCloseItemClick(); })->setEnabled(false);
  addItem(file, "miDuplikujPlt", "F4", [this] { run(commands.Duplicate); })->setEnabled(false);
  // F6 belongs to the 3D generator only; two actions sharing a key would both
  // be dead. Configuration stays reachable from its own menu item.
  addItem(file, "miGenSeryjnego3D", "F6", [this] { run(commands.Generator3D); });
  addItem(file, "miZaginaczProfili", "F7", [this] { run(commands.ArchCutting); });
  file->addSeparator();
  addItem(file, "Info", nullptr, [this] { run(commands.Info); })->setEnabled(false);
  addItem(file, "Symulacja", "F1", [this] { run(commands.Simulation); })->setEnabled(false);
  file->addSeparator();
  addItem(file, "About1", nullptr, [this] { run(commands.About); });
  addItem(file, "miInstrObslugi", nullptr, [this] { miInstrObslugiClick(); });
  addItem(file, "miPrzyklady", nullptr, [this] { miPrzykladyClick(); });
  addItem(file, "miKatalog", nullptr, [this] { miKatalogClick(); });
  file->addSeparator();
  addItem(file, "FileExitItem", "Alt+X", [this] { close(); });

  QMenu* cut = submenu("Cicie1");
  addItem(cut, "Start1", "F2", [this] { run(commands.Start); });
  addItem(cut, "Wstrzymaj1", "Space", [this] { run(commands.Stop); });
  addItem(cut, "Kontynuacja1", "Shift+F2", [this] { run(commands.Continue); });
  addItem(cut, "Tnijodwarstwy1", nullptr, [this] {
    run(commands.StartFromLayer);
  })->setVisible(false);
  addItem(cut, "Tnijwarstwe1", nullptr, [this] { run(commands.CutLayer); })->setVisible(false);
  addItem(cut, "Startzbufora1", nullptr, [this] {
    run(commands.StartFromBuffer);
  })->setVisible(false);

  addItem(nullptr, "sterowanie", "F5", [this] { run(commands.ManualControl); });
  addItem(nullptr, "Konfiguracja", nullptr, [this] { KonfiguracjaClick(); });

  QMenu* window = submenu("Window1");
  addItem(window, "WindowCascadeItem", nullptr, [this] { mdi_->cascadeSubWindows(); });
  addItem(window, "WindowTileItem", nullptr, [this] { mdi_->tileSubWindows(); });
  addItem(window, "CloseAll", nullptr, [this] { CloseAllClick(); });
}

void TMainForm::buildButtons() {
  auto* bar = new QToolBar(this);
  bar->setObjectName(QStringLiteral("SpeedBar"));
  bar->setMovable(false);
  bar->setFloatable(false);
  speedPanel_ = new QWidget(bar);
  speedPanel_->setObjectName(QStringLiteral("SpeedPanel"));
  auto* outer = new QHBoxLayout(speedPanel_);
  outer->setContentsMargins(2, 2, 2, 2);
  pPrzyciski_ = new QWidget(speedPanel_);
  pPrzyciski_->setObjectName(QStringLiteral("pPrzyciski"));
  auto* row = new QHBoxLayout(pPrzyciski_);
  row->setContentsMargins(0, 0, 0, 0);
  auto addButton = [this, row](const char* name, const char* actionName) {
    auto* b = new QToolButton(pPrzyciski_);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setAutoRaise(false);
    row->addWidget(b);
    QAction* a = action(QString::fromLatin1(actionName));
    connect(b, &QToolButton::clicked, a, &QAction::trigger);
    buttons_[b->objectName()] = b;
    return b;
  };
  QToolButton* open = addButton("OpenBtn", "FileOpenItem");
  open->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
  open->setToolButtonStyle(Qt::ToolButtonIconOnly);
  addButton("SpeedSymulacja", "Symulacja")->setEnabled(false);
  addButton("SpeedStart", "Start1");
  addButton("SpeedStop", "Wstrzymaj1");
  addButton("Skont", "Kontynuacja1");
  outer->addWidget(pPrzyciski_);
  outer->addStretch(1);
  bar->addWidget(speedPanel_);
  addToolBar(Qt::TopToolBarArea, bar);
}

QAction* TMainForm::action(const QString& name) const {
  auto it = actions_.find(name);
  return it == actions_.end() ? nullptr : it->second;
}

QToolButton* TMainForm::button(const QString& name) const {
  auto it = buttons_.find(name);
  return it == buttons_.end() ? nullptr : it->second;
}

void TMainForm::TranslateForm() {
  tInterfejs* lang = Interfejs();
  const bool rtl = lang && lang->CountryCode() == 966;
  if (lang) lang->SetRightToLeft(rtl);
  DealerId = GetDealer();
  setWindowTitle(MainCaption(QString::fromLatin1(ApplicationTitle), Tr("Universal", "txtWer"),
                             QString::fromLatin1(GetExeVersion(true, true))));

  auto set = [this](const char* name, const QString& text) {
    if (QAction* a = action(QString::fromLatin1(name))) a->setText(text);
  };
  set("File1", Tr("Main_window", "File1.Caption"));
  set("FileOpenItem", Tr("Main_window", "FileOpenItem.Caption"));
  set("FileSaveAsHPGL", QStringLiteral("Zapisz jako HPGL"));
  set("FileCloseItem", Tr("Main_window", "FileCloseItem.Caption"));
  set("miDuplikujPlt", Tr("Main_window", "miDuplikujPlt.Caption"));
  set("miGenSeryjnego3D", Tr("Main_window", "miGenSeryjnego3D.caption"));
  set("miZaginaczProfili", Tr("Main_window", "miZaginaczProfili.caption") + " [beta]");
  set("Info", Tr("Main_window", "info.Caption"));
  set("Symulacja", Tr("Main_window", "Symulacja.Caption"));
  set("About1", Tr("Main_window", "About1.Caption"));
  set("miInstrObslugi", Tr("Main_window", "miInstrObslugi.Caption"));
  set("miPrzyklady", Tr("Main_window", "miPrzyklady.Caption"));
  QString dealerCatalogue;
  if (FindDealerCatalogueFile(dealerCatalogue)) {
    set("miKatalog", QString::fromLatin1(DealerId) + u' ' + Tr("Main_window", "miKatalog.Caption"));
  } else {
    set("miKatalog", QStringLiteral("Corvanta ") + Tr("Main_window", "miKatalog.Caption"));
  }
  set("FileExitItem", Tr("Main_window", "FileExitItem.Caption"));
  set("Cicie1", Tr("Main_window", "Cicie1.Caption"));
  set("Start1", Tr("Main_window", "Start1.Caption"));
  set("Wstrzymaj1", Tr("Main_window", "Wstrzymaj1.Caption"));
  set("Kontynuacja1", Tr("Main_window", "Kontynuacja1.Caption"));
  set("Tnijodwarstwy1", QStringLiteral("Tnij &od warstwy"));
  set("Tnijwarstwe1", QStringLiteral("Tnij &warstwę"));
  set("Startzbufora1", QStringLiteral("Start z bufora"));
  set("sterowanie", Tr("Main_window", "sterowanie.Caption"));
  set("Konfiguracja", Tr("Main_window", "Konfiguracja.Caption"));
  set("Window1", Tr("Main_window", "Window1.Caption"));
  set("WindowCascadeItem", Tr("Main_window", "WindowCascadeItem.Caption"));
  set("WindowTileItem", Tr("Main_window", "WindowTileItem.Caption"));
  set("CloseAll", Tr("Main_window", "CloseAll.Caption"));

  auto setButton = [this](const char* name, const QString& text) {
    if (QToolButton* b = button(QString::fromLatin1(name))) {
      b->setText(text);
      b->setToolTip(text);
      b->setStatusTip(text);
    }
  };
  setButton("SpeedSymulacja", Tr("Main_window", "SpeedSymulacja.Caption"));
  setButton("SpeedStart", Tr("Main_window", "SpeedStart.Caption"));
  setButton("SpeedStop", Tr("Main_window", "SpeedStop.Caption"));
  setButton("Skont", Tr("Main_window", "Skont.Caption"));
  if (QToolButton* b = button(QStringLiteral("OpenBtn"))) {
    const QString hint = action(QStringLiteral("FileOpenItem"))->text().remove(u'&');
    b->setToolTip(hint);
    b->setStatusTip(hint);
  }

  if (rtl) {
    // The whole application reads right to left (message boxes too). A
    // right-to-left menu bar lays its items out from the right edge, File
    // rightmost, and a right-to-left panel mirrors its tool buttons and puts
    // them at the right: the layout direction alone gives the reversed menu
    // and the mirrored buttons. Reordering the items as well would undo it.
    qApp->setLayoutDirection(Qt::RightToLeft);
    setLayoutDirection(Qt::RightToLeft);
    menuBar()->setLayoutDirection(Qt::RightToLeft);
    speedPanel_->setLayoutDirection(Qt::RightToLeft);
  }
  UpdateMenuItems();
}

ProjectWindow* TMainForm::ActiveProject() const {
  // The current window stays current while another top-level window (a
  // dialog, the manual control window) has the focus.
  QMdiSubWindow* sub = mdi_->currentSubWindow();
  if (!sub) {
    const auto list = mdi_->subWindowList(QMdiArea::CreationOrder);
    if (list.isEmpty()) return nullptr;
    sub = list.last();
  }
  return qobject_cast<ProjectWindow*>(sub->widget());
}

QList<ProjectWindow*> TMainForm::Projects() const {
  QList<ProjectWindow*> out;
  for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder)) {
    if (auto* p = qobject_cast<ProjectWindow*>(sub->widget())) out.push_back(p);
  }
  return out;
}

ProjectWindow* TMainForm::CreateMDIChild() {
  auto* child = new ProjectWindow;
  // Sized before it joins the work space, which places it by its size: a
  // window grown after placing would reach past the right edge when the
  // work space runs right to left.
  auto* sub = new QMdiSubWindow;
  sub->setWidget(child);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  // A document icon in the frame: without one the toolkit's own logo shows.
  sub->setWindowIcon(style()->standardIcon(QStyle::SP_FileIcon));
  sub->resize(mdi_->viewport()->width() * 2 / 3, mdi_->viewport()->height() * 2 / 3);
  mdi_->addSubWindow(sub);
  connect(sub, &QObject::destroyed, this,
          [this] { QTimer::singleShot(0, this, [this] { UpdateMenuItems(); }); });
  sub->show();
  mdi_->setActiveSubWindow(sub);
  return child;
}

void TMainForm::FileOpenItemClick() { OpenProject(GlobalSettings().LastOpenDir, true); }

void TMainForm::OpenProject(const QString& initialFolder, bool rememberFolder) {
  QFileDialog dialog(this);
  dialog.setObjectName(QStringLiteral("OpenDialog"));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  const QStringList filters = {QStringLiteral("Hpgl (*.plt)"), QStringLiteral("DXF (*.dxf)")};
  dialog.setNameFilters(filters);
  const int index = GlobalSettings().OpenFilterIndex;
  if (index >= 1 && index <= filters.size()) dialog.selectNameFilter(filters[index - 1]);
  dialog.setDirectory(initialFolder.isEmpty() ? QDir::homePath() : initialFolder);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const int filterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
  GlobalSettings().OpenFilterIndex = filterIndex < 1 ? 1 : filterIndex;
  OpenProjectFile(dialog.selectedFiles().front(), GlobalSettings().OpenFilterIndex, rememberFolder);
}

void TMainForm::OpenProjectFile(const QString& fileName, int filterIndex, bool rememberFolder) {
  const OpenPlan plan = PlanOpenProject(fileName, Dlgkonfig().Mode.ItemIndex());
  if (plan.fileMissing) {
    ShowMessageBox(Tr("Universal", "zbioruNieMoznaOtworzyc") + fileName, true);
    return;
  }
  if (plan.closeAll) CloseAllClick();
  // A folder too long for the record is not remembered (a cut-off path would
  // point elsewhere).
  if (rememberFolder) GlobalSettings().SetLastOpenDir(plan.folder);
  for (const ProjectToOpen& w : plan.windows) {
    ProjectWindow* child = CreateMDIChild();
    TMDIChild& prj = child->project();
    if (!w.caption.isEmpty()) {
      prj.Caption = w.caption;
      child->syncCaption();
    }
    prj.PassNumber = w.passNumber;
    prj.FileType = filterIndex;
    if (!child->load(w.path)) {
      closeProject(child);
      continue;
    }
    if (!w.caption.isEmpty()) {
      prj.Caption = w.caption;
      child->syncCaption();
    }
  }
  if (plan.tile) mdi_->tileSubWindows();
  UpdateMenuItems();
}

void TMainForm::closeProject(ProjectWindow* window) {
  if (QWidget* sub = window->parentWidget()) sub->close();
}

void TMainForm::FileCloseItemClick() {
  if (ProjectWindow* w = ActiveProject()) closeProject(w);
  UpdateMenuItems();
}

void TMainForm::CloseAllClick() {
  const auto list = mdi_->subWindowList(QMdiArea::CreationOrder);
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    (*it)->close();
    delete *it;  // closing is immediate: a following open must not see them
  }
  UpdateMenuItems();
}

void TMainForm::KonfiguracjaClick() {
  if (!settingsDialog_) return;
  settingsDialog_->exec();
  TDlgkonfig& store = settingsDialog_->Store();
  if (store.PortChanged()) {
    ClosePort();
    QThread::msleep(200);
    OpenPort();
  }
  if (store.ReprepareProjects()) {
    store.ClearReprepareProjects();
    ReprepareProjects();
  }
  UpdateMenuItems();
}

void TMainForm::ReprepareProjects() {
  for (ProjectWindow* w : Projects()) {
    if (!w->reprepare()) {
      closeProject(w);
    }
  }
}

void TMainForm::miPrzykladyClick() {
  QString folder;
  if (FindSamplesFolder(folder)) {
    OpenProject(folder, false);
  } else {
    ShowMessageBox(Tr("Main_window", "SampleNotInstaled"), false);
  }
}

void TMainForm::miInstrObslugiClick() {
  QString name;
  if (FindManualFile(name)) {
    if (!platform::ShellOpen(name)) ShowMessageBox(Tr("Main_window", "brakAcrobatReadera"), true);
  } else {
    ShowMessageBox(Tr("Main_window", "brakPlikuInstrukcji") + "\r\n" + name, true);
  }
}

void TMainForm::miKatalogClick() {
  QString name;
  if (FindCatalogueFile(name)) {
    if (!platform::ShellOpen(name)) ShowMessageBox(Tr("Main_window", "brakAcrobatReadera"), true);
  } else {
    ShowMessageBox(Tr("Main_window", "brakPlikuKatalogu") + "\r\n" + name, true);
  }
}

void TMainForm::UpdateMenuItems() {
  MenuRuleInput in;
  const QList<ProjectWindow*> projects = Projects();
  in.projectCount = static_cast<int>(projects.size());
  if (ProjectWindow* active = ActiveProject()) in.activeCaption = active->project().Caption;
  in.mode = Dlgkonfig().Mode.ItemIndex();
  in.settingsExist = settingsDialog_ != nullptr;
  QString ignored;
  in.manualFound = FindManualFile(ignored);
  in.samplesFound = FindSamplesFolder(ignored);
  in.catalogueFound = FindCatalogueFile(ignored);
  const MenuState s = ComputeMenuState(in, layerItems_);
  layerItems_ = s.layerItems;
  for (const char* n : {"Start1", "FileCloseItem", "FileSaveAsHPGL", "miZaginaczProfili",
                        "Symulacja", "WindowCascadeItem", "WindowTileItem", "Window1", "Info"}) {
    if (QAction* a = action(QString::fromLatin1(n))) a->setEnabled(s.haveProjects);
  }
  for (const char* n : {"SpeedSymulacja", "SpeedStart"}) {
    if (QToolButton* b = button(QString::fromLatin1(n))) b->setEnabled(s.haveProjects);
  }
  action(QStringLiteral("miDuplikujPlt"))->setEnabled(s.duplicate);
  action(QStringLiteral("Tnijwarstwe1"))->setEnabled(s.layerItems);
  action(QStringLiteral("Tnijodwarstwy1"))->setEnabled(s.layerItems);
  action(QStringLiteral("miInstrObslugi"))->setVisible(s.manualVisible);
  action(QStringLiteral("miPrzyklady"))->setVisible(s.samplesVisible);
  action(QStringLiteral("miKatalog"))->setVisible(s.catalogueVisible);
}

void TMainForm::closeEvent(QCloseEvent* event) {
  AppClosing = true;
  QMainWindow::closeEvent(event);
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (QScreen* screen = this->screen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

void TMainForm::changeEvent(QEvent* event) {
  // Maximised at every activation.
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && !isMaximized()) {
    QTimer::singleShot(0, this, [this] { showMaximized(); });
  }
  QMainWindow::changeEvent(event);
}

void TMainForm::mousePressEvent(QMouseEvent* event) {
  UpdateMenuItems();
  QMainWindow::mousePressEvent(event);
}

}  // namespace vm::ui
