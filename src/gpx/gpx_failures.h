#pragma once

#include <QString>

// The texts of the failures a GPX file can raise, one per cause. Each names the file as given.

/// the file is larger than the limit [bytes]
QString GpxTooLargeText(const QString& file, qint64 size);

/// the bytes are not well-formed XML; line and column of the first error
QString GpxNotXmlText(const QString& file, qint64 line, qint64 column, const QString& detail);

/// the root element is not gpx
QString GpxNotGpxText(const QString& file, const QString& root);

/// the document type declaration defines entities
QString GpxEntityText(const QString& file);

/// a point element has no lat or lon attribute; what is "緯度" or "経度"
QString GpxMissingCoordinateText(const QString& file, qint64 line, const QString& element, const QString& what);

/// a lat, lon or ele value is not a decimal number; what is "緯度", "経度" or "標高"
QString GpxNotNumberText(const QString& file, qint64 line, const QString& element, const QString& what,
                         const QString& value);

/// a latitude outside -90..90 [deg]
QString GpxLatitudeRangeText(const QString& file, qint64 line, const QString& element, const QString& value);

/// a longitude outside -180..180 [deg]
QString GpxLongitudeRangeText(const QString& file, qint64 line, const QString& element, const QString& value);

/// neither a track, a route nor a waypoint holds a point
QString GpxNoPointsText(const QString& file);

/// the points taken exceed the limit
QString GpxTooManyPointsText(const QString& file, int limit);

/// the file holds no exact route of an autosave
QString GpxNoSnapshotText(const QString& file);

/// a route to write whose point count does not fit its columns
QString GpxInconsistentTableText();

/// the XML writer failed while building a document
QString GpxCannotBuildText();

/// the exact route of an autosave is inconsistent; detail says where
QString GpxBrokenSnapshotText(const QString& file, const QString& detail);
