#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>

#include "elevation/mesh_elevation.h"
#include "elevation/mesh_file_writer.h"
#include "format/failure.h"

namespace {

TEST(MeshElevation, TokyoStationThroughTheDatumShift) {
    // The shift is taken at the WGS84 position as if it were a Tokyo-datum one.
    const DatumShift shift = TokyoDatumShift(35.681236f, 139.767125f);
    EXPECT_NEAR(shift.DatumShiftLat, 0.0032276, 2e-7);
    EXPECT_NEAR(shift.DatumShiftLng, -0.0032282, 2e-7);
    const TokyoPosition t = ToTokyoDatum(35.681236f, 139.767125f);
    EXPECT_EQ(t.MeshLat, static_cast<float>(35.681236f - static_cast<long double>(shift.DatumShiftLat)));
    EXPECT_EQ(t.MeshLng, static_cast<float>(139.767125f - static_cast<long double>(shift.DatumShiftLng)));
    EXPECT_NEAR(t.MeshLat, 35.678009, 2e-6);
    EXPECT_NEAR(t.MeshLng, 139.770355, 2e-6);
    const MeshCodes codes = MakeMeshCode(t.MeshLat, t.MeshLng);
    EXPECT_EQ(codes.PrimaryMeshCode, "5339");
    EXPECT_EQ(codes.MeshCode, "533946");
    const MeshCellPlace place = LocateMeshCell(codes.MeshCode, t.MeshLat, t.MeshLng);
    EXPECT_NEAR(place.Corner.MeshLat, 35.666668, 1e-6);
    EXPECT_EQ(place.Corner.MeshLng, 139.75f);
    EXPECT_EQ(place.Cell.Row, 173);
    EXPECT_EQ(place.Cell.Col, 33);
    EXPECT_EQ(place.Cell.ByteOffset(), 69552);
}

TEST(MeshElevation, CodesAndCellsAcrossJapan) {
    const struct {
        float lat, lng;
        const char* code;
        int row, col;
    } cases[] = {
        {35.681236f, 139.767125f, "533946", 173, 33},
        {43.0621f, 141.3544f, "644142", 57, 174},  // Sapporo
        {26.2124f, 127.6809f, "392725", 100, 93},  // Naha
    };
    for (const auto& c : cases) {
        const TokyoPosition t = ToTokyoDatum(c.lat, c.lng);
        const QString code = MakeMeshCode(t.MeshLat, t.MeshLng).MeshCode;
        EXPECT_EQ(code, c.code);
        const MeshCell cell = LocateMeshCell(code, t.MeshLat, t.MeshLng).Cell;
        EXPECT_EQ(cell.Row, c.row) << c.code;
        EXPECT_EQ(cell.Col, c.col) << c.code;
    }
}

TEST(MeshElevation, CornerCellsAndClamping) {
    const QString code = "533946";  // south-west corner 35.666667, 139.75; 5' x 7.5'
    const struct {
        double lat, lng;
        int row, col;
    } cases[] = {
        {35.6667 + 0.00001, 139.75 + 0.00001, 200, 1},  // south-west cell
        {35.75 - 0.00001, 139.875 - 0.00001, 1, 200},   // north-east cell
        {35.6, 139.7, 200, 1},                          // outside: clamped
        {35.8, 139.9, 1, 200},
    };
    for (const auto& c : cases) {
        const MeshCell cell = LocateMeshCell(code, static_cast<float>(c.lat), static_cast<float>(c.lng)).Cell;
        EXPECT_EQ(cell.Row, c.row) << c.lat << "," << c.lng;
        EXPECT_EQ(cell.Col, c.col) << c.lat << "," << c.lng;
    }
    EXPECT_EQ((MeshCell{200, 1}.ByteOffset()), 2 * 40198);
    EXPECT_EQ((MeshCell{1, 200}.ByteOffset()), 2 * 199);
}

TEST(MeshElevation, DecodesWithTheTruncatingRemainder) {
    const struct {
        std::int16_t stored;
        std::int32_t metres;
    } cases[] = {{-15000, 0},   {-15001, -1},    {-1, 1499},      {0, 1500},       {32767, 4776},  {22760, 3776},
                 {22769, 3776}, {-30000, -1500}, {-30001, -1500}, {-30005, -1500}, {-32768, -1776}};
    for (const auto& c : cases) EXPECT_EQ(DecodeMeshValue(c.stored), c.metres) << c.stored;
    for (int m : {0, 1, 1499, 3776, -1}) EXPECT_EQ(DecodeMeshValue(EncodeMeshElevation(m)), m);
    EXPECT_THROW(EncodeMeshElevation(5000), Failure);
}

struct MeshFolder : ::testing::Test {
    QTemporaryDir dir;
    QString meshDir = dir.path() + "/";
    float Tokyo() { return MeshElevation(35.681236f, 139.767125f, meshDir); }
};

TEST_F(MeshFolder, ReadsTheCellOfThePoint) {
    // Every cell distinct enough to tell row and column apart.
    WriteMeshFile(meshDir + "533946.bh2",
                  [](int row, int col) { return EncodeMeshElevation(row == 173 && col == 33 ? 42 : 1000 + row); });
    EXPECT_EQ(QFile(meshDir + "533946.bh2").size(), 80800);
    EXPECT_EQ(Tokyo(), 42);
}

TEST_F(MeshFolder, MissingShortAndUnreadableFiles) {
    EXPECT_EQ(Tokyo(), NoMeshElevation);

    QFile file(meshDir + "533946.bh2");
    for (qint64 size : {qint64(0), qint64(100), MeshMinBytes - 1}) {
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray(size, '\x01'));
        file.close();
        EXPECT_EQ(Tokyo(), NoMeshElevation) << size;
    }
    // Exactly long enough for the last cell is a usable file.
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QByteArray(MeshMinBytes, '\0'));
    file.close();
    EXPECT_EQ(Tokyo(), 1500);
    ASSERT_TRUE(file.resize(MeshMaxBytes + 1));
    EXPECT_EQ(Tokyo(), NoMeshElevation);

    file.remove();
    ASSERT_TRUE(QDir().mkdir(meshDir + "533946.bh2"));  // exists, but cannot be read as a file
    EXPECT_THROW(Tokyo(), Failure);
}

TEST_F(MeshFolder, AbsurdPositionsFailOrFindNoFile) {
    // Found by fuzzing: far-off positions name long grid codes; they must not crash the lookup.
    for (float lat : {-4.97e17f, 1e30f, NAN, INFINITY, 90.0f, -90.0f}) {
        try {
            EXPECT_EQ(MeshElevation(lat, 139.7f, meshDir), NoMeshElevation) << lat;
        } catch (const Failure&) {
        }
    }
}

}  // namespace
