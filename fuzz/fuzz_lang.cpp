// The language file: found beside the program and checked as at start-up.
// A refused file is told in a box; a loaded one answers every lookup.
#include "fuzz_support.h"
#include "shell/interfejs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vm::fuzz::Init();
  vm::fuzz::ClearMessages();
  vm::fuzz::WriteInput(QStringLiteral("Velmarosta_US.xml"), data, size);
  vm::tInterfejs lang;
  const bool loaded = lang.LoadLanguage(QStringLiteral("PL"));  // falls back to the US file
  if (!loaded && vm::fuzz::Messages().empty())
    vm::fuzz::Finding("a refused language file without a message");
  if (loaded) {
    if (!vm::fuzz::Messages().empty()) vm::fuzz::Finding("a message for a file that loaded");
    // A few lookups: present or missing, they must answer.
    for (const char* key : {"caption", "brakKonfiga", "zbiorPusty", "", "str"}) {
      for (const char* section : {"Main_window", "Configuration", "Project_window", ""}) {
        (void)lang.Translate(section, key);
      }
    }
  }
  return 0;
}
