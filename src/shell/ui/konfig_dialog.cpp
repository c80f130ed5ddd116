// The settings dialog window.
#include "shell/ui/konfig_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "drawing/errors.h"
#include "shell/interfejs.h"
#include "shell/messages.h"
#include "shell/ui/fltedit_widget.h"
#include "shell/ui/konfig_widgets.h"

namespace vm::ui {
namespace {

const char kFilter[] = "Orvi Cut Config (*.tcf)";

QLabel* Static(const QString& text, QWidget* parent) { return new QLabel(text, parent); }

// One row of a grid: label, edit, unit.
void AddRow(QGridLayout* grid, QWidget* page, TLabel& label, TNumericEdit& edit, TLabel* unit,
            const QString& fixedUnit = QString()) {
  const int row = grid->rowCount();
  grid->addWidget(new TLabelWidget(label, page), row, 0);
  grid->addWidget(new TFltEditWidget(edit, page), row, 1);
  if (unit)
    grid->addWidget(new TLabelWidget(*unit, page), row, 2);
  else if (!fixedUnit.isEmpty())
    grid->addWidget(Static(fixedUnit, page), row, 2);
}

QPushButton* Button(TLabel& control, QWidget* parent) {
  auto* b = new QPushButton(parent);
  BindControl(b, control, [b](const QString& t) { b->setText(t); });
  b->setAutoDefault(false);
  return b;
}

// Runs a store handler that may fail on a file; the failure is shown.
template <typename F>
bool Guarded(F&& f) {
  try {
    f();
    return true;
  } catch (const MessageError& e) {
    ShowMessageError(e);
  } catch (const Error& e) {
    ShowMessageBox(Tr("Configuration", "bladPlikuUstawien") + QString::fromStdString(e.what()),
                   true);
  }
  return false;
}

}  // namespace

TDlgkonfigDialog::TDlgkonfigDialog(TDlgkonfig& store, QWidget* parent)
    : QDialog(parent), store_(store) {
  setObjectName(QStringLiteral("Dlgkonfig"));
  if (Interfejs() && Interfejs()->RightToLeft()) setLayoutDirection(Qt::RightToLeft);
  TDlgkonfig& k = store_;
  auto* top = new QVBoxLayout(this);

  pages_ = new QTabWidget(this);
  pages_->setObjectName(QStringLiteral("PageControl1"));
  top->addWidget(pages_);

  // Work parameters.
  auto* work = new QWidget(pages_);
  auto* workGrid = new QGridLayout(work);
  AddRow(workGrid, work, k.Labelsrednica, k.Srednicamaterialu, &k.Labelsrednicaunit);
  AddRow(workGrid, work, k.Labelspeed, k.szybkoscObrobki, &k.LabelszybkoscObrobki);
  AddRow(workGrid, work, k.Labelprzestawcza, k.PrzeSpeed, &k.Labelprzespeed);
  AddRow(workGrid, work, k.Labelpower, k.work_power, nullptr);
  AddRow(workGrid, work, k.Labelstarttime, k.CzasRozgrzewania, nullptr);
  AddRow(workGrid, work, k.Labelpauza, k.Pauza_w_kacie, nullptr);
  AddRow(workGrid, work, k.Labelilobr, k.il_obr_rys, nullptr);
  AddRow(workGrid, work, k.Labelilkrok, k.ilosckrokow, nullptr);
  AddRow(workGrid, work, k.LabelSkala, k.skala, nullptr);
  int row = workGrid->rowCount();
  workGrid->addWidget(new TRadioGroupWidget(k.CatDir, work), row, 0);
  workGrid->addWidget(new TRadioGroupWidget(k.KierunekObrotow, work), row, 1);
  workGrid->addWidget(new TRadioGroupWidget(k.StolikSwitch, work), row, 2);
  row = workGrid->rowCount();
  workGrid->addWidget(new TCheckBoxWidget(k.dopasujKierunek, work), row, 0);
  workGrid->addWidget(new TCheckBoxWidget(k.Wstrzymaj, work), row, 1);
  row = workGrid->rowCount();
  workGrid->addWidget(new TCheckBoxWidget(k.Heavy, work), row, 0);
  workGrid->addWidget(new TCheckBoxWidget(k.AddFrame, work), row, 1);
  pages_->addTab(work, QString());

  // Machine.
  auto* machine = new QWidget(pages_);
  auto* mGrid = new QGridLayout(machine);
  AddRow(mGrid, machine, k.labelXwrzeciona, k.Xwrzeciona, &k.Xwrzecionaunit);
  AddRow(mGrid, machine, k.Labelywrzeciona, k.Ywrzeciona, &k.ywrzecionaunit);
  auto* takeSpindle = Button(k.btnPobierzXYwrzeciona, machine);
  connect(takeSpindle, &QPushButton::clicked, this,
          [this] { store_.btnPobierzXYwrzecionaClick(); });
  mGrid->addWidget(takeSpindle, mGrid->rowCount(), 1);
  AddRow(mGrid, machine, k.labelXStolika, k.Xstolika, &k.XstolikaUnit);
  AddRow(mGrid, machine, k.LabelYStolika, k.Ystolika, &k.YstolikaUnit);
  auto* takeTable = Button(k.btnPobierzXYstolika, machine);
  connect(takeTable, &QPushButton::clicked, this, [this] { store_.btnPobierzXYstolikaClick(); });
  mGrid->addWidget(takeTable, mGrid->rowCount(), 1);
  AddRow(mGrid, machine, k.LabelXnarzedzia, k.Xnarzedzia, &k.xnarzedziaunit);
  AddRow(mGrid, machine, k.LabelYnarzedzia, k.Ynarzedzia, &k.Ynarzedziaunit);
  row = mGrid->rowCount();
  mGrid->addWidget(new TRadioGroupWidget(k.Comnumber, machine), row, 0);
  auto* calibration = new QGroupBox(machine);
  BindControl(calibration, k.gbKalibracja,
              [calibration](const QString& t) { calibration->setTitle(t); });
  auto* cGrid = new QGridLayout(calibration);
  cGrid->addWidget(Static(QStringLiteral("X"), calibration), 0, 0);
  cGrid->addWidget(new TFltEditWidget(k.feKalibracjaX, calibration), 0, 1);
  cGrid->addWidget(Static(QStringLiteral("%"), calibration), 0, 2);
  cGrid->addWidget(Static(QStringLiteral("Y"), calibration), 1, 0);
  cGrid->addWidget(new TFltEditWidget(k.feKalibracjaY, calibration), 1, 1);
  cGrid->addWidget(Static(QStringLiteral("%"), calibration), 1, 2);
  mGrid->addWidget(calibration, row, 1);
  mGrid->addWidget(new TRadioGroupWidget(k.rgBazowanie, machine), row, 2);
  pages_->addTab(machine, QString());

  // Serial cutting.
  auto* serial = new QWidget(pages_);
  auto* sLayout = new QVBoxLayout(serial);
  sLayout->addWidget(new TRadioGroupWidget(k.rgKatObrotu, serial));
  sLayout->addStretch();
  pages_->addTab(serial, QString());

  // Rotary cutting.
  auto* rotary = new QWidget(pages_);
  auto* rLayout = new QVBoxLayout(rotary);
  rLayout->addWidget(new TRadioGroupWidget(k.rgAlgorytmObrotowego, rotary));
  picture_ = new QLabel(rotary);
  picture_->setObjectName(k.iObrotoweSchemat.Name());
  rLayout->addWidget(picture_);
  rLayout->addStretch();
  pages_->addTab(rotary, QString());
  const int pictureId = k.iObrotoweSchemat.Subscribe([this] { RefreshPicture(); });
  connect(picture_, &QObject::destroyed, this,
          [&k, pictureId] { k.iObrotoweSchemat.Unsubscribe(pictureId); });
  RefreshPicture();

  for (TControl* page : {&k.TabSheet2, &k.ploter, &k.tabSeryjne, &k.tabObrotowe}) {
    const int id = page->Subscribe([this] { RefreshPages(); });
    connect(pages_, &QObject::destroyed, this, [page, id] { page->Unsubscribe(id); });
  }
  RefreshPages();

  // Below the pages.
  auto* below = new QHBoxLayout;
  below->addWidget(new TRadioGroupWidget(k.Mode, this));
  below->addWidget(new TRadioGroupWidget(k.radiounit, this));
  below->addWidget(new TCheckBoxWidget(k.AutoSave, this));
  top->addLayout(below);

  auto* buttons = new QHBoxLayout;
  auto* ok = Button(k.Button1, this);
  ok->setDefault(true);
  ok->setAutoDefault(true);
  auto* cancelButton = Button(k.cancel, this);
  auto* saveAs = Button(k.zapis, this);
  auto* load = Button(k.Odczyt, this);
  connect(ok, &QPushButton::clicked, this, &TDlgkonfigDialog::OkClick);
  connect(cancelButton, &QPushButton::clicked, this, &TDlgkonfigDialog::cancelClick);
  connect(saveAs, &QPushButton::clicked, this, &TDlgkonfigDialog::zapisClick);
  connect(load, &QPushButton::clicked, this, &TDlgkonfigDialog::OdczytClick);
  buttons->addWidget(saveAs);
  buttons->addWidget(load);
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancelButton);
  top->addLayout(buttons);

