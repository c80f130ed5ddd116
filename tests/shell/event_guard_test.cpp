// The event guard: a fault raised by a handler is shown and the event dropped.
#include "shell/event_guard.h"

#include <gtest/gtest.h>

#include <new>

#include "drawing/errors.h"
#include "shell/interfejs.h"
#include "shell/message_recorder.h"

namespace vm {
namespace {

TEST(EventGuard, ResultPassesThroughWithoutABox) {
  ScopedMessageRecorder rec;
  EXPECT_TRUE(DeliverReportingErrors([] { return true; }));
  EXPECT_FALSE(DeliverReportingErrors([] { return false; }));
  EXPECT_TRUE(rec.requests.isEmpty());
}

TEST(EventGuard, EveryKindOfErrorIsShownAsAnErrorBox) {
  struct Case {
    std::function<bool()> raise;
    QString text;
  };
  const MessageError message("Universal", "noSuchKey", "detail");
  // Any other error follows the translated lead; one without a description
  // shows the lead alone.
  const QString lead = Tr("Universal", "bladOperacji");
  const Case cases[] = {
      {[]() -> bool { throw RangeError("Round: 1e+20 does not fit"); },
       lead + "Round: 1e+20 does not fit"},
      {[]() -> bool { throw IoError("out.cn: disk full"); }, lead + "out.cn: disk full"},
      {[&]() -> bool { throw message; }, MessageErrorText(message)},
      {[]() -> bool { throw 42; }, lead.trimmed()},
      // Memory that ran out is told in the operator's language alone.
      {[]() -> bool { throw std::bad_alloc(); }, Tr("Universal", "brakPamieci")},
  };
  for (const Case& c : cases) {
    ScopedMessageRecorder rec;
    EXPECT_FALSE(DeliverReportingErrors(c.raise));
    ASSERT_EQ(rec.requests.size(), 1);
    EXPECT_EQ(rec.requests.front().icon, MessageIcon::Error);
    EXPECT_EQ(rec.requests.front().text, c.text);
  }
}

}  // namespace
}  // namespace vm
