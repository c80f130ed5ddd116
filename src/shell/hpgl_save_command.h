// The main window's "Save as HPGL" command: asks for a file name and writes
// the active project's figures to it as HPGL plot text.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace vm {

class tfigura;

// What the save dialog is opened with.
struct TSaveDialogRequest {
  QString title;
  QStringList filters;  // name filters, the first one selected
  QString defaultExt;   // added to a name typed without extension
  QString initialFolder;
};

// Shows the save dialog; returns the chosen name, empty when cancelled.
using AskSaveFileName = std::function<QString(const TSaveDialogRequest&)>;

// The dialog of the command: title "Save output file as HPGL.plt", the filters
// HPGL.plt (*.plt) and all files (*.*), extension "plt", the program's folder.
TSaveDialogRequest HpglSaveDialogRequest();

// `FileSaveAsHPGLClick`: nothing unless `figures` (the active project's list;
// nullptr without an active project) holds at least one figure. Then `ask` is
// called once; a non-empty name gets the export. A failed write is shown as
// ("Main_window", "bladZapisuHpgl") with the file and the reason. Returns
// whether a file was written.
bool FileSaveAsHPGLClick(const std::vector<std::unique_ptr<tfigura>>* figures,
                         const AskSaveFileName& ask);

}  // namespace vm
