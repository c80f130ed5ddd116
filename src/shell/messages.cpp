#include "shell/messages.h"

#include <cstdio>
#include <utility>

#include "drawing/errors.h"
#include "shell/interfejs.h"

namespace vm {

namespace {

MessageHandler g_handler;

bool InterfaceReadsRightToLeft() { return Interfejs() != nullptr && Interfejs()->RightToLeft(); }

// Headless fallback: the operator's box becomes a line on stderr.
void PrintToStderr(const MessageRequest& r) {
  std::fprintf(stderr, "[%s] %s\n", r.caption.toLocal8Bit().constData(),
               r.text.toLocal8Bit().constData());
}

// The order in which a dialog without handler picks its answer: the first
// offered of these, so that nothing is done without being asked for.
constexpr MsgButton kCautiousOrder[] = {
    MsgButton::Cancel, MsgButton::No,    MsgButton::NoToAll, MsgButton::Abort,    MsgButton::Ignore,
    MsgButton::OK,     MsgButton::Retry, MsgButton::Yes,     MsgButton::YesToAll, MsgButton::All,
};

}  // namespace

ModalResult ResultOfButton(MsgButton button) {
  switch (button) {
    case MsgButton::Yes:
      return ModalResult::Yes;
    case MsgButton::No:
      return ModalResult::No;
    case MsgButton::OK:
      return ModalResult::OK;
    case MsgButton::Cancel:
      return ModalResult::Cancel;
    case MsgButton::Abort:
      return ModalResult::Abort;
    case MsgButton::Retry:
      return ModalResult::Retry;
    case MsgButton::Ignore:
      return ModalResult::Ignore;
    case MsgButton::All:
      return ModalResult::All;
    case MsgButton::NoToAll:
      return ModalResult::NoToAll;
    case MsgButton::YesToAll:
      return ModalResult::YesToAll;
  }
  return ModalResult::None;
}

MessageHandler SetMessageHandler(MessageHandler handler) {
  return std::exchange(g_handler, std::move(handler));
}

void ShowMessageBox(const QString& text, bool error, const QString& caption) {
  MessageRequest r;
  r.text = text;
  r.caption = !caption.isEmpty()
                  ? caption
                  : (error ? QStringLiteral("Error") : QStringLiteral("Information"));
  r.icon = error ? MessageIcon::Error : MessageIcon::Information;
  r.buttons = MsgButton::OK;
  r.rightToLeft = InterfaceReadsRightToLeft();
  r.confirmation = false;
  if (g_handler) {
    g_handler(r);
  } else {
    PrintToStderr(r);
  }
}

ModalResult ConfirmDialog(const QString& text, MsgButtons buttons) {
  MessageRequest r;
  r.text = text;
  r.caption = QStringLiteral("Confirm");
  r.icon = MessageIcon::Confirmation;
  r.buttons = buttons;
  r.rightToLeft = InterfaceReadsRightToLeft();
  r.confirmation = true;
  if (g_handler) return g_handler(r);
  PrintToStderr(r);
  for (MsgButton b : kCautiousOrder) {
    if (buttons.testFlag(b)) return ResultOfButton(b);
  }
  return ModalResult::None;
}

QString MessageErrorText(const MessageError& e) { return Tr(e.section(), e.key()) + e.detail(); }

void ShowMessageError(const MessageError& e, const QString& caption) {
  ShowMessageBox(MessageErrorText(e), true, caption);
}

}  // namespace vm
