#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

/// writes the bytes as the whole content of path, replacing any file there only when every
/// byte was written (fileio/atomic_file.h); Failure naming the file and the cause
void WriteWholeFile(const QString& path, const QByteArray& data);

/// the whole content of path, or nothing when the file holds more than maxBytes [bytes];
/// Failure naming the file and the cause when it cannot be opened or read
std::optional<QByteArray> ReadWholeFile(const QString& path, qint64 maxBytes);
