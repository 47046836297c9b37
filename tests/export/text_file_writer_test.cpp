#include "export/text_file_writer.h"

#include "export_fixture.h"
#include "format/failure.h"

namespace {

TEST(ToAnsi, ConvertsToCp932WithQuestionMarksForTheRest) {
    const struct {
        QString text;
        QByteArray bytes;
    } cases[] = {
        {QStringLiteral("高低図"), QByteArray("\x8d\x82\x92\xe1\x90\x7d")},
        {QStringLiteral("A-ｱ"), QByteArray("A-\xb1")},  // half-width katakana is one byte
        {QStringLiteral("～"), QByteArray("\x81\x60")},
        {QStringLiteral("a😀b"), QByteArray("a?b")},  // outside CP932: one "?" per character
        {QStringLiteral("é"), QByteArray("?")},
        {QString(QChar(0xD800)) + "x", QByteArray("?x")},  // a lone surrogate
        {QStringLiteral("x") + QChar(0xDC00), QByteArray("x?")},
        {QString(), QByteArray()},
    };
    for (const auto& c : cases) EXPECT_EQ(ToAnsi(c.text).toHex(' '), c.bytes.toHex(' ')) << c.text.toStdString();
}

TEST(TextFileWriter, WritesLinesWithCrLfAndNoByteOrderMark) {
    QTemporaryDir dir;
    const QString path = dir.filePath("out.txt");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("an older and much longer content that must disappear");
    }
    TextFileWriter writer(path);
    writer.WriteLine(QStringLiteral("峠"));
    writer.WriteLine(QString());
    writer.WriteLine(QStringLiteral("end"));
    writer.Close();
    EXPECT_EQ(ExportFixture::Read(path), QByteArray("\x93\xbb\r\n\r\nend\r\n"));
}

TEST(TextFileWriter, FailuresNameTheFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("missing-folder/out.txt");
    try {
        TextFileWriter writer(path);
        FAIL() << "no failure";
    } catch (const Failure& f) {
        EXPECT_TRUE(f.text().contains(path)) << f.text().toStdString();
    }
    // A full device fails on write (or at the latest on close), never silently.
    if (QFile::exists("/dev/full")) {
        EXPECT_THROW(
            {
                TextFileWriter full("/dev/full");
                for (int i = 0; i < 10000; ++i) full.WriteLine(QString(100, QLatin1Char('x')));
                full.Close();
            },
            Failure);
    }
}

}  // namespace
