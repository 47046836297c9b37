#include <QDir>
#include <QRegularExpression>
#include <QTimeZone>
#include <bit>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <random>

#include "fileio/fileio_messages.h"
#include "gpx/gpx_reader.h"
#include "gpx/gpx_writer.h"
#include "gpx/route_snapshot.h"
#include "gpx_fixture.h"

namespace {

const QDateTime When(QDate(2024, 11, 3), QTime(23, 59, 58), Qt::UTC);

std::uint32_t Bits(float v) { return std::bit_cast<std::uint32_t>(v); }
std::uint64_t Bits(double v) { return std::bit_cast<std::uint64_t>(v); }

struct RouteSnapshotTest : GpxFixture {
    RouteStats stats;

    // A route after a walk over a pass and the removal of its last point: the freed slot keeps
    // its coordinates, as the table does.
    void SetUp() override {
        Route({
            {35.3606f, 138.7274f, 3776.24f, QStringLiteral("富士山 & <剣ヶ峰>")},
            {35.3611f, 138.7310f, 3700.5f, QString()},
            {35.3650f, 138.7400f, 3250.125f, QStringLiteral(" \r\n\t\"'")},
            {35.3700f, 138.7500f, 2305.0f, QStringLiteral("a") + QChar(0x01) + QChar(0xD800) + QStringLiteral("😀")},
        });
        float cumulative = 0;
        for (int i = 2; i <= 4; ++i) {
            table.SegmentKm[i] = 0.1f * static_cast<float>(i) + 1e-7f;
            cumulative += table.SegmentKm[i];
            table.CumulativeKm[i] = cumulative;
        }
        table.Lat[5] = 35.38f;
        table.Lng[5] = -0.0f;
        table.Elevation[5] = std::numeric_limits<float>::denorm_min();
        table.Lat[0] = 1e-40f;  // index 0 holds no point, but whatever it holds comes back
        stats.TotalKm = 0.90000000000000013;
        stats.LastSegmentKm = 0.4000001234567891;
        stats.ClimbTotal = 0;
        stats.DescentTotal = -1471.24f;
        stats.MaxElevation = 3776.24f;
        stats.MinElevation = 2305.0f;
        stats.CurrentElevation = 2305.0f;
    }

