// What every fuzz target shares: the process set-up (a Qt application, a
// private program folder, the US language file, message boxes recorded
// instead of shown), writing an input as a file beside the program, and the
// verdict on what the program told the operator.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "shell/messages.h"

namespace vm::fuzz {

// Once per process; every target calls it first.
void Init();

// The private program folder (with a trailing "/"): ExeDir points at it.
QString Folder();

// Writes the input as Folder() + name and returns the full name.
QString WriteInput(const QString& name, const std::uint8_t* data, std::size_t size);
QString WriteInput(const QString& name, const QByteArray& bytes);

// The message boxes and questions since the last ClearMessages. Questions are
// answered with the most cautious button offered.
const std::vector<MessageRequest>& Messages();
void ClearMessages();

// A message is the program's own refusal when its text comes from the
// language file: a missing text ("error") or the bare text of a C++ library
// error ("std::bad_alloc", "vector::_M_range_check", ...) is a finding.
void CheckMessages();

// Reports a finding and aborts, so that libFuzzer keeps the input.
[[noreturn]] void Finding(const std::string& what);

// Reads a drawing the way a project window's load does (open, one figure per
// call until the end, close). The program's errors end the read normally;
// any other exception escapes to libFuzzer.
void ReadDrawing(const QString& fileName, int mode);

// The whole road of an opened drawing in every work mode: load into a project
// window, prepare, write the job as the cut sequencer does and decode it.
void OpenRoad(const QString& fileName);

}  // namespace vm::fuzz