  setWindowTitle(store_.Caption());
}

void TDlgkonfigDialog::RefreshPages() {
  TDlgkonfig& k = store_;
  const TControl* pages[] = {&k.TabSheet2, &k.ploter, &k.tabSeryjne, &k.tabObrotowe};
  for (int i = 0; i < 4; ++i) {
    pages_->setTabText(i, pages[i]->Caption());
    pages_->setTabEnabled(i, pages[i]->Enabled());
    pages_->setTabVisible(i, pages[i]->Visible());
  }
}

void TDlgkonfigDialog::RefreshPicture() {
  const TImage& img = store_.iObrotoweSchemat;
  picture_->setToolTip(img.Hint());
  if (img.PictureSource() == TImage::Source::File)
    picture_->setPixmap(QPixmap(img.PicturePath()));
  else if (img.PictureSource() == TImage::Source::None)
    picture_->clear();
}

void TDlgkonfigDialog::showEvent(QShowEvent* e) {
  Guarded([this] { store_.FormActivate(); });
  setWindowTitle(store_.Caption());
  QDialog::showEvent(e);
}

void TDlgkonfigDialog::done(int result) {
  Guarded([this] { store_.FormDeactivate(); });
  QDialog::done(result);
}

void TDlgkonfigDialog::OkClick() {
  // The field being edited hands over its text first.
  if (auto* w = qobject_cast<TFltEditWidget*>(focusWidget())) w->Edit().DoExit();
  // A file that cannot be written is reported, but the settings are in force
  // all the same: the dialog closes with OK, so that the port and the projects
  // follow them.
  Guarded([this] { store_.OkClick(); });
  accept();
}

