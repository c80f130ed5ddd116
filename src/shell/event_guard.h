// The last line of defence of the event loop.
//
// A fault raised while the program handles an event (a value that does not fit
// its integer type, a file that cannot be written, ...) is shown to the
// operator in an error box and the event is dropped; the program goes on
// instead of ending with the operator's work unsaved.
#pragma once

#include <functional>

namespace vm {

// Runs `deliver` and returns its result. An exception it raises is shown in an
// error box (a translated message error with its text, any other after a
// translated lead with its description) and the result is false.
bool DeliverReportingErrors(const std::function<bool()>& deliver);

}  // namespace vm
