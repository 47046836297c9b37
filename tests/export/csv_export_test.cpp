#include "export/csv_export.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <functional>

#include "export/html_export.h"
#include "export/jpeg_export.h"
#include "export/text_file_writer.h"
#include "export_fixture.h"
#include "fileio/fileio_messages.h"
#include "format/failure.h"
#include "support/failing_disk.h"

namespace {

using CsvExport = ExportFixture;

TEST_F(CsvExport, WritesTheTableByteForByte) {
    Route({{"35.68123", "139.7661", 40.5f, 0, ""},
           {"35.69", "139.77", 41.5f, 1.25f, QStringLiteral("峠")},
           {"35.7", "139.78", 0, 2.5f, QStringLiteral("A,B")},
           {"35.71", "139.79", 10, 3, QStringLiteral("say \"hi\"")}});
    stats.TotalKm = 3.004999;
    stats.MaxElevation = 41.5f;
    stats.MinElevation = 0;
    stats.ClimbTotal = 11.5f;
    stats.DescentTotal = -120.5f;
    const QString path = WriteRouteCsv(table, stats, myDataDir);
    EXPECT_EQ(path, myDataDir + QStringLiteral("高低図.csv"));

    const QString expected = QStringLiteral(
        "高低図\r\n"
        "\r\n"
        "総距離,3.00Km\r\n"
        "総高低差,42m,(上り累計),12m,(下り累計),-120m\r\n"
        "\r\n"
        "No.,緯度,経度,標高(m),累計距離(km),地名\r\n"
        "1,35.6812286376953,139.766098022461,40,0,\r\n"
        "2,35.689998626709,139.770004272461,42,1.25,峠\r\n"
        "3,35.7000007629395,139.779998779297,0,2.5,\"A,B\"\r\n"
        "4,35.7099990844727,139.789993286133,10,3,\"say \"\"hi\"\"\"\r\n");
    EXPECT_EQ(Read(path).toHex(' '), ToAnsi(expected).toHex(' '));
}

TEST_F(CsvExport, NameFieldsAreQuotedOnlyWhenTheyWouldBreakTheRow) {
    const struct {
        QString name, field;
    } cases[] = {
        {"", ""},           {QStringLiteral("峠"), QStringLiteral("峠")}, {"a'b", "a'b"},       {"a,b", "\"a,b\""},
        {"\"", "\"\"\"\""}, {"line\nbreak", "\"line\nbreak\""},           {"cr\r", "\"cr\r\""},
    };
    for (const auto& c : cases) EXPECT_EQ(CsvNameField(c.name), c.field) << c.name.toStdString();
}

TEST_F(CsvExport, ReplacesAnEarlierFileAndFailsWithoutTheFolder) {
    Route({{"35", "139", 1, 0, ""}});
    WriteRouteCsv(table, stats, myDataDir);
    table.Elevation[1] = 2;
    WriteRouteCsv(table, stats, myDataDir);
    EXPECT_TRUE(Read(myDataDir + QStringLiteral("高低図.csv")).contains("\r\n1,35,139,2,0,\r\n"));

    const QString missing = myDataDir + "no-such-folder/";
    try {
        WriteRouteCsv(table, stats, missing);
        FAIL() << "no failure";
    } catch (const Failure& f) {
        EXPECT_TRUE(f.text().contains(missing + QStringLiteral("高低図.csv"))) << f.text().toStdString();
    }
}

// Each export replaces a good earlier file only when the new one was written whole: onto a
// full disk of the test's own, the failure says so and the earlier file stays byte for byte.
TEST_F(CsvExport, ExportsOntoAFullDiskLeaveTheEarlierFile) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("disk"));
    const QString folder = myDataDir + "disk/";
    const QString htmlPath = folder + QString::fromUtf16(HtmlDefaultFileName);
    QImage noise(300, 300, QImage::Format_RGB32);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, qRgb(x * 7919 % 251, y * 104729 % 241, (x ^ y) * 31));
    const struct {
        const char* name;
        QString path;
        std::function<void(bool large)> run;
    } exports[] = {
        {"csv", folder + QString::fromUtf16(CsvFileName), [&](bool) { WriteRouteCsv(table, stats, folder); }},
        {"html", htmlPath, [&](bool) { WriteRouteHtml(table, htmlPath); }},
        {"jpeg", folder + QString::fromUtf16(SnapshotFileName),
         [&](bool large) { WriteSnapshotJpeg(large ? noise : noise.copy(0, 0, 8, 8), folder); }},
    };
    for (const auto& e : exports) {
        const failing_disk::ChildResult run = failing_disk::InChild([&] {
            failing_disk::MountSmallDisk(QFile::encodeName(folder).toStdString(), "16k");
            Route({{"35", "139", 1, 0, ""}});
            e.run(false);
            const QByteArray good = Read(e.path);
            table.Capacity = 3000;
            AllocateRoute(table);
            for (int i = 1; i < table.Capacity; ++i) {
                table.Lat[i] = 35.0f + i * 1e-4f;
                table.Lng[i] = 139.0f + i * 1e-4f;
                table.CumulativeKm[i] = i * 0.01f;
            }
            table.PointCount = table.Capacity - 1;
            std::string failure = "no failure";
            try {
                e.run(true);
            } catch (const Failure& f) {
                failure = f.text().toStdString();
            }
            return failure + (Read(e.path) == good && good.size() > 0 ? "\nintact" : "\nchanged") + "\n" +
                   QDir(folder).entryList(QDir::Files | QDir::Hidden).join(',').toStdString();
        });
        ASSERT_EQ(run.status, 0) << e.name << ": " << run.text;
        EXPECT_EQ(run.text, fileio_messages::CannotWrite(e.path, fileio_messages::DiskFull()).toStdString() +
                                "\nintact\n" + QFileInfo(e.path).fileName().toStdString())
            << e.name;
    }
}

}  // namespace
