#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

/// A file written whole or not at all. The bytes go to a new file beside the target; Commit puts
/// it in the target's place in one step. Until then, and for ever when Commit is not reached or
/// fails, a file already at the target stays exactly as it was. Every failure raises Failure
/// with the file failure text at the call that meets it.
class AtomicFile {
  public:
    /// starts the new file for path; Failure when it cannot be created
    explicit AtomicFile(const QString& path);
    /// without Commit the new file is dropped and the target left alone
    ~AtomicFile() = default;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    /// appends the bytes to the new file
    void Write(const char* data, qsizetype size);
    void Write(const QByteArray& bytes) { Write(bytes.constData(), bytes.size()); }

    /// replaces the target with the new file
    void Commit();

    const QString& Path() const { return path_; }

  private:
    [[noreturn]] void Fail(int error);
    QString path_;
    QSaveFile file_;
    QString failure_;  // after a failed write: its text, raised again by every later call
};
