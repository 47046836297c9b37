// Downloads that stop early, compressed downloads and what each request carries, against
// servers on 127.0.0.1 that send exactly the bytes a case needs.

#include <gtest/gtest.h>
#include <zlib.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <regex>
#include <stdexcept>

#include "elevation/curl_downloader.h"
#include "elevation/elevation_lookup.h"
#include "elevation/mesh_elevation.h"
#include "elevation/mesh_file_writer.h"
#include "support/scripted_server.h"
#include "support/tile_server.h"

namespace {

const std::string DiagnosticPath = "/xyz/dem/14/14620/5882.txt";
constexpr int MeshMetres = 321;

// The diagnostic point reads tile row 57, value 21; the cut lands inside that value.
const std::string WantedCell = "38182.25";

std::string TerrainTile() {
    return MakeTile([](int r, int c) {
        if (r == 57 && c == 21) return WantedCell;
        return std::to_string(1000 + (r * 37 + c * 11) % 900) + "." + std::to_string(10 + (r + c) % 90);
    });
}

// gzip (windowBits 31) or zlib-wrapped deflate (15) in one piece
std::string Compress(const std::string& text, int windowBits) {
    z_stream z{};
    if (deflateInit2(&z, 6, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK) throw std::runtime_error("zlib");
    std::string out(deflateBound(&z, text.size()), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    z.avail_in = static_cast<uInt>(text.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int status = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    if (status != Z_STREAM_END) throw std::runtime_error("zlib");
    return out;
}
std::string Gzip(const std::string& text) { return Compress(text, 31); }
std::string Deflate(const std::string& text) { return Compress(text, 15); }

std::string Head(const std::string& fields) { return "HTTP/1.1 200 OK\r\nConnection: close\r\n" + fields + "\r\n"; }
std::string Length(size_t bytes) { return "Content-Length: " + std::to_string(bytes) + "\r\n"; }
std::string Hex(size_t n) {
    char text[20];
    std::snprintf(text, sizeof text, "%zx", n);
    return text;
}

// the value of a request header, empty when absent
std::string HeaderValue(const std::string& request, const std::string& name) {
    const std::regex field("\r\n" + name + ":[ \t]*([^\r]*)\r\n", std::regex::icase);
    std::smatch match;
    return std::regex_search(request, match, field) ? match[1].str() : std::string();
}

QString DiagnosticMeshFile(const QString& meshDir) {
    const TokyoPosition t = ToTokyoDatum(45.178505f, 141.24203f);
    return meshDir + MakeMeshCode(t.MeshLat, t.MeshLng).MeshCode + ".bh2";
}

struct Transfer : ::testing::Test {
    QTemporaryDir dir;
    Script script;  // what the server sends next
    ScriptedServer server{[this](const std::string&) { return script; }};
    CurlDownloader downloader{2000, 3000};
    ElevationSources sources{server.Base(), dir.filePath("dem10b.txt"), dir.path() + "/mesh/"};
    QString target = dir.filePath("t.txt");

    Transfer() {
        QDir().mkpath(sources.MeshDir);
        WriteMeshFile(DiagnosticMeshFile(sources.MeshDir), [](int, int) { return EncodeMeshElevation(MeshMetres); });
    }
    float Diagnostic() { return LookupElevation(45.178505f, 141.24203f, sources, downloader); }
    bool Download() {
        return downloader.DownloadToFile(server.Base() + QString::fromStdString(DiagnosticPath), target);
    }
    QByteArray Target() {
        QFile f(target);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    }
};

TEST_F(Transfer, ATransferThatStopsInsideTheWantedValueIsNeverReadAsAValue) {
    const std::string tile = TerrainTile();
    const size_t cutAt = tile.find(WantedCell) + 3;  // the body ends with "381"
    const std::string cut = tile.substr(0, cutAt);
    const std::string gz = Gzip(tile);
    const std::string gzCut = gz.substr(0, gz.size() / 2);
    const std::string chunked = Head("Transfer-Encoding: chunked\r\n");
    const struct {
        const char* name;
        Script script;
        bool downloaded;  // the transfer itself looks complete; the reader must see the cut
    } cases[] = {
        {"no length, orderly close", {Head("") + cut, Ending::Close}, true},
        {"no length, reset", {Head("") + cut, Ending::Reset}, false},
        {"length longer than the body, orderly close", {Head(Length(tile.size())) + cut, Ending::Close}, false},
        {"length longer than the body, reset", {Head(Length(tile.size())) + cut, Ending::Reset}, false},
        {"chunked, last chunk missing", {chunked + Hex(cut.size()) + "\r\n" + cut + "\r\n", Ending::Close}, false},
        {"chunked, chunk shorter than its size", {chunked + Hex(tile.size()) + "\r\n" + cut, Ending::Close}, false},
        {"chunked, chunk shorter than its size, reset",
         {chunked + Hex(tile.size()) + "\r\n" + cut, Ending::Reset},
         false},
        {"chunked, size not a hex number",
         {chunked + Hex(cut.size()) + "\r\n" + cut + "\r\nzz\r\n" + tile.substr(cutAt) + "\r\n0\r\n\r\n"},
         false},
        {"gzip stream cut, no length", {Head("Content-Encoding: gzip\r\n") + gzCut, Ending::Close}, false},
        {"gzip stream cut, its length declared",
         {Head("Content-Encoding: gzip\r\n" + Length(gzCut.size())) + gzCut, Ending::Close},
         false},
        {"gzip without its 8-byte trailer",
         {Head("Content-Encoding: gzip\r\n" + Length(gz.size() - 8)) + gz.substr(0, gz.size() - 8), Ending::Close},
         false},
        {"gzip stream cut, reset", {Head("Content-Encoding: gzip\r\n") + gzCut, Ending::Reset}, false},
        {"deflate stream cut",
         {Head("Content-Encoding: deflate\r\n") + Deflate(tile).substr(0, Deflate(tile).size() - 30), Ending::Close},
         false},
    };
    for (const auto& c : cases) {
        script = c.script;
        EXPECT_EQ(Diagnostic(), MeshMetres) << c.name;
        EXPECT_FALSE(QFile::exists(sources.DemTempFile)) << c.name;

        QFile::remove(target);
        EXPECT_EQ(Download(), c.downloaded) << c.name;
        EXPECT_TRUE(Target() == (c.downloaded ? QByteArray::fromStdString(cut) : "<none>")) << c.name;
        EXPECT_FALSE(QFile::exists(target + ".part")) << c.name;
    }

    // The same server sending the whole tile, each way, gives the value.
    for (const Script& whole : {Script{Head("") + tile}, Script{Head(Length(tile.size())) + tile},
                                Script{chunked + Hex(tile.size()) + "\r\n" + tile + "\r\n0\r\n\r\n"},
                                Script{Head("Content-Encoding: gzip\r\n") + gz}}) {
        script = whole;
        EXPECT_EQ(Diagnostic(), 38182) << whole.bytes.substr(0, 80);
    }
}

TEST_F(Transfer, CorruptOrUnaskedCompressionFailsTheDownload) {
    const std::string tile = TerrainTile();
    std::string badCrc = Gzip(tile);
    badCrc[badCrc.size() - 6] ^= 0x55;  // inside the trailer's CRC-32
    std::string flipped = Gzip(tile);
    flipped[flipped.size() / 2] ^= 0x55;
    const struct {
        const char* name;
        std::string encoding;
        std::string body;
    } cases[] = {
        {"not compressed at all", "gzip", tile},
        {"a byte changed inside the stream", "gzip", flipped},
        {"wrong checksum", "gzip", badCrc},
        {"bytes after the end of the stream", "gzip", Gzip(tile) + "1234.56\n"},
        {"a second gzip member", "gzip", Gzip(tile) + Gzip("")},
        {"an empty body", "gzip", ""},
        {"deflate that is not", "deflate", "\x78\x9cgarbage in the stream"},
        {"a coding not asked for", "br", tile},
        {"two codings", "gzip, gzip", Gzip(Gzip(tile))},
    };
    for (const auto& c : cases) {
        script = {Head("Content-Encoding: " + c.encoding + "\r\n" + Length(c.body.size())) + c.body};
        QFile::remove(target);
        EXPECT_FALSE(Download()) << c.name;
        EXPECT_FALSE(QFile::exists(target)) << c.name;
        EXPECT_EQ(Diagnostic(), MeshMetres) << c.name;
    }
}

TEST_F(Transfer, CompressedTilesGiveTheSameElevationsWithFewerBytes) {
    const std::string tile = TerrainTile();
    const struct {
        const char* name;
        std::string fields;
        std::string body;
    } answers[] = {
        {"plain", "", tile},
        {"gzip", "Content-Encoding: gzip\r\n", Gzip(tile)},
        {"deflate", "Content-Encoding: deflate\r\n", Deflate(tile)},
        {"gzip labelled in capitals", "Content-Encoding: GZIP\r\n", Gzip(tile)},
        {"chunked gzip", "Transfer-Encoding: chunked\r\nContent-Encoding: gzip\r\n", ""},
    };
    std::int64_t plainBytes = 0;
    for (const auto& a : answers) {
        std::string body = a.body;
        if (body.empty()) {  // chunked: the gzip stream in pieces of 1000 bytes
            const std::string gz = Gzip(tile);
            for (size_t at = 0; at < gz.size(); at += 1000) {
                const std::string piece = gz.substr(at, 1000);
                body += Hex(piece.size()) + "\r\n" + piece + "\r\n";
            }
            body += "0\r\n\r\n";
        }
        script = {Head(a.fields + (a.fields.find("chunked") == std::string::npos ? Length(body.size()) : "")) + body};
        const std::int64_t before = server.BytesSent();
        ASSERT_TRUE(Download()) << a.name;
        const std::int64_t wire = server.BytesSent() - before;
        EXPECT_TRUE(Target() == QByteArray::fromStdString(tile)) << a.name;
        EXPECT_EQ(Diagnostic(), 38182) << a.name;
        if (a.fields.empty())
            plainBytes = wire;
        else
            EXPECT_LT(wire * 2, plainBytes) << a.name << ": " << wire << " of " << plainBytes << " bytes";
    }
}

TEST_F(Transfer, TheSizeLimitCountsDecodedBytes) {
    CurlDownloader small(2000, 3000, 4096);
    const auto fetch = [&](const std::string& text) {
        const std::string gz = Gzip(text);
        script = {Head("Content-Encoding: gzip\r\n" + Length(gz.size())) + gz};
        return small.DownloadToFile(server.Base() + "/t.txt", target);
    };
    EXPECT_TRUE(fetch(std::string(4096, '7')));
    EXPECT_EQ(Target().size(), 4096);
    // Under a hundred bytes on the wire, one byte too many once decoded.
    EXPECT_FALSE(fetch(std::string(4097, '7')));
    EXPECT_FALSE(fetch(std::string(50'000'000, '7')));
    EXPECT_EQ(Target().size(), 4096);
}

TEST_F(Transfer, EveryRequestNamesTheToolAndAsksForCompression) {
    script = {Head(Length(2)) + "1\n"};
    ASSERT_TRUE(Download());
    const std::string request = server.LastRequest();
    EXPECT_EQ(HeaderValue(request, "User-Agent"), CurlDownloader::UserAgent());
    EXPECT_TRUE(std::regex_match(CurlDownloader::UserAgent(), std::regex(R"(MirevaleMAP/\d+\.\d+\.\d+)")))
        << CurlDownloader::UserAgent();
    EXPECT_EQ(HeaderValue(request, "Accept-Encoding"), "gzip, deflate");
    EXPECT_EQ(HeaderValue(request, "Cache-Control"), "no-cache");
}

}  // namespace
