// Command-line options.
//
// The arguments (without the program name) are kept in one place that the
// program block fills at start and tests set directly.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vm {

// Sets the arguments, program name excluded.
void SetCommandLine(const QStringList& arguments);
// Takes the arguments of the running QCoreApplication.
void SetCommandLineFromApplication();
const QStringList& CommandLineArguments();
// No arguments.
void ResetCommandLine();

// True when some argument equals `name`, compared without regard to case.
bool HasSwitch(const QString& name);

// The first argument containing `name` (both upper-cased) gives its value:
// the text after its first apostrophe up to but not including its last
// character (limitX'3000' gives 3000); without an apostrophe, all but its last
// character. False with an empty value when no argument contains the name.
bool GetOptionValue(const QString& name, QString& value);

// The dealer identifier: "TARVIK" when vm::DealerId already is; otherwise the
// last argument longer than two characters that begins with "D:" (any case),
// upper-cased and without "D:"; empty without one. Does not set vm::DealerId.
QByteArray GetDealer();

}  // namespace vm
