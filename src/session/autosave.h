#pragma once

#include <QLockFile>
#include <QString>
#include <memory>
#include <optional>

#include "gpx/route_snapshot.h"
#include "session/tool_state.h"

/// Slots of the state folder: as many tools as this may run at once, each with its own file.
inline constexpr int AutosaveSlots = 16;

/// Keeps the route of this run in a file of its own in the user's state folder, written whole
/// after every change, and finds the route the previous run left there. A slot is claimed with
/// a lock file, so two tools started at once never write into each other's file; the lock of a
/// run that died (a kill, a power cut) is taken over by the next.
class Autosave {
  public:
    /// claims a slot in folder (created when missing); an empty folder: the user's state folder
    explicit Autosave(const QString& folder = {});
    ~Autosave();
    Autosave(const Autosave&) = delete;
    Autosave& operator=(const Autosave&) = delete;

    /// the user's state folder for the tool's own files
    static QString DefaultFolder();

    /// the file this run writes; empty when no slot could be claimed
    const QString& Path() const { return path_; }

    /// the route the previous run left: the newest readable autosave of a slot no running tool
    /// holds, with at least one point; read once, at construction
    const std::optional<RouteSnapshot>& Restorable() const { return restorable_; }

    /// writes the route whole (the file is replaced only when every byte was written); returns
    /// the failure's text instead of raising it, since the route in memory stays either way
    std::optional<QString> Save(const ToolState& state);

  private:
    QString folder_;
    QString path_;
    std::unique_ptr<QLockFile> lock_;
    std::optional<RouteSnapshot> restorable_;
};

/// the file of slot n in folder
QString AutosaveFile(const QString& folder, int slot);
