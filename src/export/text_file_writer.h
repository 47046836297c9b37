#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

#include "fileio/atomic_file.h"

/// the text in the ANSI code page (CP932); a character it cannot hold, or a lone surrogate,
/// becomes "?"
QByteArray ToAnsi(const QString& text);

/// Line-oriented output to a text file in the ANSI code page, each line ended by CR LF, no
/// byte-order mark. The file is written whole (fileio/atomic_file.h): Close puts it in place,
/// and until then a file already at the path stays as it was. Every open, write and close that
/// fails raises Failure naming the file and the cause.
class TextFileWriter {
  public:
    /// starts the new file; Failure when it cannot be created
    explicit TextFileWriter(const QString& path);
    /// without Close the new file is dropped
    ~TextFileWriter();
    TextFileWriter(const TextFileWriter&) = delete;
    TextFileWriter& operator=(const TextFileWriter&) = delete;

    void WriteLine(const QString& line);
    /// writes what is pending and replaces the file at the path with the new one
    void Close();

  private:
    QString path_;
    std::unique_ptr<AtomicFile> file_;
    QByteArray pending_;  // converted lines not yet handed to the file
};
