#include "fileio/atomic_file.h"

#include <cerrno>

#include "fileio/file_fault.h"

// Each call below clears errno first and reads it straight after a failure, before anything
// else can overwrite it: that number names the cause (a full disk shows only there).

AtomicFile::AtomicFile(const QString& path) : path_(path), file_(path) {
    errno = 0;
    // Unbuffered: every Write reaches the system at once, so its failure shows at once too.
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const int error = errno;
        throw WriteFault(path_, error, file_.errorString());
    }
}

void AtomicFile::Fail(int error) {
    const Failure failure = WriteFault(path_, error, file_.errorString());
    failure_ = failure.text();
    file_.cancelWriting();  // even a short write without an error never reaches the target
    throw failure;
}

void AtomicFile::Write(const char* data, qsizetype size) {
    if (!failure_.isEmpty()) throw Failure(failure_);
    if (!file_.isOpen()) throw WriteFault(path_, EBADF, file_.errorString());
    errno = 0;
    if (file_.write(data, size) != size) Fail(errno);
}

void AtomicFile::Commit() {
    if (!failure_.isEmpty()) throw Failure(failure_);
    if (!file_.isOpen()) throw WriteFault(path_, EBADF, file_.errorString());
    errno = 0;
    if (!file_.commit()) Fail(errno);
}
