#pragma once

#include <QString>

// The texts of file failures, each written once. Every failure names the file and says why in
// one phrase: "ファイル「<path>」に書き込めません：<cause>".

namespace fileio_messages {

/// a file that could not be created, written or put in place
inline QString CannotWrite(const QString& path, const QString& cause) {
    return QStringLiteral("ファイル「%1」に書き込めません：%2").arg(path, cause);
}

/// a file that could not be opened or read
inline QString CannotRead(const QString& path, const QString& cause) {
    return QStringLiteral("ファイル「%1」を読み込めません：%2").arg(path, cause);
}

/// a file that could not be removed
inline QString CannotRemove(const QString& path, const QString& cause) {
    return QStringLiteral("ファイル「%1」を削除できません：%2").arg(path, cause);
}

inline QString FolderMissing() { return QStringLiteral("フォルダーがありません"); }
inline QString FileMissing() { return QStringLiteral("ファイルがありません"); }
inline QString IsFolder() { return QStringLiteral("フォルダーです"); }
inline QString NoPermission() { return QStringLiteral("アクセスする権限がありません"); }
inline QString ReadOnlyFileSystem() { return QStringLiteral("読み取り専用のファイルシステムです"); }
inline QString DiskFull() { return QStringLiteral("ディスクの空き容量が足りません"); }

}  // namespace fileio_messages
