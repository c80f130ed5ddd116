// The project info dialog shows the core texts in its labels.
#include <gtest/gtest.h>

#include <QLabel>
#include <QStringList>

#include "drawing/definicje.h"
#include "drawing/figury.h"
#include "project/okno_plt.h"
#include "project/ui/info_form.h"
#include "shell/fltedit_format.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "shell/messages.h"
#include "support/test_support.h"

namespace vm {
namespace {

TEST(InfoWindow, LabelsShowTheActiveProject) {
  ResetDlgkonfig();
  ResetDrawingGlobals();
  ASSERT_TRUE(InstallLanguageFile(test::DataPath("../../lang/Velmarosta_US.xml")));
  TMDIChild w;
  auto f = std::make_unique<tfigura>();
  f->Points = {{0, 0}, {4000, 2000}};
  w.AddFigure(std::move(f));
  w.Ustaw_PPiPK();
  w.Width = 4000;
  w.Height = 2000;
  w.PathLength = 40000;
  w.Caption = "part.plt";
  {
    ui::InfoForm form;
    EXPECT_EQ(form.size(), QSize(488, 156));
    EXPECT_EQ(form.windowTitle(), Tr("Main_window", "info.Caption").remove('&'));
    EXPECT_EQ(form.label("Labelszer")->text(), Tr("Info", "Labelszer.caption"));
    form.fill(w);
    const QString dp(LocaleDecimalPoint());
    EXPECT_EQ(form.label("fname")->text(), "part.plt");
    EXPECT_EQ(form.label("szerokosc")->text(), "100" + dp + "00 mm");
    EXPECT_EQ(form.label("totlen")->text(), "1" + dp + "00 m");
    EXPECT_EQ(form.label("total_time")->text(), "1 min");
    EXPECT_EQ(form.label("fname")->layoutDirection(), Qt::LeftToRight);
  }
  // A path too long for 32 bits: the reason is shown in the window's text
  // and the window does not open.
  w.PathLength = 1e12;
  QStringList shown;
  const MessageHandler old = SetMessageHandler([&](const MessageRequest& r) {
    shown << r.text;
    return ModalResult::OK;
  });
  ui::ShowInfoForm(w);
  SetMessageHandler(old);
  ASSERT_EQ(shown.size(), 1);
  EXPECT_TRUE(shown.front().startsWith(Tr("Info", "bladObliczen"))) << shown.front().toStdString();
  InstallInterfejs(nullptr);
}

}  // namespace
}  // namespace vm
