// The global record file "Velmarosta.gcf": read at the settings dialog's
// creation, which then loads the settings file the record names and takes
// its port; written back at the end. What was read must be written back
// unchanged and read again the same.
#include <QFile>

#include "drawing/definicje.h"
#include "drawing/errors.h"
#include "fuzz_support.h"
#include "shell/global_record.h"
#include "shell/konfig.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vm::fuzz::Init();
  vm::ResetDlgkonfig();
  vm::fuzz::ClearMessages();
  QFile::remove(vm::fuzz::Folder() + QString::fromLatin1(vm::SettingsFileName));
  const QString path = vm::fuzz::WriteInput(QString::fromLatin1(vm::GlobalFileName), data, size);
  vm::Dlgkonfig().FormCreate();
  vm::fuzz::CheckMessages();

  const int port = vm::Dlgkonfig().Comnumber.ItemIndex();
  if (port < -1 || port >= vm::Dlgkonfig().Comnumber.Items().size())
    vm::fuzz::Finding("port choice out of range");
  if (vm::GlobalSettings().SettingsFile.size() > vm::TGlobalSettingsRecord::kMaxFileNameChars)
    vm::fuzz::Finding("settings file name longer than the record holds");

  const QByteArray record = vm::GlobalSettings().Encode();
  if (record.size() != vm::TGlobalSettingsRecord::kSize) vm::fuzz::Finding("record of wrong size");
  vm::Dlgkonfig().FormDestroy();
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) vm::fuzz::Finding("the record was not written back");
  const QByteArray written = f.readAll();
  if (written != record) vm::fuzz::Finding("the record written differs from the one in force");
  const auto again = vm::TGlobalSettingsRecord::Decode(written);
  if (!again || again->Encode() != written) vm::fuzz::Finding("the record does not read back");
  return 0;
}
