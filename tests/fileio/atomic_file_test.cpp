#include "fileio/atomic_file.h"

#include <cerrno>

#include "fileio/fileio_messages.h"
#include "fileio/whole_file.h"
#include "fileio_fixture.h"

namespace {

using namespace failing_disk;
namespace msg = fileio_messages;

using AtomicFileTest = FileioFixture;

TEST_F(AtomicFileTest, TheTargetChangesOnlyAtCommit) {
    const QString path = Path("route.csv");
    WriteWholeFile(path, "first");  // a new file
    EXPECT_EQ(Read(path), "first");
    {
        AtomicFile file(path);
        file.Write("second, ");
        file.Write(QByteArray("longer"));
        EXPECT_EQ(Read(path), "first");
        file.Commit();
    }
    EXPECT_EQ(Read(path), "second, longer");
    {
        AtomicFile dropped(path);
        dropped.Write("never committed");
    }
    EXPECT_EQ(Read(path), "second, longer");
    EXPECT_EQ(Entries(dir.path()), QStringList{"route.csv"});  // no temporary file left behind
}

// Each cause the user is told in words, produced for real; other causes keep the system's text.
TEST_F(AtomicFileTest, WriteFailuresSayWhy) {
    const QByteArray data(64 * 1024, 'x');
    const struct {
        const char* name;
        std::function<QString()> prepare;  // runs in a child of its own; returns the target
        QString cause;
    } cases[] = {
        {"missing folder", [&] { return Path("no-such-folder/out.txt"); }, msg::FolderMissing()},
        {"folder without write permission",
         [&] {
             const std::string folder = Folder("locked");
             Check(::chmod(folder.c_str(), 0555) == 0, "chmod");
             DropPermissionOverride();
             return Path("locked/out.txt");
         },
         msg::NoPermission()},
        {"read-only file in a writable folder",
         [&] {
             Put(Path("kept.txt"), "old");
             Check(::chmod(QFile::encodeName(Path("kept.txt")).constData(), 0444) == 0, "chmod");
             DropPermissionOverride();
             return Path("kept.txt");
         },
         msg::NoPermission()},
        {"read-only file system",
         [&] {
             const std::string folder = Folder("ro");
             MountSmallDisk(folder, "64k");
             MakeReadOnly(folder);
             return Path("ro/out.txt");
         },
         msg::ReadOnlyFileSystem()},
        {"full disk",
         [&] {
             MountSmallDisk(Folder("small"), "16k");
             return Path("small/out.txt");
         },
         msg::DiskFull()},
        {"file size limit (the system's text)",
         [&] {
             LimitFileSize(1000);
             return Path("out.txt");
         },
         qt_error_string(EFBIG)},
    };
    for (const auto& c : cases) {
        const ChildResult run = InChild([&] {
            const QString path = c.prepare();
            return FailureText([&] { WriteWholeFile(path, data); }) + "\n" +
                   msg::CannotWrite(path, c.cause).toStdString();
        });
        ASSERT_EQ(run.status, 0) << c.name << ": " << run.text;
        const auto newline = run.text.find('\n');
        EXPECT_EQ(run.text.substr(0, newline), run.text.substr(newline + 1)) << c.name;
    }
}

TEST_F(AtomicFileTest, AFullDiskLeavesTheEarlierFileAsItWas) {
    const ChildResult run = InChild([&] {
        const std::string folder = Folder("small");
        MountSmallDisk(folder, "16k");
        const QString path = Path("small/snapshot.jpg");
        WriteWholeFile(path, "the good one");
        const std::string failure = FailureText([&] { WriteWholeFile(path, QByteArray(64 * 1024, 'x')); });
        return failure + "\n" + Read(path).toStdString() + "\n" + Entries(Path("small")).join(',').toStdString();
    });
    ASSERT_EQ(run.status, 0) << run.text;
    EXPECT_EQ(run.text, msg::CannotWrite(Path("small/snapshot.jpg"), msg::DiskFull()).toStdString() +
                            "\nthe good one\nsnapshot.jpg");
}

TEST_F(AtomicFileTest, AFailedWriteIsRaisedAgainAndNeverCommitted) {
    const ChildResult run = InChild([&] {
        MountSmallDisk(Folder("small"), "16k");
        const QString path = Path("small/out.txt");
        WriteWholeFile(path, "old");
        AtomicFile file(path);
        const std::string first = FailureText([&] { file.Write(QByteArray(64 * 1024, 'x')); });
        const std::string commit = FailureText([&] { file.Commit(); });
        return first + "\n" + commit + "\n" + Read(path).toStdString();
    });
    ASSERT_EQ(run.status, 0) << run.text;
    const std::string text = msg::CannotWrite(Path("small/out.txt"), msg::DiskFull()).toStdString();
    EXPECT_EQ(run.text, text + "\n" + text + "\nold");
}

}  // namespace
