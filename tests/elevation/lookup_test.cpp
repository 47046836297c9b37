#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

#include "elevation/curl_downloader.h"
#include "elevation/elevation_lookup.h"
#include "elevation/mesh_file_writer.h"
#include "format/failure.h"
#include "support/tile_server.h"

namespace {

const std::string DiagnosticPath = "/xyz/dem/14/14620/5882.txt";

// Every cell of the tile tells where it lies: row * 1000 + column, both from 0.
std::string PositionTile(const char* lineEnd = "\n") {
    return MakeTile([](int r, int c) { return std::to_string(r * 1000 + c); }, lineEnd);
}

std::string UniformTile(const std::string& value) {
    return MakeTile([&](int, int) { return value; });
}

// The grid square code of the diagnostic point, the stem of its mesh file.
QString DiagnosticMeshCode() {
    const TokyoPosition t = ToTokyoDatum(45.178505f, 141.24203f);
    return MakeMeshCode(t.MeshLat, t.MeshLng).MeshCode;
}

struct Lookup : ::testing::Test {
    QTemporaryDir dir;
    TileServer server;
    CurlDownloader downloader{2000, 3000};
    ElevationSources sources{server.Base(), dir.filePath("dem10b.txt"), dir.path() + "/mesh/"};

    Lookup() { QDir().mkpath(sources.MeshDir); }

    float Diagnostic() { return LookupElevation(45.178505f, 141.24203f, sources, downloader); }

    // A mesh file under the diagnostic point holding `metres` everywhere.
    void MeshUnderDiagnosticPoint(int metres) {
        WriteMeshFile(sources.MeshDir + DiagnosticMeshCode() + ".bh2",
                      [&](int, int) { return EncodeMeshElevation(metres); });
    }
};

TEST_F(Lookup, ReadsTileRowAndColumnOfThePoint) {
    for (const char* end : {"\n", "\r\n"}) {
        server.Serve(DiagnosticPath, {200, PositionTile(end)});
        // Pixel row 58 is line 58, tile row 57; pixel column 21 is value 21.
        EXPECT_EQ(Diagnostic(), 57021);
        EXPECT_FALSE(QFile::exists(sources.DemTempFile));
    }
    EXPECT_EQ(DiagnosticElevationText(sources, downloader), "57021");
    EXPECT_EQ(server.LastCacheControl(), "no-cache");
}

TEST_F(Lookup, CellTextsAndTheirElevations) {
    MeshUnderDiagnosticPoint(321);
    const struct {
        const char* cell;
        float metres;
    } cases[] = {
        {"12.5", 12},   {"13.5", 14}, {"9.87", 10},
        {"0.00", 0},    {"-3.2", -3}, {"0", 321},  // exactly "0" means no value here
        {"e", 321},                                // the service's no-data mark
        {"1e999", 321},                            // not a usable number
        {"", 321},
    };
    for (const auto& c : cases) {
        server.Serve(DiagnosticPath, {200, UniformTile(c.cell)});
        EXPECT_EQ(Diagnostic(), c.metres) << c.cell;
    }
    server.Serve(DiagnosticPath, {200, "<html><body>maintenance</body></html>", "text/html"});
    EXPECT_EQ(Diagnostic(), 321);
    server.Serve(DiagnosticPath, {200, MakeTile([](int, int) { return std::string("5"); }, "\n", 10)});
    EXPECT_EQ(Diagnostic(), 321) << "a tile with fewer lines than the pixel row";
}

TEST_F(Lookup, OfflineAndMissingTilesFallBackToTheMeshFiles) {
    // 404: no tile for the point.
    EXPECT_EQ(Diagnostic(), NoMeshElevation);
    MeshUnderDiagnosticPoint(777);
    EXPECT_EQ(Diagnostic(), 777);
    server.Serve(DiagnosticPath, {500, PositionTile()});
    EXPECT_EQ(Diagnostic(), 777);

    // No server at all.
    ElevationSources offline = sources;
    offline.TileBase = "http://127.0.0.1:1";
    EXPECT_EQ(LookupElevation(45.178505f, 141.24203f, offline, downloader), 777);
    EXPECT_FALSE(QFile::exists(sources.DemTempFile));
}

TEST_F(Lookup, AStaleTileIsNeverReadAsTheNewOne) {
    MeshUnderDiagnosticPoint(555);
    QFile stale(sources.DemTempFile);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write(QByteArray::fromStdString(UniformTile("999")));
    stale.close();
    EXPECT_EQ(Diagnostic(), 555);  // the download failed: the old file must not answer
    EXPECT_FALSE(QFile::exists(sources.DemTempFile));
    EXPECT_FALSE(QFile::exists(sources.DemTempFile + ".part"));
}

TEST_F(Lookup, UnreadableFilesFail) {
    // The tile target is a folder: the download cannot land there, the folder cannot be removed.
    ASSERT_TRUE(QDir().mkdir(sources.DemTempFile));
    EXPECT_THROW(Diagnostic(), Failure);
    QDir().rmdir(sources.DemTempFile);

    ASSERT_TRUE(QDir().mkdir(sources.MeshDir + DiagnosticMeshCode() + ".bh2"));
    EXPECT_THROW(Diagnostic(), Failure);
}

TEST_F(Lookup, ConsecutiveLookupsReuseTheConnection) {
    server.Serve(DiagnosticPath, {200, PositionTile()});
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Diagnostic(), 57021);
    EXPECT_EQ(server.Requests(), 3);
    EXPECT_EQ(server.Connections(), 1);
}

TEST(CurlDownloader, OnlyACompleteOkAnswerReplacesTheFile) {
    QTemporaryDir dir;
    TileServer server;
    server.Serve("/ok.txt", {200, "fresh"});
    server.Serve("/big.txt", {200, std::string(5000, 'x')});
    CurlDownloader downloader(2000, 3000, 4096);
    const QString target = dir.filePath("t.txt");
    auto contents = [&] {
        QFile f(target);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    };
    EXPECT_TRUE(downloader.DownloadToFile(server.Base() + "/ok.txt", target));
    EXPECT_EQ(contents(), "fresh");
    EXPECT_FALSE(downloader.DownloadToFile(server.Base() + "/missing.txt", target));
    EXPECT_FALSE(downloader.DownloadToFile(server.Base() + "/big.txt", target));  // over the size limit
    EXPECT_FALSE(downloader.DownloadToFile("file:///etc/passwd", target));        // not a web address
    EXPECT_FALSE(downloader.DownloadToFile(server.Base() + "/ok.txt", dir.filePath("no/such/folder/t.txt")));
    EXPECT_EQ(contents(), "fresh");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"t.txt"});
}

TEST(CurlDownloader, AServerThatNeverAnswersTimesOut) {
    // A listening socket that accepts nothing: the connection opens, no answer ever comes.
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 4), 0);
    socklen_t length = sizeof address;
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);

    QTemporaryDir dir;
    CurlDownloader downloader(300, 600);
    const QString url = QStringLiteral("http://127.0.0.1:%1/t.txt").arg(ntohs(address.sin_port));
    EXPECT_FALSE(downloader.DownloadToFile(url, dir.filePath("t.txt")));
    EXPECT_FALSE(QFile::exists(dir.filePath("t.txt")));
    close(listener);
}

}  // namespace
