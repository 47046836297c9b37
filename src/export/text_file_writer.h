#pragma once

#include <QByteArray>
#include <QString>

/// the text in the ANSI code page (CP932); a character it cannot hold, or a lone surrogate,
/// becomes "?"
QByteArray ToAnsi(const QString& text);

/// Line-oriented output to a text file in the ANSI code page, each line ended by CR LF, no
/// byte-order mark. Every open, write and close that fails raises Failure with the path.
class TextFileWriter {
  public:
    /// creates the file or truncates an existing one
    explicit TextFileWriter(const QString& path);
    ~TextFileWriter();
    TextFileWriter(const TextFileWriter&) = delete;
    TextFileWriter& operator=(const TextFileWriter&) = delete;

    void WriteLine(const QString& line);
    void Close();

  private:
    [[noreturn]] void Fault(const char* what, int error);
    QString path_;
    int fd_ = -1;
};
