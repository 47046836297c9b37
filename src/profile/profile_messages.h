#pragma once

#include <QString>

// The failure texts of the chart, each written once.

namespace profile_messages {

/// the chart's font family is not installed
inline QString ChartFontMissing(const QString& family) {
    return QStringLiteral("グラフ用のフォント「%1」がインストールされていません").arg(family);
}

}  // namespace profile_messages
