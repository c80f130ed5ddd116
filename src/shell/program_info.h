// The program's title and its folder, which name the files kept beside it.
#pragma once

#include <QString>

namespace vm {

// The application title; also the stem of the language file names.
inline constexpr const char* ApplicationTitle = "Velmarosta";

// The folder of the program with a trailing "/": vm::ExeDir once the main
// window has set it, otherwise the folder of the running executable.
QString ProgramFolder();

}  // namespace vm
