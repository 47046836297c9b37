#pragma once

#include <QString>
#include <memory>

class QWidget;

/// Opens a written file with the program the desktop associates with it.
class ShellOpener {
  public:
    virtual ~ShellOpener() = default;
    /// asks the desktop to open path; owner and verb ("OPEN", or empty for the default action)
    /// are passed for platforms whose shell takes them. The outcome is not examined.
    virtual void Open(const QString& path, QWidget* owner, const QString& verb) = 0;
};

/// the desktop's opener of this platform
std::unique_ptr<ShellOpener> MakeShellOpener();
