#pragma once

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

#include "route/route_table.h"

// A route table filled directly with the values an export reads.
struct ExportFixture : ::testing::Test {
    QTemporaryDir dir;
    QString myDataDir = dir.path() + "/";
    RouteTable table;
    RouteStats stats;

    struct Point {
        const char* lat;
        const char* lng;
        float elevation, cumulative;
        QString name;
    };
    void Route(std::initializer_list<Point> points) {
        table.Capacity = static_cast<int>(points.size()) + 10;
        AllocateRoute(table);
        int i = 0;
        for (const Point& p : points) {
            ++i;
            table.Lat[i] = std::stof(p.lat);
            table.Lng[i] = std::stof(p.lng);
            table.Elevation[i] = p.elevation;
            table.CumulativeKm[i] = p.cumulative;
            table.PointName[i] = p.name;
        }
        table.PointCount = i;
    }
    static QByteArray Read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
};
