#include "export/text_file_writer.h"

#include <QDir>

#include "export/export_messages.h"
#include "export_fixture.h"
#include "fileio/fileio_messages.h"
#include "format/failure.h"
#include "support/failing_disk.h"

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

// The text of the Failure the call raised, or "no failure".
template <typename Call>
std::string FailureText(Call call) {
    try {
        call();
    } catch (const Failure& f) {
        return f.text().toStdString();
    }
    return "no failure";
}

TEST(TextFileWriter, FailuresNameTheFileAndTheCause) {
    QTemporaryDir dir;
    const QString path = dir.filePath("missing-folder/out.txt");
    EXPECT_EQ(FailureText([&] { TextFileWriter writer(path); }),
              fileio_messages::CannotWrite(path, fileio_messages::FolderMissing()).toStdString());
    TextFileWriter closed(dir.filePath("closed.txt"));
    closed.Close();
    EXPECT_EQ(FailureText([&] { closed.WriteLine("late"); }),
              export_messages::WriterClosed(dir.filePath("closed.txt")).toStdString());
}

// A small disk of the test's own: a write that does not fit raises from the call that meets it
// (a long file on a line, a short one onto a full disk at Close), and the file written before
// stays as it was.
TEST(TextFileWriter, AFullDiskFailsAtOnceAndKeepsTheEarlierFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("disk"));
    const QString path = dir.filePath("disk/out.txt");
    const failing_disk::ChildResult run = failing_disk::InChild([&] {
        failing_disk::MountSmallDisk(QFile::encodeName(dir.filePath("disk")).toStdString(), "16k");
        TextFileWriter first(path);
        first.WriteLine("old");
        first.Close();

        std::string report;
        try {
            TextFileWriter writer(path);
            for (int i = 0; i < 10000; ++i) writer.WriteLine(QString(100, QLatin1Char('x')));
            report += "no failure on a line";
        } catch (const Failure& f) {
            report += "on a line: " + f.text().toStdString();
        }
        report += "\n" + ExportFixture::Read(path).toStdString();

        failing_disk::FillUp(QFile::encodeName(dir.filePath("disk/filler")).toStdString());
        TextFileWriter writer(path);
        writer.WriteLine("short");
        report += "\nclose: " + FailureText([&] { writer.Close(); });
        report += "\n" + ExportFixture::Read(path).toStdString();
        return report;
    });
    ASSERT_EQ(run.status, 0) << run.text;
    const std::string full = fileio_messages::CannotWrite(path, fileio_messages::DiskFull()).toStdString();
    EXPECT_EQ(run.text, "on a line: " + full + "\nold\r\n\nclose: " + full + "\nold\r\n");
}

}  // namespace
