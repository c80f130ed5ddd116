// Message boxes and confirmations through the installable handler.
#include "shell/messages.h"

#include <gtest/gtest.h>

#include "drawing/errors.h"
#include "shell/interfejs.h"
#include "shell/message_recorder.h"

namespace vm {
namespace {

TEST(Messages, CaptionAndIcon) {
  ScopedMessageRecorder rec;
  ShowMessageBox("boom", true);
  ShowMessageBox("note", false, "X");
  ShowMessageBox("note", false);
  ShowMessageBox("bad", true, "Custom");
  ASSERT_EQ(rec.requests.size(), 4);
  EXPECT_EQ(rec.requests[0].caption, "Error");
  EXPECT_EQ(rec.requests[0].icon, MessageIcon::Error);
  EXPECT_EQ(rec.requests[1].caption, "X");
  EXPECT_EQ(rec.requests[1].icon, MessageIcon::Information);
  EXPECT_EQ(rec.requests[2].caption, "Information");
  EXPECT_EQ(rec.requests[3].caption, "Custom");
  EXPECT_EQ(rec.requests[3].icon, MessageIcon::Error);
  for (const MessageRequest& r : rec.requests) {
    EXPECT_EQ(r.buttons, MsgButtons(MsgButton::OK));
    EXPECT_FALSE(r.confirmation);
  }
}

TEST(Messages, RightToLeftFollowsTheInterface) {
  ScopedMessageRecorder rec;
  auto t = std::make_unique<tInterfejs>();
  t->SetRightToLeft(true);
  InstallInterfejs(std::move(t));
  ShowMessageBox("a", true);
  ConfirmDialog("b", MsgButton::Yes | MsgButton::No);
  InstallInterfejs(nullptr);
  ShowMessageBox("c", true);
  ASSERT_EQ(rec.requests.size(), 3);
  EXPECT_TRUE(rec.requests[0].rightToLeft);
  EXPECT_TRUE(rec.requests[1].rightToLeft);
  EXPECT_FALSE(rec.requests[2].rightToLeft);
}

TEST(Messages, ConfirmReturnsTheAnswerAndRecorderRestoresTheHandler) {
  {
    ScopedMessageRecorder outer(ModalResult::Yes);
    {
      ScopedMessageRecorder inner;
      inner.answers = {ModalResult::No};
      EXPECT_EQ(ConfirmDialog("q", MsgButton::Yes | MsgButton::No), ModalResult::No);
      ASSERT_EQ(inner.requests.size(), 1);
      EXPECT_TRUE(inner.requests[0].confirmation);
      EXPECT_EQ(inner.requests[0].buttons, MsgButton::Yes | MsgButton::No);
      EXPECT_EQ(inner.requests[0].icon, MessageIcon::Confirmation);
    }
    EXPECT_EQ(ConfirmDialog("q", MsgButton::Yes | MsgButton::No), ModalResult::Yes);
    EXPECT_EQ(outer.requests.size(), 1);
  }
}

// Without any handler (a headless run) nothing is agreed to unasked.
TEST(Messages, WithoutHandlerTheCautiousAnswer) {
  MessageHandler previous = SetMessageHandler({});
  EXPECT_EQ(ConfirmDialog("q", MsgButton::Yes | MsgButton::No | MsgButton::Cancel),
            ModalResult::Cancel);
  EXPECT_EQ(ConfirmDialog("q", MsgButton::Yes | MsgButton::No), ModalResult::No);
  EXPECT_EQ(ConfirmDialog("q", MsgButton::OK), ModalResult::OK);
  EXPECT_EQ(ConfirmDialog("q", MsgButtons()), ModalResult::None);
  ShowMessageBox("printed to stderr", true);
  SetMessageHandler(std::move(previous));
}

TEST(Messages, ShowMessageErrorTranslatesAndAppendsDetail) {
  ScopedMessageRecorder rec;
  ASSERT_TRUE(InstallLanguageString(
      "<interface name=\"Velmarosta\" version=\"1.0\"><Universal>"
      "<zbioruNieMoznaOtworzyc str=\"Cannot open: \"/></Universal></interface>"));
  ShowMessageError(MessageError("Universal", "zbioruNieMoznaOtworzyc", "/tmp/a.plt"));
  ShowMessageError(MessageError("Universal", "nothing"), "Cap");
  InstallInterfejs(nullptr);
  ASSERT_EQ(rec.requests.size(), 2);
  EXPECT_EQ(rec.requests[0].text, "Cannot open: /tmp/a.plt");
  EXPECT_EQ(rec.requests[0].caption, "Error");
  EXPECT_EQ(rec.requests[1].text, "error");
  EXPECT_EQ(rec.requests[1].caption, "Cap");
}

}  // namespace
}  // namespace vm
