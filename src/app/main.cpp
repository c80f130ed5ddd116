// The program block: application title, the long-lived windows, the event loop.
#include <QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Velmarosta"));
  // The main window arrives with the shell; until then the program ends cleanly.
  return 0;
}
