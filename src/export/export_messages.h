#pragma once

#include <QString>

// The failure texts of the exports, each written once (file failures: fileio/fileio_messages.h).

namespace export_messages {

/// libjpeg refused: its message number and text
inline QString JpegFailed(int messageCode, const QString& message) {
    return QStringLiteral("JPEG の作成に失敗しました (エラー番号 %1: %2)").arg(messageCode).arg(message);
}

/// the system cannot convert to the ANSI code page
inline QString NoCp932Converter() { return QStringLiteral("文字コード CP932 への変換を開始できません"); }

/// a line written after the file was closed
inline QString WriterClosed(const QString& path) {
    return QStringLiteral("ファイル「%1」は閉じられています").arg(path);
}

}  // namespace export_messages
