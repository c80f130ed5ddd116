// Message boxes and confirmation dialogs.
//
// Core code asks the operator through these two calls; the boxes themselves
// come from an installable handler. The ui installs one built on QMessageBox at
// start-up; tests install a recorder (shell/message_recorder.h). With no
// handler installed the text goes to stderr and the default answer is given.
#pragma once

#include <QFlags>
#include <QString>
#include <cstdint>
#include <functional>

namespace vm {

class MessageError;

enum class MessageIcon { Error, Information, Confirmation };

// Buttons of a confirmation dialog.
enum class MsgButton : std::uint16_t {
  Yes = 0x001,
  No = 0x002,
  OK = 0x004,
  Cancel = 0x008,
  Abort = 0x010,
  Retry = 0x020,
  Ignore = 0x040,
  All = 0x080,
  NoToAll = 0x100,
  YesToAll = 0x200,
};
Q_DECLARE_FLAGS(MsgButtons, MsgButton)
Q_DECLARE_OPERATORS_FOR_FLAGS(MsgButtons)

// The answer of a dialog (the modal result).
enum class ModalResult : std::uint16_t {
  None = 0,
  OK = 1,
  Cancel = 2,
  Abort = 3,
  Retry = 4,
  Ignore = 5,
  Yes = 6,
  No = 7,
  All = 8,
  NoToAll = 9,
  YesToAll = 10,
};

// The result that pressing `button` gives.
ModalResult ResultOfButton(MsgButton button);

// What a handler is asked to show.
struct MessageRequest {
  QString text;
  QString caption;  // already resolved: never empty for a message box
  MessageIcon icon = MessageIcon::Information;
  MsgButtons buttons;  // MsgButton::OK for a message box
  bool rightToLeft = false;
  bool confirmation = false;  // ConfirmDialog rather than ShowMessageBox
};

using MessageHandler = std::function<ModalResult(const MessageRequest&)>;

// Installs the handler (an empty function restores stderr); returns the old one.
MessageHandler SetMessageHandler(MessageHandler handler);

// A modal box with one OK button. The caption is `caption`, or "Error" for an
// error and "Information" otherwise when it is empty; the icon is the error or
// information icon; it reads right to left when the interface does.
void ShowMessageBox(const QString& text, bool error, const QString& caption = QString());

// A confirmation dialog with the given buttons; returns the button pressed.
// Without a handler the answer is the most cautious button offered (Cancel,
// No, Abort, Ignore, OK, ... in that order), so nothing is done unasked.
ModalResult ConfirmDialog(const QString& text, MsgButtons buttons);

// Shows an error box for `e`: the translated (section, key) text immediately
// followed by the error's detail.
void ShowMessageError(const MessageError& e, const QString& caption = QString());

// The text ShowMessageError shows for `e`.
QString MessageErrorText(const MessageError& e);

}  // namespace vm
