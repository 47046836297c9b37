#pragma once

#include <gtest/gtest.h>
#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <QTemporaryDir>
#include <vector>

#include "format/failure.h"
#include "route/route_table.h"

// A route table filled directly, a temporary folder, and files saved the way the program saves.
struct GpxFixture : ::testing::Test {
    QTemporaryDir dir;
    RouteTable table;

    struct Point {
        float lat, lng, elevation;
        QString name;
    };
    void Route(const std::vector<Point>& points) {
        table.Capacity = static_cast<int>(points.size()) + 10;
        AllocateRoute(table);
        int i = 0;
        for (const Point& p : points) {
            ++i;
            table.Lat[i] = p.lat;
            table.Lng[i] = p.lng;
            table.Elevation[i] = p.elevation;
            table.PointName[i] = p.name;
        }
        table.PointCount = i;
    }

    QString Save(const QString& name, const QByteArray& bytes) const {
        const QString path = dir.filePath(name);
        QSaveFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        file.write(bytes);
        EXPECT_TRUE(file.commit()) << path.toStdString();
        return path;
    }

    // The failure text a call raises, or "<no failure>".
    template <class F>
    static std::string FailureOf(F&& call) {
        try {
            call();
        } catch (const Failure& f) {
            return f.text().toStdString();
        }
        return "<no failure>";
    }
};