    void ExpectIdentical(const RouteSnapshot& back) const {
        const RouteTable& t = back.Table;
        EXPECT_EQ(t.PointCount, table.PointCount);
        ASSERT_EQ(t.Capacity, table.Capacity);
        for (int i = 0; i < table.Capacity; ++i) {
            EXPECT_EQ(Bits(t.Lat[i]), Bits(table.Lat[i])) << i;
            EXPECT_EQ(Bits(t.Lng[i]), Bits(table.Lng[i])) << i;
            EXPECT_EQ(Bits(t.Elevation[i]), Bits(table.Elevation[i])) << i;
            EXPECT_EQ(Bits(t.CumulativeKm[i]), Bits(table.CumulativeKm[i])) << i;
            EXPECT_EQ(Bits(t.SegmentKm[i]), Bits(table.SegmentKm[i])) << i;
            EXPECT_EQ(t.PointName[i], table.PointName[i]) << i;
        }
        EXPECT_EQ(t.Lat.size(), table.Lat.size());
        EXPECT_EQ(t.PointName.size(), table.PointName.size());
        const RouteStats& s = back.Stats;
        EXPECT_EQ(Bits(s.TotalKm), Bits(stats.TotalKm));
        EXPECT_EQ(Bits(s.LastSegmentKm), Bits(stats.LastSegmentKm));
        EXPECT_EQ(Bits(s.ClimbTotal), Bits(stats.ClimbTotal));
        EXPECT_EQ(Bits(s.DescentTotal), Bits(stats.DescentTotal));
        EXPECT_EQ(Bits(s.MaxElevation), Bits(stats.MaxElevation));
        EXPECT_EQ(Bits(s.MinElevation), Bits(stats.MinElevation));
        EXPECT_EQ(Bits(s.CurrentElevation), Bits(stats.CurrentElevation));
    }
};

TEST_F(RouteSnapshotTest, TheReadoutsComeBackWithTheRoute) {
    Readouts shown;
    shown.Memo3 = "4";
    shown.Memo4 = "1.00 Km";
    shown.memo5 = "2305";
    shown.Memo11 = "-1471";
    shown.Edit1 = "2305 m";
    shown.CourseTime = "1:05";
    shown.CourseConstant = "";
    shown.ListBox1 = {"  1\t-\t3776.24\t-", "  2\t.10\t3700.5\t.10\t", "  3\t.30\t3250\t.40\t \r\n\"'"};
    shown.ListBox1TopIndex = 2;
    const RouteSnapshot back = ReadRouteSnapshot(WriteExactGpx(table, stats, shown, QString(), When), "r.gpx");
    ExpectIdentical(back);
    ASSERT_TRUE(back.Shown);
    const Readouts& r = *back.Shown;
    EXPECT_EQ(r.Memo3, shown.Memo3);
    EXPECT_EQ(r.Memo4, shown.Memo4);
    EXPECT_EQ(r.memo5, shown.memo5);
    EXPECT_EQ(r.Memo11, shown.Memo11);
    EXPECT_EQ(r.Edit1, shown.Edit1);
    EXPECT_EQ(r.CourseTime, shown.CourseTime);
    EXPECT_EQ(r.CourseConstant, shown.CourseConstant);
    EXPECT_EQ(r.ListBox1, shown.ListBox1);
    EXPECT_EQ(r.ListBox1TopIndex, 2);
    // Without readouts there are none to give back.
    EXPECT_FALSE(ReadRouteSnapshot(WriteExactGpx(table, stats, QString(), When), "r.gpx").Shown);
}

TEST_F(RouteSnapshotTest, AnAutosaveRestoresTheRouteBitForBit) {
    const QString path = Save("autosave.gpx", WriteExactGpx(table, stats, QStringLiteral("自動保存"), When));
    const RouteSnapshot back = ReadRouteSnapshotFile(path);
    ExpectIdentical(back);
    EXPECT_EQ(back.Time, When);

    const AutosaveSummary summary = ReadAutosaveSummaryFile(path);
    EXPECT_EQ(summary.PointCount, 4);
    EXPECT_EQ(summary.Time, When);

    // The same file is an ordinary GPX file too.
    EXPECT_EQ(ReadGpxFile(path).size(), 4u);
}

// Every reader of GPX files fails the way every other file read of the program does.
TEST_F(RouteSnapshotTest, UnreadableFilesFailWithTheFileReadText) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.gpx"));
    const struct {
        QString path;
        QString cause;
    } files[] = {
        {dir.filePath("missing.gpx"), fileio_messages::FileMissing()},
        {dir.filePath("none/a.gpx"), fileio_messages::FolderMissing()},
        {dir.filePath("folder.gpx"), fileio_messages::IsFolder()},
        {dir.filePath("a%1 %2.gpx"), fileio_messages::FileMissing()},
    };
    const struct {
        const char* name;
        std::function<void(const QString&)> read;
    } readers[] = {
        {"ReadGpxFile", [](const QString& p) { ReadGpxFile(p); }},
        {"ReadRouteSnapshotFile", [](const QString& p) { ReadRouteSnapshotFile(p); }},
        {"ReadAutosaveSummaryFile", [](const QString& p) { ReadAutosaveSummaryFile(p); }},
    };
    for (const auto& r : readers)
        for (const auto& f : files)
            EXPECT_EQ(FailureOf([&] { r.read(f.path); }), fileio_messages::CannotRead(f.path, f.cause).toStdString())
                << r.name << " " << f.path.toStdString();
}

TEST_F(RouteSnapshotTest, RandomBitPatternsComeBack) {
    std::mt19937 random(5);
    table.Capacity = 300;
    AllocateRoute(table);
    table.PointCount = 250;
    const auto any = [&] {
        float v;
        do v = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
        while (!std::isfinite(v));
        return v;
    };
    for (int i = 0; i < table.Capacity; i += 1 + (i > 250) * 7) {
        table.Lat[i] = any();
        table.Lng[i] = any();
        table.Elevation[i] = any();
        table.CumulativeKm[i] = any();
        table.SegmentKm[i] = any();
        if (i % 3 == 0) table.PointName[i] = QString(QChar(static_cast<char16_t>(random())));
    }
    stats.TotalKm = std::bit_cast<double>(std::uint64_t{0x0000000000000123});
    stats.LastSegmentKm = -std::numeric_limits<double>::max();
    stats.DescentTotal = -0.0f;
    ExpectIdentical(ReadRouteSnapshot(WriteExactGpx(table, stats, QString(), When), "r.gpx"));

    RouteTable empty;
    RouteStats fresh;
    table = empty;
    stats = fresh;
    ExpectIdentical(ReadRouteSnapshot(WriteExactGpx(empty, fresh, QString(), QDateTime()), "e.gpx"));
}

