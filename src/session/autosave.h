#pragma once

#include <QLockFile>
#include <QString>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

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

    /// Save on the autosave's own thread: the route is copied now and written after, so a
    /// change costs the user only the copy; a newer route replaces one not yet written. The
    /// autosave's end waits for the last one.
    void SaveInBackground(const ToolState& state);
    /// waits until every route handed to SaveInBackground is written
    void Flush();
    /// why the last background save failed; empty when it worked
    QString LastFailure() const;

  private:
    std::optional<QString> Write(const RouteTable& table, const RouteStats& stats, const Readouts& shown) const;
    void Run();

    QString folder_;
    QString path_;
    std::unique_ptr<QLockFile> lock_;
    std::optional<RouteSnapshot> restorable_;

    struct Pending {
        RouteTable Table;
        RouteStats Stats;
        Readouts Shown;
    };
    mutable std::mutex mutex_;
    std::condition_variable wake_, written_;
    std::optional<Pending> pending_;
    bool writing_ = false;
    bool stop_ = false;
    QString lastFailure_;
    std::thread writer_;
};

/// the file of slot n in folder
QString AutosaveFile(const QString& folder, int slot);
