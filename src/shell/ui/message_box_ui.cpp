#include "shell/ui/message_box_ui.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace vm::ui {

namespace {

struct ButtonPair {
  MsgButton button;
  QMessageBox::StandardButton standard;
};

constexpr ButtonPair kButtons[] = {
    {MsgButton::Yes, QMessageBox::Yes},         {MsgButton::No, QMessageBox::No},
    {MsgButton::OK, QMessageBox::Ok},           {MsgButton::Cancel, QMessageBox::Cancel},
    {MsgButton::Abort, QMessageBox::Abort},     {MsgButton::Retry, QMessageBox::Retry},
    {MsgButton::Ignore, QMessageBox::Ignore},   {MsgButton::All, QMessageBox::YesToAll},
    {MsgButton::NoToAll, QMessageBox::NoToAll}, {MsgButton::YesToAll, QMessageBox::YesToAll},
};

QMessageBox::Icon IconOf(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Error:
      return QMessageBox::Critical;
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Confirmation:
      return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

ModalResult ExecMessageBox(const MessageRequest& request, QWidget* parent) {
  if (parent == nullptr) parent = QApplication::activeWindow();
  QMessageBox box(parent);
  // A box over a window that stays on top (the manual control window) must
  // stay on top as well, or it opens hidden behind its own parent.
  if (parent && parent->window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
  box.setIcon(IconOf(request.icon));
  box.setWindowTitle(request.caption);
  // Texts carry Windows line ends; Qt shows a lone "\r" as a visible glyph.
  QString text = request.text;
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  box.setTextFormat(Qt::PlainText);
  box.setText(text);
  box.setLayoutDirection(request.rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);

  // "All" and "Yes to all" share a standard button: only one of them is added.
  QList<std::pair<QAbstractButton*, MsgButton>> added;
  QMessageBox::StandardButtons used;
  for (const ButtonPair& p : kButtons) {
    if (!request.buttons.testFlag(p.button) || used.testFlag(p.standard)) continue;
    used |= p.standard;
    added.append({box.addButton(p.standard), p.button});
  }
  if (added.isEmpty()) added.append({box.addButton(QMessageBox::Ok), MsgButton::OK});
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  for (const auto& [button, kind] : added) {
    if (button == clicked) return ResultOfButton(kind);
  }
  // Closed with Escape or the window's close box.
  return request.buttons.testFlag(MsgButton::Cancel) ? ModalResult::Cancel : ModalResult::None;
}

void InstallMessageBoxHandler() {
  SetMessageHandler([](const MessageRequest& r) { return ExecMessageBox(r); });
}

}  // namespace vm::ui
