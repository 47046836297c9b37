#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>

#include "elevation/mesh_elevation.h"
#include "elevation/mesh_file_writer.h"
#include "format/failure.h"

namespace {

const AngleConstants angles = ComputeAngleConstants();

TEST(MeshElevation, TokyoStationThroughTheDatumShift) {
    MeshWork w;
    w.QueryLat = 35.681236f;
    w.QueryLng = 139.767125f;
    ToTokyoDatum(w, angles);
    EXPECT_NEAR(w.DatumShiftLat, 0.0032276, 2e-7);
    EXPECT_NEAR(w.DatumShiftLng, -0.0032282, 2e-7);
    EXPECT_NEAR(w.MeshLat, 35.678009, 2e-6);
    EXPECT_NEAR(w.MeshLng, 139.770355, 2e-6);
    EXPECT_EQ(w.QueryLat, 35.681236f);
    const float tLat = w.MeshLat, tLng = w.MeshLng;
    MakeMeshCode(w);
    EXPECT_EQ(w.PrimaryMeshCode, "5339");
    EXPECT_EQ(w.MeshCode, "533946");
    const MeshCell cell = LocateMeshCell(w, tLat, tLng);
    EXPECT_NEAR(w.MeshLat, 35.666668, 1e-6);
    EXPECT_EQ(w.MeshLng, 139.75f);
    EXPECT_EQ(cell.Row, 173);
    EXPECT_EQ(cell.Col, 33);
    EXPECT_EQ(cell.ByteOffset(), 69552);
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
        MeshWork w;
        w.QueryLat = c.lat;
        w.QueryLng = c.lng;
        ToTokyoDatum(w, angles);
        const float tLat = w.MeshLat, tLng = w.MeshLng;
        MakeMeshCode(w);
        EXPECT_EQ(w.MeshCode, c.code);
        const MeshCell cell = LocateMeshCell(w, tLat, tLng);
        EXPECT_EQ(cell.Row, c.row) << c.code;
        EXPECT_EQ(cell.Col, c.col) << c.code;
    }
}

TEST(MeshElevation, CornerCellsAndClamping) {
    MeshWork w;
    w.MeshCode = "533946";  // south-west corner 35.666667, 139.75; 5' x 7.5'
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
        const MeshCell cell = LocateMeshCell(w, static_cast<float>(c.lat), static_cast<float>(c.lng));
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
    MeshWork work;
    float Tokyo() { return MeshElevation(35.681236f, 139.767125f, work, meshDir, angles); }
};

TEST_F(MeshFolder, ReadsTheCellOfThePoint) {
    // Every cell distinct enough to tell row and column apart.
    WriteMeshFile(meshDir + "533946.bh2",
                  [](int row, int col) { return EncodeMeshElevation(row == 173 && col == 33 ? 42 : 1000 + row); });
    EXPECT_EQ(QFile(meshDir + "533946.bh2").size(), 80800);
    EXPECT_EQ(Tokyo(), 42);
    EXPECT_EQ(work.MeshCode, "533946");
    EXPECT_NEAR(work.MeshLat, 35.666668, 1e-6);  // the square's corner after a read
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
            EXPECT_EQ(MeshElevation(lat, 139.7f, work, meshDir, angles), NoMeshElevation) << lat;
        } catch (const Failure&) {
        }
    }
}

}  // namespace
