#include "shell/options.h"

#include <QCoreApplication>

#include "drawing/definicje.h"

namespace vm {

namespace {
QStringList g_arguments;
}

void SetCommandLine(const QStringList& arguments) { g_arguments = arguments; }

void SetCommandLineFromApplication() { g_arguments = QCoreApplication::arguments().mid(1); }

const QStringList& CommandLineArguments() { return g_arguments; }

void ResetCommandLine() { g_arguments.clear(); }

bool HasSwitch(const QString& name) {
  for (const QString& a : g_arguments) {
    if (a.compare(name, Qt::CaseInsensitive) == 0) return true;
  }
  return false;
}

bool GetOptionValue(const QString& name, QString& value) {
  value.clear();
  const QString wanted = name.toUpper();
  for (const QString& a : g_arguments) {
    if (!a.toUpper().contains(wanted)) continue;
    const qsizetype quote = a.indexOf('\'');
    // From after the first apostrophe up to the last character, exclusive.
    // An argument whose only apostrophe is its last character gives nothing.
    const qsizetype from = quote < 0 ? 0 : quote + 1;
    value = from < a.size() ? a.mid(from, a.size() - 1 - from) : QString();
    return true;
  }
  return false;
}

QByteArray GetDealer() {
  if (DealerId == "TARVIK") return DealerId;
  for (qsizetype i = g_arguments.size() - 1; i >= 0; --i) {
    const QString& a = g_arguments[i];
    if (a.size() > 2 && a.left(2).toUpper() == QLatin1String("D:")) {
      return a.mid(2).toUpper().toUtf8();
    }
  }
  return QByteArray();
}

}  // namespace vm
