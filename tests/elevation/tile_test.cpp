#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>

#include "elevation/tile_address.h"
#include "elevation/tile_reader.h"
#include "fileio/fileio_messages.h"
#include "format/failure.h"
#include "support/tile_server.h"

namespace {

TEST(TileAddress, LocatesTheDiagnosticPoint) {
    const TilePosition t = TileAddress(45.178505f, 141.24203f);
    EXPECT_EQ(t.TileX, 14620);
    EXPECT_EQ(t.TileY, 5882);
    EXPECT_EQ(t.PixelColumn, 21);
    EXPECT_EQ(t.PixelRow, 58);
    EXPECT_EQ(TilePath(t), "/xyz/dem/14/14620/5882.txt");
}

TEST(TileAddress, EdgesOfTheWorld) {
    const TilePosition west = TileAddress(0, -180);
    EXPECT_EQ(west.TileX, 0);
    EXPECT_EQ(west.PixelColumn, 0);
    const TilePosition equator = TileAddress(0, 0);
    EXPECT_EQ(equator.TileX, 8192);
    EXPECT_EQ(equator.TileY, 8192);
    // Beyond the projection's limit the rows go negative; the server simply has no tile.
    EXPECT_LT(TileAddress(86, 139).TileY, 0);
    // At the poles artanh is infinite: a fault, not an integer made of an infinity.
    EXPECT_THROW(TileAddress(90, 139), Failure);
    EXPECT_THROW(TileAddress(-90, 139), Failure);
}

struct TileFile : ::testing::Test {
    QTemporaryDir dir;
    QString path = dir.filePath("dem10b.txt");
    void Write(const std::string& text) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.data(), static_cast<qint64>(text.size()));
    }
};

TEST_F(TileFile, RowsCountFromOneAndZeroReadsTheFirstLine) {
    for (const char* end : {"\n", "\r\n"}) {
        Write(MakeTile([](int r, int c) { return std::to_string(r * 1000 + c); }, end));
        const struct {
            int pixelRow;
            const char* start;
        } cases[] = {{0, "0,1,2"}, {1, "0,1,2"}, {2, "1000,1001"}, {5, "4000,4001"}, {256, "255000,255001"}};
        for (const auto& c : cases) {
            const QByteArray line = ReadTileRow(path, c.pixelRow);
            EXPECT_TRUE(line.startsWith(c.start)) << c.pixelRow << " " << line.left(20).constData();
            EXPECT_FALSE(line.endsWith('\r'));
            EXPECT_FALSE(line.endsWith('\n'));
        }
    }
}

TEST_F(TileFile, ShortOversizedAndUnreadableTiles) {
    Write("1,2,3\n4,5,6");
    EXPECT_EQ(ReadTileRow(path, 1), "1,2,3");
    EXPECT_EQ(ReadTileRow(path, 2), "");  // stops without a line break: maybe cut
    EXPECT_EQ(ReadTileRow(path, 3), "");
    Write("");
    EXPECT_EQ(ReadTileRow(path, 1), "");

    // A line beyond the line limit makes the tile unusable, whichever row is wanted.
    Write("1,2\n" + std::string(MaxTileLineBytes + 10, '7') + "\n3,4\n");
    EXPECT_EQ(ReadTileRow(path, 1), "1,2");
    EXPECT_EQ(ReadTileRow(path, 2), "");
    EXPECT_EQ(ReadTileRow(path, 3), "");

    // An oversized file is not read at all.
    Write("5,6\n");
    QFile f(path);
    ASSERT_TRUE(f.resize(MaxTileBytes + 1));
    EXPECT_EQ(ReadTileRow(path, 1), "");

    try {
        ReadTileRow(dir.filePath("missing.txt"), 1);
        ADD_FAILURE() << "no failure";
    } catch (const Failure& f) {
        EXPECT_EQ(f.text(), fileio_messages::CannotRead(dir.filePath("missing.txt"), fileio_messages::FileMissing()));
    }
    EXPECT_THROW(ReadTileRow(dir.path(), 1), Failure);  // a folder cannot be read as a tile
}

TEST(SelectTileRow, StripsOneLineEndOnly) {
    // Found by fuzzing: a line may keep further carriage returns; its value then does not parse.
    EXPECT_EQ(SelectTileRow("1,2\r\r\n3", 1), "1,2\r");
    EXPECT_EQ(SelectTileRow("\n\n7\n", 3), "7");
    EXPECT_EQ(SelectTileRow("", 1), "");
    EXPECT_EQ(SelectTileRow("5\n", -1000), "5");
    EXPECT_FALSE(TileCellValue("2\r").has_value());
}

TEST(SelectTileRow, ALineWithoutItsLineBreakCountsOnlyAsTheTilesLast) {
    // A transfer that stops early leaves a last line that ends inside a value.
    const QByteArray whole =
        QByteArray::fromStdString(MakeTile([](int r, int c) { return std::to_string(r * 1000 + c) + ".25"; }));
    const qsizetype cell21 = whole.indexOf("57021.25");
    const qsizetype line59 = whole.indexOf("58000.25");
    const struct {
        QByteArray tile;
        int pixelRow;
        QByteArray start;  // of the row line; empty: no usable line
    } cases[] = {
        {whole.left(cell21 + 3), 58, ""},       // cut inside the wanted value: "570"
        {whole.left(line59 - 1), 58, ""},       // cut just before the line break
        {whole.left(line59), 58, "57000.25,"},  // cut right after it: the row is whole
        {whole.left(line59 + 3), 58, "57000.25,"},
        {whole.left(cell21 + 3), 2, "1000.25,"},            // rows above the cut stay usable
        {whole.left(whole.size() - 1), 256, "255000.25,"},  // the last line may lack its break
        {whole.left(whole.size() - 3), 256, "255000.25,"},  // not checkable: cut inside the last line
        {QByteArray::fromStdString(MakeTile([](int, int) { return std::string("7"); }, "\r\n")).chopped(1), 256, "7,"},
    };
    ASSERT_GT(cell21, 0);
    for (const auto& c : cases) {
        const QByteArray line = SelectTileRow(c.tile, c.pixelRow);
        if (c.start.isEmpty())
            EXPECT_EQ(line, "") << c.tile.size() << " @" << c.pixelRow;
        else
            EXPECT_TRUE(line.startsWith(c.start))
                << c.tile.size() << " @" << c.pixelRow << " " << line.left(20).constData();
        EXPECT_FALSE(line.endsWith('\r'));
    }
}

TEST(CellText, PicksTheValueByIndexFromZero) {
    const QByteArray line = "10,11.5,-2,1234.56";
    const struct {
        QByteArray line;
        int column;
        QByteArray cell;
    } cases[] = {
        {line, 0, "10"},
        {line, 1, "11.5"},
        {line, 2, "-2"},
        {line, 3, "1234.56"},  // the last value is read whole
        {line, 4, ""},
        {line, 256, ""},
        {"7", 0, ""},     // no comma: nothing before one
        {"7,,8", 1, ""},  // an empty value
        {"1,e,3", 1, "e"},
        {"1,12345678901234,3", 1, "123456"},  // a long value inside the line is cut to six
        {"1,123456789012345", 1, "123456789012345"},
        {"", 3, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(CellText(c.line, c.column), c.cell) << c.line.constData() << " @" << c.column;

    const std::string tile = MakeTile([](int r, int c) { return std::to_string(r * 1000 + c); }, "\n", 1);
    const QByteArray full = QByteArray::fromStdString(tile).trimmed();
    EXPECT_EQ(CellText(full, 255), "255");
    EXPECT_EQ(CellText(full, 256), "");
}

}  // namespace
