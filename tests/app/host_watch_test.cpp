#include <QElapsedTimer>
#include <QProcess>
#include <QWidget>

#include "app/host_window.h"
#include "window_fixture.h"

namespace {

TEST(HostWindowLookup, SeesATopLevelWindowByItsExactTitle) {
    auto lookup = MakeHostWindowLookup();
    if (!lookup->CanSee()) GTEST_SKIP() << "no X11 display";
    EXPECT_FALSE(lookup->Exists("d_Mirevale6"));
    QWidget host;
    host.setWindowTitle("d_Mirevale6");
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    EXPECT_TRUE(lookup->Exists("d_Mirevale6"));
    EXPECT_FALSE(lookup->Exists("d_Mirevale"));
    EXPECT_FALSE(lookup->Exists("D_MIREVALE6"));
    host.setWindowTitle("d_Mirevale6 (old)");
    QTest::qWait(100);
    EXPECT_FALSE(lookup->Exists("d_Mirevale6"));
}

// The real programs: the tool lives while the stand-in host's window exists.
TEST(HostWatch, TheToolEndsSoonAfterTheHostWindowIsGone) {
    if (!MakeHostWindowLookup()->CanSee()) GTEST_SKIP() << "no X11 display";
    QProcess host, tool;
    host.start(MIREVALE_BIN_DIR "/demo/mirevale-host", {});
    ASSERT_TRUE(host.waitForStarted());
    ASSERT_TRUE(WaitFor([] { return MakeHostWindowLookup()->Exists("d_Mirevale6"); }, 10000));
    tool.start(MIREVALE_BIN_DIR "/src/app/mirevale-map", {});
    ASSERT_TRUE(tool.waitForStarted());
    EXPECT_FALSE(tool.waitForFinished(4000)) << "the tool ended although the host is there";

    host.kill();
    host.waitForFinished();
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(tool.waitForFinished(10000));
    const qint64 ms = clock.elapsed();
    std::printf("tool ended %lld ms after the host window\n", static_cast<long long>(ms));
    EXPECT_LT(ms, 2500);
    EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
}

TEST(HostWatch, WithoutTheHostTheToolEndsByItself) {
    if (!MakeHostWindowLookup()->CanSee()) GTEST_SKIP() << "no X11 display";
    QProcess tool;
    tool.start(MIREVALE_BIN_DIR "/src/app/mirevale-map", {});
    ASSERT_TRUE(tool.waitForStarted());
    EXPECT_TRUE(tool.waitForFinished(10000));
}

}  // namespace
