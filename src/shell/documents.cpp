#include "shell/documents.h"

#include <QFileInfo>

#include "drawing/definicje.h"
#include "shell/interfejs.h"
#include "shell/program_info.h"

namespace vm {

namespace {

QString Lang() {
  return Interfejs() != nullptr ? Interfejs()->LanguageCode() : QStringLiteral("US");
}

QString Dealer() { return QString::fromUtf8(DealerId); }

bool HasRealDealer() { return !DealerId.isEmpty() && DealerId != "CORVANTA"; }

bool FileExists(const QString& path) { return QFileInfo(path).isFile(); }

// stem LANG "_" DEALER ".pdf", then stem "US" "_" DEALER ".pdf".
bool FindWithDealer(const QString& stem, QString& fileName) {
  const QString folder = ProgramFolder();
  for (const QString& lang : {Lang(), QStringLiteral("US")}) {
    const QString name = folder + stem + lang + '_' + Dealer() + ".pdf";
    if (FileExists(name)) {
      fileName = name;
      return true;
    }
  }
  fileName.clear();
  return false;
}

// stem LANG ".pdf", else stem "US" ".pdf" (kept as the name even when missing).
bool FindWithoutDealer(const QString& stem, QString& fileName) {
  const QString folder = ProgramFolder();
  fileName = folder + stem + Lang() + ".pdf";
  if (FileExists(fileName)) return true;
  fileName = folder + stem + "US.pdf";
  return FileExists(fileName);
}

const QString kManualStem = QStringLiteral("Quorlin_manual_");
const QString kCatalogueStem = QStringLiteral("Catalogue_");

}  // namespace

bool FindManualFile(QString& fileName) {
  return HasRealDealer() ? FindWithDealer(kManualStem, fileName)
                         : FindWithoutDealer(kManualStem, fileName);
}

bool FindDealerCatalogueFile(QString& fileName) {
  if (DealerId.isEmpty()) {
    fileName.clear();
    return false;
  }
  return FindWithDealer(kCatalogueStem, fileName);
}

bool FindCatalogueFile(QString& fileName) {
  return HasRealDealer() ? FindDealerCatalogueFile(fileName)
                         : FindWithoutDealer(kCatalogueStem, fileName);
}

bool FindSamplesFolder(QString& folderName) {
  const QString folder = ProgramFolder();
  if (Lang() == QLatin1String("PL")) {
    folderName = folder + "Projekty probne";
    if (QFileInfo(folderName).isDir()) return true;
  }
  folderName = folder + "Samples";
  return QFileInfo(folderName).isDir();
}

}  // namespace vm
