// The main window's enable rules and caption, as plain functions of the state
// they depend on, so the widget only applies the result.
#pragma once

#include <QString>

namespace vm {

struct MenuRuleInput {
  int projectCount = 0;         // number of project windows
  QString activeCaption;        // caption of the active project window
  int mode = 2;                 // work mode of the settings store
  bool settingsExist = true;    // the settings dialog has been created
  bool manualFound = false;     // the manual document exists
  bool samplesFound = false;    // the samples folder exists
  bool catalogueFound = false;  // a catalogue document exists
};

// Enabled / visible state of the menu items and tool buttons that have a rule.
// The layer items keep their previous state in work mode 3, so they are passed in.
struct MenuState {
  bool haveProjects = false;  // Start1, FileCloseItem, FileSaveAsHPGL, miZaginaczProfili,
                              // Symulacja, Window items, Info, SpeedSymulacja, SpeedStart
  bool duplicate = false;     // miDuplikujPlt
  bool layerItems = false;    // Tnijwarstwe1, Tnijodwarstwy1
  bool manualVisible = false;
  bool samplesVisible = false;
  bool catalogueVisible = false;
};

MenuState ComputeMenuState(const MenuRuleInput& in, bool previousLayerItems);

// "Velmarosta", three blanks, the translated word for version, a blank and the
// four-part version, e.g. "Velmarosta   version 2.5.0.112".
QString MainCaption(const QString& title, const QString& versionWord, const QString& version);

}  // namespace vm
