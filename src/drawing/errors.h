// Error types shared by every subsystem.
//
// The program never wraps an integer or reads past an array: such a fault raises
// one of these. Errors the operator must see carry the (section, key) of their
// text in the language file, so the message-box layer can translate them.
#pragma once

#include <QString>
#include <stdexcept>
#include <string>

namespace vm {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A value does not fit its integer type, or an index lies outside its array.
class RangeError : public Error {
 public:
  using Error::Error;
};

// Integer arithmetic overflowed.
class OverflowError : public Error {
 public:
  using Error::Error;
};

// A file could not be opened, read or written.
class IoError : public Error {
 public:
  using Error::Error;
};

// An error shown to the operator as a translated message: the text comes from
// (section, key) of the language file, optionally followed by `detail`.
class MessageError : public Error {
 public:
  MessageError(QString section, QString key, QString detail = {})
      : Error((section + "/" + key + (detail.isEmpty() ? QString() : ": " + detail)).toStdString()),
        section_(std::move(section)),
        key_(std::move(key)),
        detail_(std::move(detail)) {}
  const QString& section() const { return section_; }
  const QString& key() const { return key_; }
  const QString& detail() const { return detail_; }

 private:
  QString section_;
  QString key_;
  QString detail_;
};

}  // namespace vm
