// The operating-system services the program relies on, each behind a small
// interface of its own so that the rest of the code stays free of system
// calls and tests can pin what the system would answer: the country code that
// picks the language (country_code.h), the system's name for the start-up
// check (os_name.h), opening documents and web addresses (shell_open.h) and
// the joystick of the manual control (joystick.h).
#pragma once
namespace vm::platform {}
