// Command-line switches, option values and the dealer identifier.
#include "shell/options.h"

#include <gtest/gtest.h>

#include "drawing/definicje.h"
#include "machine/machine_globals.h"
#include "machine/ploter.h"
#include "machine/sequencer.h"

namespace vm {
namespace {

class Options : public ::testing::Test {
 protected:
  void TearDown() override {
    ResetCommandLine();
    ResetDrawingGlobals();
    Machine.Reset();
  }
};

TEST_F(Options, HasSwitchIgnoresCaseButNeedsTheWholeArgument) {
  SetCommandLine({"test", "rotarycutext", "RotaryCutExt2x", "limitX'3000'"});
  EXPECT_TRUE(HasSwitch("RotaryCutExt"));
  EXPECT_TRUE(HasSwitch("TEST"));
  EXPECT_FALSE(HasSwitch("RotaryCutExt2"));
  EXPECT_FALSE(HasSwitch("limitX"));
  ResetCommandLine();
  EXPECT_FALSE(HasSwitch("test"));
}

TEST_F(Options, GetOptionValue) {
  struct Case {
    QStringList args;
    const char* name;
    bool found;
    const char* value;
  };
  const Case cases[] = {
      {{"limitX'3000'"}, "limitX", true, "3000"},
      {{"LIMITX'2500'"}, "limitX", true, "2500"},
      {{"limitX=2500"}, "limitX", true, "limitX=250"},
      {{"limitx'ab'c'"}, "LIMITX", true, "ab'c"},
      {{"limitX'"}, "limitX", true, ""},
      {{"pre-limitX'12'"}, "limitX", true, "12"},
      {{"limitY'5'", "limitX'7'", "limitX'8'"}, "limitX", true, "7"},
      {{"limitY'5'"}, "limitX", false, ""},
      {{}, "limitX", false, ""},
      {{"limitX'Mixed'"}, "limitX", true, "Mixed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.join(' ').toStdString());
    SetCommandLine(c.args);
    QString value = "stale";
    EXPECT_EQ(GetOptionValue(c.name, value), c.found);
    EXPECT_EQ(value, c.value);
  }
}

TEST_F(Options, GetDealer) {
  struct Case {
    QStringList args;
    QByteArray preset;
    QByteArray dealer;
  };
  const Case cases[] = {
      {{"d:abc", "D:xyz"}, "", "XYZ"},
      {{"D:xyz", "d:abc"}, "", "ABC"},
      {{"D:"}, "", ""},
      {{"PL"}, "", ""},
      {{"D:xyz"}, "TARVIK", "TARVIK"},
      {{"D:xyz"}, "OTHER", "XYZ"},
      {{"XD:abc"}, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.join(' ').toStdString());
    SetCommandLine(c.args);
    DealerId = c.preset;
    EXPECT_EQ(GetDealer(), c.dealer);
  }
}

TEST_F(Options, TestModeIsOnlyTheExactFirstArgument) {
  struct Case {
    QStringList args;
    bool testMode;
  };
  const Case cases[] = {{{"test"}, true},        {{"test", "PL"}, true}, {{"Test"}, false},
                        {{"PL", "test"}, false}, {{"tests"}, false},     {{}, false}};
  for (const Case& c : cases) {
    SetCommandLine(c.args);
    EXPECT_EQ(IsTestMode(), c.testMode) << c.args.join(' ').toStdString();
  }
}

TEST_F(Options, Zgear40DoublesTheTurntableSteps) {
  for (const auto& [arg, steps] : {std::pair{"zgear40", 100000}, {"Zgear40x", 50000}}) {
    SetCommandLine({arg});
    SelectStepsPerTurn();
    EXPECT_EQ(Machine.StepsPerTurn, steps) << arg;
  }
}

}  // namespace
}  // namespace vm
