#include "gpx/gpx_document.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "format/failure.h"
#include "gpx/gpx_failures.h"

QByteArray ReadGpxBytes(const QString& path) {
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) throw Failure(GpxUnreadableText(shown, file.errorString()));
    const QFileInfo info(file);
    if (info.isDir()) throw Failure(GpxUnreadableText(shown, QStringLiteral("フォルダーです")));
    if (file.size() > MaxGpxBytes) throw Failure(GpxTooLargeText(shown, file.size()));
    // The file may grow after the size check: never read more than the limit and one byte.
    QByteArray bytes = file.read(MaxGpxBytes + 1);
    if (file.error() != QFileDevice::NoError) throw Failure(GpxUnreadableText(shown, file.errorString()));
    if (bytes.size() > MaxGpxBytes) throw Failure(GpxTooLargeText(shown, bytes.size()));
    return bytes;
}

void ThrowGpxXmlError(const QXmlStreamReader& xml, const QString& file) {
    throw Failure(GpxNotXmlText(file, xml.lineNumber(), xml.columnNumber(), xml.errorString()));
}

QString OpenGpxRoot(QXmlStreamReader& xml, const QString& file) {
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
            case QXmlStreamReader::DTD:
                // Entities are declared in the DTD and only expanded later in the content, so
                // stopping here means none is ever expanded.
                if (!xml.entityDeclarations().isEmpty() || xml.text().contains(u"ENTITY"))
                    throw Failure(GpxEntityText(file));
                break;
            case QXmlStreamReader::StartElement:
                if (xml.name() != u"gpx") throw Failure(GpxNotGpxText(file, xml.qualifiedName().toString()));
                return xml.namespaceUri().toString();
            default:
                break;
        }
    }
    ThrowGpxXmlError(xml, file);
}

void FinishGpxDocument(QXmlStreamReader& xml, const QString& file) {
    while (!xml.atEnd()) xml.readNext();
    if (xml.hasError()) ThrowGpxXmlError(xml, file);
}
