// The documents beside the program: the manual, the catalogue and the samples.
//
// Names depend on the language code of the interface ("US" when none is
// loaded) and on vm::DealerId; the dealer "CORVANTA" is the maker itself and
// counts as no dealer. All names are full paths in ProgramFolder().
#pragma once

#include <QString>

namespace vm {

// With a dealer: "Quorlin_manual_" LANG "_" DEALER ".pdf", then the same with
// "US"; neither found gives an empty name and false. Without a dealer:
// "Quorlin_manual_" LANG ".pdf", else the "US" name, whether it exists or not.
bool FindManualFile(QString& fileName);

// "Catalogue_" LANG "_" DEALER ".pdf", then with "US"; false with an empty
// name when neither exists or there is no dealer at all.
bool FindDealerCatalogueFile(QString& fileName);

// With a dealer other than "CORVANTA" FindDealerCatalogueFile; otherwise
// "Catalogue_" LANG ".pdf", else the "US" name, whether it exists or not.
bool FindCatalogueFile(QString& fileName);

// "Projekty probne" when the language is "PL" and that folder exists,
// otherwise "Samples"; the result tells whether the folder exists.
bool FindSamplesFolder(QString& folderName);

}  // namespace vm
