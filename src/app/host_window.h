#pragma once

#include <QString>
#include <memory>

/// Looks for another application's top-level window by its exact title.
class HostWindowLookup {
  public:
    virtual ~HostWindowLookup() = default;
    /// true when a top-level window titled exactly `title` exists
    virtual bool Exists(const QString& title) = 0;
    /// false where this platform cannot see other applications' windows
    virtual bool CanSee() const = 0;
};

/// The title of the host application's window, whose absence ends the tool.
inline const char16_t* const HostWindowTitle = u"d_Mirevale6";

/// the lookup of this platform (X11 through the toolkit's own connection)
std::unique_ptr<HostWindowLookup> MakeHostWindowLookup();
