// The About box: link, producer line, logo and height by dealer; the machine's
// data as the link reports it, or "no data".
#include "shell/about.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "drawing/definicje.h"
#include "drawing/units.h"
#include "machine/link_fixture.h"
#include "platform/shell_open.h"
#include "shell/fltedit_format.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "support/test_support.h"

namespace vm {
namespace {

class AboutBox : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ResetDrawingGlobals();
    ResetDlgkonfig();
    ExeDir = dir_.path() + "/";
    ASSERT_TRUE(InstallLanguageFile(test::DataPath("../../lang/Velmarosta_US.xml")));
    previousOpener_ = platform::SetShellOpenHandler([this](const QString& target) {
      opened_.append(target);
      return true;
    });
  }
  void TearDown() override {
    platform::SetShellOpenHandler(std::move(previousOpener_));
    InstallInterfejs(nullptr);
    ResetDlgkonfig();
    ResetDrawingGlobals();
  }

  QTemporaryDir dir_;
  QStringList opened_;
  platform::ShellOpenFn previousOpener_;
};

TEST_F(AboutBox, DealerChoosesLinkProducerLineAndLogo) {
  struct Case {
    QByteArray dealer;
    const char* logoFile;  // created in the program's folder; nullptr for none
    QString link;
    bool producer;
    int height;
  };
  const QString maker = QString::fromLatin1(kMakerWebAddress);
  for (const Case& c : std::vector<Case>{
           {"", nullptr, maker, true, kAboutHeight},
           {"", ".bmp", maker, true, kAboutHeightWithLogo},  // the logo of no dealer
           {"CORVANTA", nullptr, maker, true, kAboutHeight},
           {"TARVIK", "TARVIK.bmp", QString::fromLatin1(kTarvikWebAddress), false,
            kAboutHeightWithLogo},
           {"ACME", "TARVIK.bmp", QString(), false, kAboutHeight},
       }) {
    SCOPED_TRACE(c.dealer.constData());
    QDir(dir_.path()).removeRecursively();
    QDir().mkpath(dir_.path());
    if (c.logoFile) {
      ASSERT_TRUE(test::WriteAll(ExeDir + c.logoFile, "BM"));
    }
    DealerId = c.dealer;

    TAboutBox box;
    box.FormCreate();
    EXPECT_EQ(box.lWww, c.link);
    EXPECT_EQ(box.lWwwVisible, !c.link.isEmpty());
    EXPECT_EQ(box.dealerHint, c.link);
    EXPECT_EQ(box.ProducerVisible, c.producer);
    EXPECT_EQ(box.MachineLabelsShift, c.producer ? 0 : 10);
    EXPECT_EQ(box.Height, c.height);
    EXPECT_EQ(box.LogoFile, c.height == kAboutHeightWithLogo ? ExeDir + c.logoFile : QString());
    EXPECT_EQ(box.Labelprog, Tr("About", "labelprog.caption"));
    EXPECT_EQ(box.Labelilpl, Tr("About", "Labelilpl.caption"));

    opened_.clear();
    box.lWwwClick();
    box.dealerClick();
    EXPECT_EQ(opened_, c.link.isEmpty() ? QStringList() : (QStringList{c.link, c.link}));

    // A logo the window cannot decode leaves the small box.
    box.LogoNotLoaded();
    EXPECT_EQ(box.Height, kAboutHeight);
    EXPECT_TRUE(box.LogoFile.isEmpty());
  }
}

