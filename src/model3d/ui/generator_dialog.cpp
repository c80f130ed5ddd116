// The serial-cut generator dialog widgets.
#include "model3d/ui/generator_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "drawing/definicje.h"
#include "model3d/ui/model_info_dialog.h"
#include "model3d/ui/raw_view_widget.h"
#include "project/ui/generator_windows.h"
#include "shell/ui/fltedit_widget.h"
#include "shell/ui/main_window.h"

namespace vm::ui {
namespace {

constexpr int kPanelWidth = 300;

// "text|pattern|text|pattern" as the open dialog's filter list.
QStringList NameFilters(const QString& filter) {
  const QStringList parts = filter.split('|');
  QStringList names;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) names << parts[i];
  return names;
}

}  // namespace

TfGenSerDialog::TfGenSerDialog(TMainForm* main, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fGenSer"));
  setMinimumSize(329, 576);

  group_ = new QGroupBox(this);
  group_->setObjectName(QStringLiteral("gbModel3D"));
  lPlik_ = new QLabel(group_);
  lPlik_->setObjectName(QStringLiteral("lPlik"));
  ePlik_ = new QLineEdit(group_);
  ePlik_->setObjectName(QStringLiteral("ePlik"));
  ePlik_->setReadOnly(true);
  ePlik_->setFocusPolicy(Qt::ClickFocus);  // no tab stop
  fileButton_ = new QToolButton(group_);
  fileButton_->setObjectName(QStringLiteral("btnPlikRaw"));
  fileButton_->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
  infoButton_ = new QToolButton(group_);
  infoButton_->setObjectName(QStringLiteral("btnModelInfo"));
  infoButton_->setIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
  // The label's access key goes to the file button, and its "&" shows as
  // the underline.
  lPlik_->setBuddy(fileButton_);
  auto* row = new QHBoxLayout(group_);
  row->addWidget(lPlik_);
  row->addWidget(ePlik_, 1);
  row->addWidget(fileButton_);
  row->addWidget(infoButton_);

  viewer_ = new TRAWviewWidget(this);
  viewer_->setObjectName(QStringLiteral("RAWview1"));
  form_.View = &viewer_->view();

  lIloscObrotow_ = new QLabel(this);
  lIloscObrotow_->setObjectName(QStringLiteral("lIloscObrotow"));
  steps_ = new TFltEditWidget(form_.feIloscObrotow, this);
  steps_->setObjectName(QStringLiteral("feIloscObrotow"));
  cutOff_ = new QCheckBox(this);
  cutOff_->setObjectName(QStringLiteral("cbOdcinajPoZakonczeniu"));
  closeAuto_ = new QCheckBox(this);
  closeAuto_->setObjectName(QStringLiteral("cbZamkniOknoAut"));
  keepClosed_ = new QCheckBox(this);
  keepClosed_->setObjectName(QStringLiteral("cbZostawZamknieteFig"));
  QPalette red = keepClosed_->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  red.setColor(QPalette::ButtonText, Qt::red);
  keepClosed_->setPalette(red);
  cancel_ = new QPushButton(this);
  cancel_->setObjectName(QStringLiteral("btnAnuluj"));
  cancel_->setAutoDefault(false);
  generate_ = new QPushButton(this);
  generate_->setObjectName(QStringLiteral("btnGeneruj"));
  generate_->setDefault(true);

  status_ = new QStatusBar(this);
  status_->setObjectName(QStringLiteral("sb"));
  status_->setSizeGripEnabled(false);
  for (int i = 0; i < 3; ++i) {
    panels_[i] = new QLabel(status_);
    panels_[i]->setFixedWidth(kPanelWidth);
    status_->addWidget(panels_[i]);
  }
  progress_ = new QProgressBar(panels_[0]);
  progress_->setTextVisible(false);
  progress_->setMinimum(0);
  progress_->hide();

  auto* bottom = new QGridLayout;
  bottom->addWidget(lIloscObrotow_, 0, 0);
  bottom->addWidget(steps_, 0, 1);
  bottom->addWidget(cutOff_, 1, 0, 1, 2);
  bottom->addWidget(closeAuto_, 2, 0, 1, 2);
  bottom->addWidget(keepClosed_, 3, 0, 1, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cancel_);
  buttons->addWidget(generate_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(group_);
  layout->addWidget(viewer_, 1);
  layout->addLayout(bottom);
  layout->addLayout(buttons);
  layout->addWidget(status_);

  // ---- events to the core handlers ----
  connect(fileButton_, &QToolButton::clicked, this, [this] { form_.btnPlikRawClick(); });
  connect(infoButton_, &QToolButton::clicked, this, [this] { form_.btnModelInfoClick(); });
  connect(generate_, &QPushButton::clicked, this, [this] { form_.btnGenerujClick(); });
  connect(cancel_, &QPushButton::clicked, this, [this] { form_.btnAnulujClick(); });
  connect(viewer_, &TRAWviewWidget::doubleClicked, this, [this] { form_.btnPlikRawClick(); });
  connect(viewer_, &TRAWviewWidget::resized, this, [this] {
    form_.View->DostosujDoRozmiaruOkna();
    form_.View->PokazScene();
  });
  auto bindCheck = [this](QCheckBox* box, TTntCheckBox& core) {
    connect(box, &QCheckBox::toggled, this, [&core](bool on) { core.SetChecked(on); });
  };
  bindCheck(cutOff_, form_.cbOdcinajPoZakonczeniu);
  bindCheck(closeAuto_, form_.cbZamkniOknoAut);
  bindCheck(keepClosed_, form_.cbZostawZamknieteFig);

  // ---- what the generator asks of the windows around it ----
  TMainForm* m = main != nullptr ? main : MainForm();
  TGenSerHooks& h = form_.hooks;
  if (m != nullptr) {
    h.Windows = MdiGeneratorWindows(*m);
    h.CloseAll = [m] { m->CloseAllClick(); };
    h.Tile = [m] { m->mdiArea()->tileSubWindows(); };
    h.ProjectWindowCount = [m] { return int(m->mdiArea()->subWindowList().size()); };
  }
  h.Close = [this] { reject(); };
  h.Beep = [] { QApplication::beep(); };
  h.Changed = [this] { refresh(); };
  h.ChooseFile = [this](const TModelFileRequest& r) {
    QFileDialog dialog(this, r.Title, r.InitialDir);
    dialog.setObjectName(QStringLiteral("OpenDialog"));
    // A typed name that does not exist is passed on: reading it tells the
    // operator in the program's own words.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(r.DefaultExt);
    dialog.setNameFilters(NameFilters(r.Filter));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().first();
  };
  h.ShowModelInfo = [this] {
    const QPoint p = viewer_->mapToGlobal(QPoint(0, 0));
    ShowModelInfoDialog(p.x(), p.y(), ModelExtents, this);
  };

  form_.FormCreate();

  // Key preview: the form sees the keys of its controls first; the focus
  // changes show the label of the focused control in bold.
  for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
  refresh();
}

TfGenSerDialog::~TfGenSerDialog() {
  // The step edit unsubscribes from its core control, which goes with form_
  // before the child widgets; the viewer stays until form_ has stopped its
  // workers.
  form_.hooks = {};
  delete steps_;
  steps_ = nullptr;
}

void TfGenSerDialog::reject() {
  if (form_.TntFormClose()) QDialog::reject();
}

QWidget* TfGenSerDialog::labelFor(QObject* control) const {
  if (control == fileButton_) return lPlik_;
  if (steps_ != nullptr && (control == steps_->Field() || control == steps_)) return lIloscObrotow_;
  if (control == cutOff_) return cutOff_;
  if (control == closeAuto_) return closeAuto_;
  return nullptr;
}

void TfGenSerDialog::setBold(QWidget* label, bool bold) {
  QFont f = label->font();
  f.setBold(bold);
  label->setFont(f);
}

bool TfGenSerDialog::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress: {
      auto* k = static_cast<QKeyEvent*>(event);
      const Qt::KeyboardModifiers mods = k->modifiers();
      if (form_.TntFormKeyDown(k->key(), mods & Qt::ControlModifier, mods & Qt::ShiftModifier,
                               mods & Qt::AltModifier)) {
        return true;
      }
      if (steps_ != nullptr && (watched == steps_->Field() || watched == steps_) &&
          form_.feIloscObrotowKeyDown(k->key())) {
        return true;
      }
      break;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut:
      if (QWidget* label = labelFor(watched)) setBold(label, event->type() == QEvent::FocusIn);
      break;
    case QEvent::MouseButtonDblClick:
      if (watched == ePlik_) {
        form_.btnPlikRawClick();
        return true;
      }
      if (watched == group_) {
        form_.btnModelInfoClick();
        return true;
      }
      break;
    default:
      break;
  }
  return QDialog::eventFilter(watched, event);
}

