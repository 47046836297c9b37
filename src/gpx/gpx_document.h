#pragma once

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>

// What the GPX reader and the autosave reader share: the limits, the namespaces, reading a
// file's bytes and walking up to the root element.

/// the largest GPX file read [bytes]
inline constexpr qint64 MaxGpxBytes = qint64{64} * 1024 * 1024;

/// the most points one import takes
inline constexpr int MaxGpxPoints = 100000;

/// the GPX 1.1 namespace
inline constexpr char16_t GpxNamespace[] = u"http://www.topografix.com/GPX/1/1";

/// the namespace of the exact route kept in an autosave
inline constexpr char16_t SnapshotNamespace[] = u"urn:mirevale-map:route:1";

/// the whole file; Failure when it cannot be read or exceeds MaxGpxBytes (checked before reading)
QByteArray ReadGpxBytes(const QString& path);

/// reads up to the root element and checks it is gpx; rejects a document type declaration that
/// defines entities before any could be expanded; returns the root's namespace
QString OpenGpxRoot(QXmlStreamReader& xml, const QString& file);

/// reads past the root to the end so that trailing garbage is found; Failure on any XML error
void FinishGpxDocument(QXmlStreamReader& xml, const QString& file);

/// Failure with the reader's parse error, its line and column
[[noreturn]] void ThrowGpxXmlError(const QXmlStreamReader& xml, const QString& file);