void TDlgkonfigDialog::cancelClick() {
  Guarded([this] { store_.cancelClick(); });
  QDialog::reject();
}

void TDlgkonfigDialog::zapisClick() {
  QFileDialog dialog(this);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilter(QString::fromLatin1(kFilter));
  dialog.setDefaultSuffix(QStringLiteral("tcf"));
  dialog.setDirectory(
      QFileInfo(TDlgkonfig::ResolveFileName(GlobalSettings().SettingsFile)).absolutePath());
  dialog.selectFile(QStringLiteral("*.tcf"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QString name = dialog.selectedFiles().front();
  Guarded([this, &name] { store_.zapisClick(name); });
  setWindowTitle(store_.Caption());
}

void TDlgkonfigDialog::OdczytClick() {
  QFileDialog dialog(this, Tr("Configuration", "opendialogkonfig.title"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilter(QString::fromLatin1(kFilter));
  dialog.setDefaultSuffix(QStringLiteral("tcf"));
  dialog.setDirectory(
      QFileInfo(TDlgkonfig::ResolveFileName(GlobalSettings().SettingsFile)).absolutePath());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QString name = dialog.selectedFiles().front();
  Guarded([this, &name] { store_.OdczytClick(name); });
  setWindowTitle(store_.Caption());
}

}  // namespace vm::ui
