#pragma once

#include <QString>

#include "format/failure.h"

/// Why a file operation failed, as far as the user can act on it.
enum class FileCause { FolderMissing, FileMissing, IsFolder, NoPermission, ReadOnlyFileSystem, DiskFull, Other };

/// The cause of a failed write, create or removal at path: from the error number the failing
/// call left (0 when it left none) and, where that says nothing, from the file system as it
/// stands (folder present, read-only mount, write permission).
FileCause WriteCause(const QString& path, int error);

/// The cause of a failed read of path, found the same way.
FileCause ReadCause(const QString& path, int error);

/// the cause in words; Other gives the system's own text for the error number, or systemText
/// when there is none
QString CauseText(FileCause cause, int error, const QString& systemText);

/// "ファイル「path」に書き込めません：<cause>"
Failure WriteFault(const QString& path, int error, const QString& systemText);

/// "ファイル「path」を読み込めません：<cause>"
Failure ReadFault(const QString& path, int error, const QString& systemText);

/// "ファイル「path」を削除できません：<cause>"
Failure RemoveFault(const QString& path, int error, const QString& systemText);
