#include <QDesktopServices>
#include <QUrl>

#include "app/shell_open.h"

namespace {

class DesktopShellOpener : public ShellOpener {
  public:
    void Open(const QString& path, QWidget*, const QString&) override {
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
};

}  // namespace

std::unique_ptr<ShellOpener> MakeShellOpener() { return std::make_unique<DesktopShellOpener>(); }
