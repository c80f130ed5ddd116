// Small stand-ins for what the original desktop platform provided.
#pragma once
namespace vm::platform {}
