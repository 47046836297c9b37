#pragma once

#include <gtest/gtest.h>
#include <QDir>
#include <QTemporaryDir>

#include "elevation/downloader.h"
#include "session/point_capture.h"
#include "session/tool_state.h"

/// Answers every download with a tile whose every cell holds one value, or fails.
class FixedTileDownloader : public Downloader {
  public:
    QString cell = QStringLiteral("e");  ///< what every cell of the tile holds
    bool fail = false;
    int calls = 0;
    bool DownloadToFile(const QString&, const QString& fileName) override {
        ++calls;
        if (fail) return false;
        QStringList row;
        for (int i = 0; i < 256; ++i) row << cell;
        QByteArray body;
        const QByteArray line = row.join(QLatin1Char(',')).toUtf8() + "\n";
        for (int i = 0; i < 256; ++i) body += line;
        QFile file(fileName);
        return file.open(QIODevice::WriteOnly) && file.write(body) == body.size();
    }
};

/// The tool's state for an install tree in a temporary folder (no mesh files: an unusable tile
/// gives the "no mesh" elevation).
struct SessionFixture : ::testing::Test {
    QTemporaryDir root;
    ToolState state{ChartFont()};
    FixedTileDownloader tiles;

    SessionFixture() {
        QDir(root.path()).mkpath(QStringLiteral("MV6_DATA/20"));
        StartSession(state, root.path() + QStringLiteral("/MV6_DATA/20"), QStringLiteral("http://127.0.0.1:9"));
    }

    /// a map click reported by the page, with a tile whose cells hold `elevation`
    bool Click(const char* lat, const char* lng, const char* elevation = "100") {
        tiles.cell = QString::fromLatin1(elevation);
        return CapturePoint(state, {QString::fromLatin1(lat), QString::fromLatin1(lng), {}, {}, {}}, tiles);
    }
};
