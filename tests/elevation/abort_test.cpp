#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <future>

#include "elevation/curl_downloader.h"
#include "support/tile_server.h"

namespace {

using namespace std::chrono_literals;

// A transfer whose answer is held back ends as soon as another thread aborts it, and the
// downloader works again after Resume.
TEST(CurlAbort, AnAbortEndsAWaitingTransferAndResumeLetsTheNextOneRun) {
    TileServer server;
    server.Serve("/slow", {200, "1,2,3\n", "text/plain", 60s});
    server.Serve("/fast", {200, "4,5,6\n"});
    QTemporaryDir dir;
    const QString target = dir.filePath("tile.txt");
    CurlDownloader downloader(5000, 60000);

    auto slow =
        std::async(std::launch::async, [&] { return downloader.DownloadToFile(server.Base() + "/slow", target); });
    while (server.Requests() == 0) std::this_thread::sleep_for(1ms);
    downloader.Abort();
    // Without the abort the transfer would wait a minute for its answer.
    ASSERT_EQ(slow.wait_for(10s), std::future_status::ready);
    EXPECT_FALSE(slow.get());
    EXPECT_FALSE(QFile::exists(target));

    EXPECT_FALSE(downloader.DownloadToFile(server.Base() + "/fast", target)) << "aborted until Resume";
    downloader.Resume();
    ASSERT_TRUE(downloader.DownloadToFile(server.Base() + "/fast", target));
    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "4,5,6\n");
}

}  // namespace
