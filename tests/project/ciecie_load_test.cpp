// A drawing loaded for plain cutting comes out as one cutting tree.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "ciecie_fixture.h"
#include "project/ciecie.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "shell/message_recorder.h"
#include "support/test_support.h"

namespace vm {
namespace {

TEST(CiecieLoad, NestedSquaresFromAFileAreJoinedOutsideIn) {
  ASSERT_TRUE(InstallLanguageFile(QCoreApplication::applicationDirPath() + "/Velmarosta_US.xml"));
  ResetProjectHooks();
  ResetDlgkonfig();
  InstallPlainCutting();
  Dlgkonfig().Mode.SetItemIndex(2);
  TMDIChild w;
  w.FileType = 1;
  {
    ScopedMessageRecorder messages;
    ASSERT_TRUE(w.Load(test::DataPath("plaincut/nested_squares.plt")));
    EXPECT_TRUE(messages.requests.isEmpty());
  }
  ASSERT_EQ(w.FigureCount(), 5);  // three squares, two connectors
  EXPECT_EQ(w.FirstFigure, 0);
  EXPECT_TRUE(w.HasFrame);
  EXPECT_TRUE(w.ConnectorsDone);
  for (const auto& f : w.Figures) EXPECT_FALSE(f->Unlinked);
  test::ExpectSoundTree(w);
  test::ExpectConnectorsMeetTheirEnds(w);
  ResetDlgkonfig();
  ResetProjectHooks();
  InstallInterfejs(nullptr);
}

}  // namespace
}  // namespace vm
