#include "fileio/whole_file.h"

#include <QFile>
#include <cerrno>

#include "fileio/atomic_file.h"
#include "fileio/file_fault.h"

void WriteWholeFile(const QString& path, const QByteArray& data) {
    AtomicFile file(path);
    file.Write(data);
    file.Commit();
}

std::optional<QByteArray> ReadWholeFile(const QString& path, qint64 maxBytes) {
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        const int error = errno;
        throw ReadFault(path, error, file.errorString());
    }
    const qint64 size = file.size();
    if (size > maxBytes) return std::nullopt;
    errno = 0;
    QByteArray data = file.read(size);
    if (data.size() != size || file.error() != QFileDevice::NoError) {
        const int error = errno;
        throw ReadFault(path, error, file.errorString());
    }
    return data;
}
