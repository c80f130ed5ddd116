// The About box's texts and rules.
#include "shell/about.h"

#include <QFileInfo>

#include "drawing/definicje.h"
#include "drawing/units.h"
#include "platform/shell_open.h"
#include "shell/fltedit_format.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "shell/program_info.h"

namespace vm {
namespace {

QString WebAddressOfDealer(const QByteArray& dealer) {
  if (dealer.isEmpty() || dealer == "CORVANTA") return QString::fromLatin1(kMakerWebAddress);
  if (dealer == "TARVIK") return QString::fromLatin1(kTarvikWebAddress);
  return {};
}

QString LimitText(std::int32_t mm) {
  return FormatFloat(MmToUnit(CurrentUnit, mm), TFloatFormat::ffFixed, 7, 1, LocaleDecimalPoint());
}

}  // namespace

void TAboutBox::FormCreate() {
  RightToLeft = Interfejs() != nullptr && Interfejs()->RightToLeft();

  Labelprog = Tr("About", "labelprog.caption");
  Labelver = Tr("About", "Labelver.caption");
  GroupBox1 = Tr("About", "GroupBox1.caption");
  Labelprod = Tr("About", "Labelprod.caption");
  Labelmodel = Tr("About", "Labelmodel.caption");
  Labelobszar = Tr("About", "Labelobszar.caption");
  Labelprzebieg = Tr("About", "Labelprzebieg.caption");
  Labelilpl = Tr("About", "Labelilpl.caption");

  lWww = WebAddressOfDealer(DealerId);
  dealerHint = lWww;
  lWwwVisible = !lWww.isEmpty();

  Height = kAboutHeight;

  const bool otherDealer = !DealerId.isEmpty() && DealerId != "CORVANTA";
  ProducerVisible = !otherDealer;
  MachineLabelsShift = otherDealer ? kAboutProducerShift : 0;

  const QString logo = ProgramFolder() + QString::fromUtf8(DealerId) + QStringLiteral(".bmp");
  if (QFileInfo(logo).isFile()) {
    LogoFile = logo;
    Height = kAboutHeightWithLogo;
  } else {
    LogoFile.clear();
  }
}

void TAboutBox::LogoNotLoaded() {
  LogoFile.clear();
  Height = kAboutHeight;
}

bool TAboutBox::MachineAnswers() {
  if (!link_.ReadStatus || !link_.LinkFailed || !link_.ReadMachineInfo) return false;
  link_.ReadStatus();
  if (link_.LinkFailed()) return false;
  link_.ReadMachineInfo();
  // A reply that broke off leaves the data of an earlier machine (or the
  // defaults) in place: that is not this machine's information.
  return !link_.LinkFailed();
}

void TAboutBox::FormActivate() {
  Caption = Tr("About", "Caption");
  ver = Dlgkonfig().BuildDateText();

  if (!MachineAnswers()) {
    const QString none = Tr("About", "brakDanych");
    prod = model = obszar = przebieg = ilpl = none;
    return;
  }
  prod = QString::fromLatin1(PlotState.Producer);
  model = QString::fromLatin1(PlotState.Model);
  obszar = LimitText(WorkingAreaLimits.X) + u'x' + LimitText(WorkingAreaLimits.Y) + u' ' +
           UnitName(CurrentUnit);
  przebieg = RunningTimeText(PlotState.RunningMinutes);
  ilpl = QString::number(PlotState.FileCount);
}

QString TAboutBox::RunningTimeText(int minutes) {
  return QString::number(minutes / 60) + Tr("About", "godz") + QString::number(minutes % 60) +
         QStringLiteral(" min.");
}

void TAboutBox::lWwwClick() const {
  if (!lWww.isEmpty()) platform::ShellOpen(lWww);
}

void TAboutBox::dealerClick() const {
  if (!dealerHint.isEmpty()) platform::ShellOpen(dealerHint);
}

}  // namespace vm