void TfGenSerDialog::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers();
  if (form_.TntFormKeyDown(event->key(), mods & Qt::ControlModifier, mods & Qt::ShiftModifier,
                           mods & Qt::AltModifier)) {
    return;
  }
  QDialog::keyPressEvent(event);
}

void TfGenSerDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  fileButton_->setFocus();
}

void TfGenSerDialog::refresh() {
  const TfGenSer& f = form_;
  // The caption is the menu item's text: a title bar shows no access keys.
  setWindowTitle(QString(f.Caption).remove(u'&'));
  lPlik_->setText(f.lPlik.Caption());
  ePlik_->setText(f.ePlik.Caption());
  ePlik_->setToolTip(f.ePlik.Hint());
  fileButton_->setEnabled(f.btnPlikRaw.Enabled());
  infoButton_->setEnabled(f.btnModelInfo.Enabled());
  lIloscObrotow_->setText(f.lIloscObrotow.Caption());
  steps_->setEnabled(f.feIloscObrotow.Enabled());
  const std::pair<QCheckBox*, const TTntCheckBox*> boxes[] = {
      {cutOff_, &f.cbOdcinajPoZakonczeniu},
      {closeAuto_, &f.cbZamkniOknoAut},
      {keepClosed_, &f.cbZostawZamknieteFig}};
  for (const auto& [box, core] : boxes) {
    const QSignalBlocker block(box);
    box->setText(core->Caption());
    box->setToolTip(core->Hint());
    box->setChecked(core->Checked());
    box->setVisible(core->Visible());
  }
  cancel_->setText(f.btnAnuluj.Caption());
  generate_->setText(f.btnGeneruj.Caption());
  generate_->setEnabled(f.btnGeneruj.Enabled());
  for (int i = 0; i < 3; ++i) panels_[i]->setText(f.StatusPanels[std::size_t(i)]);
  progress_->setVisible(f.ProgressShown);
  if (f.ProgressShown) {
    progress_->setGeometry(0, 2, kPanelWidth, std::max(1, status_->height() - 2));
    progress_->setMaximum(std::max(0, f.ProgressMax));
    progress_->setValue(std::min(f.ProgressPosition, f.ProgressMax));
  }
}

void ShowGenSerDialog(int x, int y, TMainForm* main, QWidget* parent) {
  auto* dialog = new TfGenSerDialog(main, parent);
  dialog->adjustSize();
  const QSize size = dialog->frameGeometry().size().expandedTo(dialog->minimumSize());
  dialog->move(std::max(0, x - size.width()), std::max(0, y - size.height()));
  dialog->exec();
  delete dialog;
}

void InstallGenSerCommand(TMainForm& main) {
  TMainForm* m = &main;
  main.commands.Generator3D = [m] {
    const QRect frame = m->frameGeometry();
    ShowGenSerDialog(frame.left() + m->width(), frame.top() + m->height(), m, m);
  };
}

}  // namespace vm::ui
