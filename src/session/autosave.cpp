#include "session/autosave.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <exception>

#include "fileio/whole_file.h"
#include "gpx/gpx_writer.h"
#include "session/session_messages.h"

namespace {

QString LockFile(const QString& folder, int slot) { return folder + QStringLiteral("/route-%1.lock").arg(slot); }

// A lock no running tool holds; a run that died leaves one behind that counts as free.
std::unique_ptr<QLockFile> TryLock(const QString& folder, int slot) {
    auto lock = std::make_unique<QLockFile>(LockFile(folder, slot));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) return nullptr;
    return lock;
}

}  // namespace

QString AutosaveFile(const QString& folder, int slot) { return folder + QStringLiteral("/route-%1.gpx").arg(slot); }

QString Autosave::DefaultFolder() { return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation); }

Autosave::Autosave(const QString& folder) : folder_(folder.isEmpty() ? DefaultFolder() : folder) {
    QDir().mkpath(folder_);
    QDateTime newest;
    for (int slot = 1; slot <= AutosaveSlots; ++slot) {
        std::unique_ptr<QLockFile> lock = TryLock(folder_, slot);
        if (!lock) continue;  // a running tool writes there
        const QString file = AutosaveFile(folder_, slot);
        if (QFileInfo::exists(file)) {
            try {
                RouteSnapshot saved = ReadRouteSnapshotFile(file);
                if (saved.Table.PointCount >= 1 && (!restorable_ || saved.Time > newest)) {
                    newest = saved.Time;
                    restorable_ = std::move(saved);
                }
            } catch (const std::exception&) {
                // A damaged autosave offers nothing; its slot is written again only after a change.
            }
        }
        if (!lock_) {
            lock_ = std::move(lock);
            path_ = file;
        }
    }
}

Autosave::~Autosave() {
    {
        std::lock_guard<std::mutex> hold(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    if (writer_.joinable()) writer_.join();
}

std::optional<QString> Autosave::Save(const ToolState& state) { return Write(state.Table, state.Stats, state.Shown); }

std::optional<QString> Autosave::Write(const RouteTable& table, const RouteStats& stats, const Readouts& shown) const {
    if (path_.isEmpty()) return QString::fromUtf16(session_messages::NoAutosaveSlot);
    try {
        WriteWholeFile(path_, WriteExactGpx(table, stats, shown, QString::fromUtf16(session_messages::AutosaveName),
                                            QDateTime::currentDateTimeUtc()));
        return std::nullopt;
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
}

void Autosave::SaveInBackground(const ToolState& state) {
    Pending route{state.Table, state.Stats, state.Shown};
    {
        std::lock_guard<std::mutex> hold(mutex_);
        pending_ = std::move(route);
        if (!writer_.joinable()) writer_ = std::thread([this] { Run(); });
    }
    wake_.notify_one();
}

void Autosave::Run() {
    std::unique_lock<std::mutex> hold(mutex_);
    for (;;) {
        wake_.wait(hold, [this] { return pending_ || stop_; });
        if (!pending_) return;  // stopping, with nothing left to write
        Pending route = std::move(*pending_);
        pending_.reset();
        writing_ = true;
        hold.unlock();
        const std::optional<QString> failed = Write(route.Table, route.Stats, route.Shown);
        hold.lock();
        writing_ = false;
        lastFailure_ = failed.value_or(QString());
        written_.notify_all();
    }
}

void Autosave::Flush() {
    std::unique_lock<std::mutex> hold(mutex_);
    written_.wait(hold, [this] { return !pending_ && !writing_; });
}

QString Autosave::LastFailure() const {
    std::lock_guard<std::mutex> hold(mutex_);
    return lastFailure_;
}
