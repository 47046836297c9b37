#pragma once

#include <QString>
#include <QStringList>

#include "route/route_table.h"

/// File name of the CSV table in the user's data folder.
inline const char16_t* const CsvFileName = u"高低図.csv";

/// the lines of the route table for a file at path (line 1 is the file's name without extension)
QStringList RouteCsvLines(const RouteTable& table, const RouteStats& stats, const QString& path);

/// writes the route table to myDataDir + "高低図.csv" and returns that path; Failure when the
/// file cannot be written
QString WriteRouteCsv(const RouteTable& table, const RouteStats& stats, const QString& myDataDir);

/// a point name as one CSV field: quoted (inner quotes doubled) when it holds , " CR or LF
QString CsvNameField(const QString& name);
