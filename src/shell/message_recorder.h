// A message handler for tests: records every box and answers from a queue.
#pragma once

#include <QList>
#include <deque>

#include "shell/messages.h"

namespace vm {

// Installs itself while alive and restores the previous handler afterwards.
// Confirmations are answered from `answers` in order, then with `defaultAnswer`.
class ScopedMessageRecorder {
 public:
  explicit ScopedMessageRecorder(ModalResult defaultAnswer = ModalResult::None)
      : defaultAnswer_(defaultAnswer) {
    previous_ = SetMessageHandler([this](const MessageRequest& r) {
      requests.append(r);
      if (!r.confirmation) return ModalResult::OK;
      if (!answers.empty()) {
        const ModalResult a = answers.front();
        answers.pop_front();
        return a;
      }
      return defaultAnswer_;
    });
  }
  ~ScopedMessageRecorder() { SetMessageHandler(std::move(previous_)); }
  ScopedMessageRecorder(const ScopedMessageRecorder&) = delete;
  ScopedMessageRecorder& operator=(const ScopedMessageRecorder&) = delete;

  // Text of the last request, empty when there was none.
  QString lastText() const { return requests.isEmpty() ? QString() : requests.back().text; }

  QList<MessageRequest> requests;
  std::deque<ModalResult> answers;

 private:
  ModalResult defaultAnswer_;
  MessageHandler previous_;
};

}  // namespace vm
