#pragma once

#include <QString>
#include <QStringList>

/// The texts the window shows, named after the controls that show them. Core code writes
/// here; the window copies them into its widgets after each handler.
struct Readouts {
    QString Memo1;             ///< latitude as the page reported it (first characters)
    QString Memo2;             ///< longitude as the page reported it (first characters)
    QString Memo3;             ///< point count
    QString Memo4;             ///< route length
    QString memo5;             ///< lowest elevation
    QString Memo6;             ///< highest elevation
    QString Memo7;             ///< highest minus lowest
    QString Memo10;            ///< climb total
    QString Memo11;            ///< descent total
    QString Edit1;             ///< elevation of the last point, with " m"
    QStringList ListBox1;      ///< the route list rows
    int ListBox1TopIndex = 0;  ///< first visible row
    QString CourseTime;        ///< standard course time "h:mm"; empty below two points
    QString CourseConstant;    ///< course constant, one decimal; empty below two points
};
