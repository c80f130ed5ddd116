#include <gtest/gtest.h>

#include "shell/menu_rules.h"

namespace vm {
namespace {

TEST(MenuRules, DuplicationNeedsPlainCuttingAndNoDplCaption) {
  struct Case {
    int n;
    const char* caption;
    int mode;
    bool duplicate;
  };
  for (const Case c : {Case{1, "a.plt", 2, true}, {1, "a.DPL", 2, false}, {1, "a.Dpl", 2, false},
                       {1, "a.plt", 0, false}, {1, "a.plt", 1, false}, {1, "a.plt", 3, false},
                       {0, "", 2, false}, {2, "b.dxf", 2, true}}) {
    MenuRuleInput in;
    in.projectCount = c.n;
    in.activeCaption = QString::fromLatin1(c.caption);
    in.mode = c.mode;
    const MenuState s = ComputeMenuState(in, false);
    EXPECT_EQ(s.duplicate, c.duplicate) << c.caption << " mode " << c.mode;
    EXPECT_EQ(s.haveProjects, c.n > 0);
  }
}

TEST(MenuRules, LayerItemsFollowTheWorkMode) {
  MenuRuleInput in;
  in.projectCount = 1;
  in.mode = 0;
  EXPECT_TRUE(ComputeMenuState(in, false).layerItems);
  in.mode = 1;
  EXPECT_FALSE(ComputeMenuState(in, true).layerItems);
  in.mode = 2;
  EXPECT_FALSE(ComputeMenuState(in, true).layerItems);
  in.mode = 3;  // unchanged
  EXPECT_TRUE(ComputeMenuState(in, true).layerItems);
  EXPECT_FALSE(ComputeMenuState(in, false).layerItems);
  in.mode = 0;
  in.settingsExist = false;
  EXPECT_FALSE(ComputeMenuState(in, true).layerItems);
  in.settingsExist = true;
  in.projectCount = 0;
  EXPECT_FALSE(ComputeMenuState(in, true).layerItems);
}

TEST(MainCaption, EndsInABlankAndTheFourPartVersion) {
  EXPECT_EQ(MainCaption("Velmarosta", "version", "2.5.0.112"), "Velmarosta   version 2.5.0.112");
}

}  // namespace
}  // namespace vm