TEST_F(RouteSnapshotTest, DamagedAutosavesFailWithTheirText) {
    const QByteArray good = WriteExactGpx(table, stats, QStringLiteral("自動保存"), When);
    const auto edit = [&](const char* pattern, const char* replacement) {
        QString text = QString::fromUtf8(good);
        const QString before = text;
        text.replace(QRegularExpression(QString::fromLatin1(pattern)), QString::fromUtf8(replacement));
        EXPECT_NE(text, before) << pattern;
        return text.toUtf8();
    };
    const struct {
        QByteArray bytes;
        const char* failure;
    } cases[] = {
        {WriteGpx(table, "plain", When), "ファイル「a.gpx」には自動保存された経路がありません"},
        {good.left(good.size() - 20),
         "GPX ファイル「a.gpx」は XML として読めません (11 行 98 桁: Premature end of document.)"},
        {edit(" capacity=\"\\d+\"", ""),
         "自動保存ファイル「a.gpx」の経路が壊れています (2 行目に capacity がありません)"},
        {edit("capacity=\"\\d+\"", "capacity=\"4\""),
         "自動保存ファイル「a.gpx」の経路が壊れています (点数 4 と配列の長さ 4 が合いません)"},
        {edit("capacity=\"\\d+\"", "capacity=\"99999999\""),
         "自動保存ファイル「a.gpx」の経路が壊れています (点数 4 と配列の長さ 99999999 が合いません)"},
        {edit("pointCount=\"4\"", "pointCount=\"-1\""),
         "自動保存ファイル「a.gpx」の経路が壊れています (2 行目の pointCount の値「-1」が読めません)"},
        {edit("climbTotal=\"[^\"]*\"", "climbTotal=\"0x1.000001p+0\""),  // not a float
         "自動保存ファイル「a.gpx」の経路が壊れています (2 行目の climbTotal の値「0x1.000001p+0」が読めません)"},
        {edit("totalKm=\"[^\"]*\"", "totalKm=\"0.9\""),
         "自動保存ファイル「a.gpx」の経路が壊れています (2 行目の totalKm の値「0.9」が読めません)"},
        {edit("\n2 [^\n]*", ""), "自動保存ファイル「a.gpx」の経路が壊れています (番号 2 の点がありません)"},
        {edit("\n3 ", "\n2 "), "自動保存ファイル「a.gpx」の経路が壊れています (番号 2 の点が二つあります)"},
        {edit("\n5 ", "\n14 "), "自動保存ファイル「a.gpx」の経路が壊れています (番号 14 の点が配列の外です)"},
        {edit("\n2 0x1.1ae388p\\+5", "\n2 0x1.1ae388p+5 0x0p+0"),
         "自動保存ファイル「a.gpx」の経路が壊れています (5 行目の項目が 7 つではありません)"},
        {edit("\n2 0x1.1ae388p\\+5", "\n2 0x1.1ae3888p+5"),  // not a float
         "自動保存ファイル「a.gpx」の経路が壊れています (5 行目の lat の値「0x1.1ae3888p+5」が読めません)"},
        {edit(" 5bcc58eb", " 5bc58eb"),
         "自動保存ファイル「a.gpx」の経路が壊れています (4 行目の name "
         "の値「5bc58eb5c71002000260020003c526330f65cf0003e」が読めません)"},
        {edit(" 5bcc58eb", " 5bcC58eb"),
         "自動保存ファイル「a.gpx」の経路が壊れています (4 行目の name "
         "の値「5bcC58eb5c71002000260020003c526330f65cf0003e」が読めません)"},
        {edit(" 0020000d000a000900220027", ""),
         "自動保存ファイル「a.gpx」の経路が壊れています (6 行目の項目が 7 つではありません)"},
    };
    for (const auto& c : cases) EXPECT_EQ(FailureOf([&] { ReadRouteSnapshot(c.bytes, "a.gpx"); }), c.failure);
}

}  // namespace
