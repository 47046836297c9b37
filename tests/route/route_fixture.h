#pragma once

#include <gtest/gtest.h>
#include <QString>

#include "route/readouts.h"
#include "route/route_points.h"
#include "route/route_table.h"

// A route as the window holds it after start-up: reset, then 100 slots.
struct RouteFixture : ::testing::Test {
    RouteTable table;
    RouteStats stats;
    Readouts shown;

    RouteFixture() { StartUpRoute(table, stats, shown); }

    void Add(const char* lat, const char* lng, float elevation) {
        AppendPoint(table, stats, shown, QString::fromUtf8(lat), QString::fromUtf8(lng), elevation);
        ShowRouteStats(stats, shown);
    }

    std::string Row(int i) const { return shown.ListBox1.at(i).toStdString(); }
};
