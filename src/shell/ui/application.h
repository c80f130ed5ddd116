// The program's application object: the Qt application with the event guard
// around every event it delivers.
#pragma once

#include <QApplication>

namespace vm::ui {

class TApplication : public QApplication {
 public:
  TApplication(int& argc, char** argv) : QApplication(argc, argv) {}
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace vm::ui
