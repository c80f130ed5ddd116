// Controller emulator: speaks the machine's serial protocol on a pseudo-terminal.
#pragma once
namespace vm::sim {}
