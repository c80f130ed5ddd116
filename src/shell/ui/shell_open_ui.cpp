#include "shell/ui/shell_open_ui.h"

#include <QDesktopServices>
#include <QUrl>

#include "platform/shell_open.h"

namespace vm::ui {

void InstallShellOpenHandler() {
  platform::SetShellOpenHandler([](const QString& target) {
    const QUrl url =
        target.contains(QStringLiteral("://")) ? QUrl(target) : QUrl::fromLocalFile(target);
    return QDesktopServices::openUrl(url);
  });
}

}  // namespace vm::ui
