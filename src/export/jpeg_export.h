#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

/// File name of the window snapshot in the user's data folder.
inline const char16_t* const SnapshotFileName = u"高低図.jpg";

/// the image as a baseline JPEG stream of quality 90, three components, rows top to bottom;
/// Failure with the encoder's message number when libjpeg reports an error
QByteArray EncodeJpeg(const QImage& image);

/// encodes the snapshot and writes it whole to myDataDir + "高低図.jpg" (an earlier file stays
/// when that fails); returns that path
QString WriteSnapshotJpeg(const QImage& snapshot, const QString& myDataDir);
