// The operator's text for a fault raised while a drawing is read or its
// cutting path is prepared: what is wrong with the drawing, in the
// operator's language, and the file it concerns.
#pragma once

#include <QString>
#include <exception>

namespace vm {

// A value that leaves the program's number range (a coordinate, a length or a
// count of steps too large to hold) says so; any other fault gives the
// translated lead (section "Project_window", key `leadKey`: the preparation's
// "bladPrzygotowania" or the reading's "bladOdczytuZbioru"), the file and the
// fault's own description. A translated error (MessageError) keeps its text.
QString DrawingErrorText(const QString& fileName, const std::exception& e,
                         const char* leadKey = "bladPrzygotowania");

}  // namespace vm