TEST_F(AboutBox, ShowsTheMachinesDataInTheCurrentUnit) {
  int infoReads = 0;
  TAboutBox box({.ReadStatus = [] {},
                 .LinkFailed = [] { return false; },
                 .ReadMachineInfo =
                     [&infoReads] {
                       ++infoReads;
                       PlotState.Producer = "Maker   ";
                       PlotState.Model = "R600    ";
                       PlotState.RunningMinutes = 125;
                       PlotState.FileCount = 42;
                       WorkingAreaLimits.X = 3000;
                       WorkingAreaLimits.Y = 1500;
                     }});
  box.FormCreate();
  box.FormActivate();
  const QString dp(LocaleDecimalPoint());
  EXPECT_EQ(infoReads, 1);
  EXPECT_EQ(box.Caption, Tr("About", "Caption"));
  EXPECT_EQ(box.ver, Dlgkonfig().BuildDateText());
  EXPECT_EQ(box.prod, "Maker   ");
  EXPECT_EQ(box.model, "R600    ");
  EXPECT_EQ(box.obszar, "3000" + dp + "0x1500" + dp + "0 mm");
  EXPECT_EQ(box.przebieg, "2" + Tr("About", "godz") + "5 min.");
  EXPECT_EQ(box.ilpl, "42");

  CurrentUnit = 1;  // 3000 mm = 118.11 in, 1500 mm = 59.06 in
  box.FormActivate();
  EXPECT_EQ(box.obszar, "118" + dp + "1x59" + dp + "1 in");

  for (const auto& [minutes, text] : std::vector<std::pair<int, QString>>{
           {0, "0" + Tr("About", "godz") + "0 min."}, {60, "1" + Tr("About", "godz") + "0 min."}}) {
    EXPECT_EQ(TAboutBox::RunningTimeText(minutes), text);
  }
}

TEST_F(AboutBox, AFailingLinkShowsNoData) {
  // Fails at the status query / breaks off while the identity is read / not
  // installed at all.
  bool failAfterInfo = false;
  bool infoRead = false;
  TAboutMachineLink failing{.ReadStatus = [] {},
                            .LinkFailed = [&] { return !failAfterInfo || infoRead; },
                            .ReadMachineInfo = [&] { infoRead = true; }};
  for (int variant = 0; variant < 3; ++variant) {
    SCOPED_TRACE(variant);
    failAfterInfo = variant == 1;
    infoRead = false;
    TAboutBox box(variant == 2 ? TAboutMachineLink{} : failing);
    box.FormCreate();
    box.FormActivate();
    EXPECT_EQ(infoRead, variant == 1);
    const QString none = Tr("About", "brakDanych");
    EXPECT_NE(none, "error");
    for (const QString* v : {&box.prod, &box.model, &box.obszar, &box.przebieg, &box.ilpl}) {
      EXPECT_EQ(*v, none);
    }
    EXPECT_EQ(box.Caption, Tr("About", "Caption"));
  }
}

// The box over the real machine link and the controller emulator.
class AboutBoxOnLink : public test::LinkTest {};

TAboutMachineLink RealLink() {
  return {.ReadStatus = [] { ReadStatus(); },
          .LinkFailed = [] { return LinkFailed(); },
          .ReadMachineInfo = [] { ReadMachineInfo(); }};
}

TEST_F(AboutBoxOnLink, ReadsTheConnectedMachineThenNoDataWhenItIsGone) {
  sim.With([](sim::Controller& c) {
    c.SetIdentity("Maker", "R600", "2.05");
    c.SetWorkingArea(2000, 1000, 360);
    c.SetCounters(125, 7);
  });
  TAboutBox box(RealLink());
  box.FormCreate();
  box.FormActivate();
  const QString dp(LocaleDecimalPoint());
  EXPECT_EQ(box.prod, "Maker   ");
  EXPECT_EQ(box.model, "R600    ");
  EXPECT_EQ(box.obszar, "2000" + dp + "0x1000" + dp + "0 mm");
  EXPECT_EQ(box.przebieg, "2" + Tr("About", "godz") + "5 min.");
  EXPECT_EQ(box.ilpl, "7");

  ClosePort();
  box.FormActivate();
  EXPECT_EQ(box.prod, Tr("About", "brakDanych"));
  EXPECT_EQ(box.ilpl, Tr("About", "brakDanych"));
}

}  // namespace
}  // namespace vm
