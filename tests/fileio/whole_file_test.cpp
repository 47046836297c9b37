#include "fileio/whole_file.h"

#include "fileio/fileio_messages.h"
#include "fileio_fixture.h"

namespace {

using namespace failing_disk;
namespace msg = fileio_messages;

using ReadWholeFileTest = FileioFixture;

TEST_F(ReadWholeFileTest, ReadsEverythingUpToTheLimit) {
    const QByteArray bytes("1,2,3\r\n\0tail", 12);
    Put(Path("tile.txt"), bytes);
    EXPECT_EQ(ReadWholeFile(Path("tile.txt"), 12), bytes);
    EXPECT_EQ(ReadWholeFile(Path("tile.txt"), 11), std::nullopt);
    Put(Path("empty.txt"), "");
    EXPECT_EQ(ReadWholeFile(Path("empty.txt"), 0), QByteArray());
}

TEST_F(ReadWholeFileTest, FailuresSayWhy) {
    Put(Path("secret.txt"), "x");
    ASSERT_TRUE(QDir().mkdir(Path("folder.txt")));
    const struct {
        const char* name;
        QString path;
        bool locked;  // read without the power to override permissions, the file set to 000
        QString cause;
    } cases[] = {
        {"missing file", Path("none.txt"), false, msg::FileMissing()},
        {"missing folder", Path("none/tile.txt"), false, msg::FolderMissing()},
        {"a folder", Path("folder.txt"), false, msg::IsFolder()},
        {"no read permission", Path("secret.txt"), true, msg::NoPermission()},
    };
    for (const auto& c : cases) {
        const ChildResult run = InChild([&] {
            if (c.locked) {
                Check(::chmod(QFile::encodeName(c.path).constData(), 0) == 0, "chmod");
                DropPermissionOverride();
            }
            return FailureText([&] { ReadWholeFile(c.path, 1000); });
        });
        ASSERT_EQ(run.status, 0) << c.name << ": " << run.text;
        EXPECT_EQ(run.text, msg::CannotRead(c.path, c.cause).toStdString()) << c.name;
    }
}

}  // namespace
