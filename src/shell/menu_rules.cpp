#include "shell/menu_rules.h"

namespace vm {

MenuState ComputeMenuState(const MenuRuleInput& in, bool previousLayerItems) {
  MenuState s;
  const bool any = in.projectCount > 0;
  s.haveProjects = any;
  s.duplicate = any && !in.activeCaption.endsWith(QStringLiteral(".dpl"), Qt::CaseInsensitive) &&
                in.mode == 2;
  if (!in.settingsExist) {
    s.layerItems = false;
  } else if (in.mode == 0) {
    s.layerItems = any;
  } else if (in.mode == 3) {
    s.layerItems = previousLayerItems;
  } else {
    s.layerItems = false;
  }
  s.manualVisible = in.manualFound;
  s.samplesVisible = in.samplesFound;
  s.catalogueVisible = in.catalogueFound;
  return s;
}

QString MainCaption(const QString& title, const QString& versionWord, const QString& version) {
  return title + QStringLiteral("   ") + versionWord + u' ' + version;
}

}  // namespace vm
