// The job decoder of the emulator and the tests. Every command it decodes
// accounts for its bytes exactly and decodes the same on its own, and
// decoding stops only where it says.
#include "fuzz_support.h"
#include "sim/job_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vm::sim;
  vm::fuzz::Init();
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const JobDecodeResult r = DecodeJob(bytes);

  std::size_t offset = 0;
  for (const JobCommand& c : r.commands) {
    const int payload = JobPayloadLength(static_cast<std::uint8_t>(c.letter));
    if (payload < 0 || data[offset] != static_cast<std::uint8_t>(c.letter))
      vm::fuzz::Finding("a decoded command does not match its bytes");
    JobCommand again;
    if (DecodeJobCommand(data + offset, size - offset, again) != payload + 1 || !(again == c))
      vm::fuzz::Finding("a command decodes differently on its own");
    if (c.ToString().isEmpty()) vm::fuzz::Finding("a command without text");
    offset += static_cast<std::size_t>(payload) + 1;
  }
  if (r.ok() ? offset != size : offset != static_cast<std::size_t>(r.errorOffset))
    vm::fuzz::Finding("decoding stopped elsewhere than it says");
  if (!r.ok() && r.error.isEmpty()) vm::fuzz::Finding("a decoding error without its reason");
  return 0;
}
