#include "fileio/file_fault.h"

#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <QFile>
#include <QFileInfo>
#include <QtGlobal>
#include <cerrno>

#include "fileio/fileio_messages.h"

namespace {

QString FolderOf(const QString& path) { return QFileInfo(path).absolutePath(); }

bool IsFolder(const QString& folder) { return QFileInfo(folder).isDir(); }

bool ReadOnlyMount(const QString& folder) {
    struct statvfs fs {};
    return ::statvfs(QFile::encodeName(folder).constData(), &fs) == 0 && (fs.f_flag & ST_RDONLY) != 0;
}

// With the effective identity and capabilities, as the failing call had them.
bool Denied(const QString& path, int mode) {
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), mode, AT_EACCESS) != 0 && errno == EACCES;
}

}  // namespace

FileCause WriteCause(const QString& path, int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            return FileCause::DiskFull;
        case EROFS:
            return FileCause::ReadOnlyFileSystem;
        case EACCES:
        case EPERM:
            return FileCause::NoPermission;
        default:
            break;
    }
    const QString folder = FolderOf(path);
    if (!IsFolder(folder)) return FileCause::FolderMissing;
    if (ReadOnlyMount(folder)) return FileCause::ReadOnlyFileSystem;
    if (Denied(folder, W_OK | X_OK)) return FileCause::NoPermission;
    if (QFileInfo::exists(path) && Denied(path, W_OK)) return FileCause::NoPermission;
    return FileCause::Other;
}

FileCause ReadCause(const QString& path, int error) {
    if (error == EACCES || error == EPERM) return FileCause::NoPermission;
    if (!IsFolder(FolderOf(path))) return FileCause::FolderMissing;
    if (!QFileInfo::exists(path)) return FileCause::FileMissing;
    if (error == EISDIR || IsFolder(path)) return FileCause::IsFolder;
    if (Denied(path, R_OK)) return FileCause::NoPermission;
    return FileCause::Other;
}

QString CauseText(FileCause cause, int error, const QString& systemText) {
    using namespace fileio_messages;
    switch (cause) {
        case FileCause::FolderMissing:
            return FolderMissing();
        case FileCause::FileMissing:
            return FileMissing();
        case FileCause::IsFolder:
            return IsFolder();
        case FileCause::NoPermission:
            return NoPermission();
        case FileCause::ReadOnlyFileSystem:
            return ReadOnlyFileSystem();
        case FileCause::DiskFull:
            return DiskFull();
        case FileCause::Other:
            break;
    }
    if (error != 0) return qt_error_string(error);
    return systemText;
}

Failure WriteFault(const QString& path, int error, const QString& systemText) {
    return Failure(fileio_messages::CannotWrite(path, CauseText(WriteCause(path, error), error, systemText)));
}

Failure ReadFault(const QString& path, int error, const QString& systemText) {
    return Failure(fileio_messages::CannotRead(path, CauseText(ReadCause(path, error), error, systemText)));
}

Failure RemoveFault(const QString& path, int error, const QString& systemText) {
    return Failure(fileio_messages::CannotRemove(path, CauseText(WriteCause(path, error), error, systemText)));
}
