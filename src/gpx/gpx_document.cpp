#include "gpx/gpx_document.h"

#include <QDir>
#include <QFileInfo>
#include <optional>

#include "fileio/whole_file.h"
#include "format/failure.h"
#include "gpx/gpx_failures.h"

QByteArray ReadGpxBytes(const QString& path) {
    // The size is checked once the file is open and before any byte is read; a file that grows
    // afterwards is read only up to the size checked.
    std::optional<QByteArray> bytes = ReadWholeFile(path, MaxGpxBytes);
    if (!bytes) throw Failure(GpxTooLargeText(QDir::toNativeSeparators(path), QFileInfo(path).size()));
    return *std::move(bytes);
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
