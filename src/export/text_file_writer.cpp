#include "export/text_file_writer.h"

#include <fcntl.h>
#include <iconv.h>
#include <unistd.h>
#include <QFile>
#include <cerrno>
#include <cstring>

#include "format/failure.h"

namespace {

// One conversion descriptor per thread, opened once (opening loads the code page's tables);
// its shift state is reset before every text.
class Converter {
  public:
    Converter() : cd_(iconv_open("CP932", "UTF-16LE")) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    iconv_t get() const { return cd_; }

  private:
    iconv_t cd_;
};

}  // namespace

QByteArray ToAnsi(const QString& text) {
    thread_local Converter converter;
    if (converter.get() == reinterpret_cast<iconv_t>(-1))
        throw Failure(QStringLiteral("文字コード CP932 への変換を開始できません"));
    iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
    QByteArray out;
    out.reserve(text.size() * 2);
    char buffer[16];
    const char16_t* units = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n;) {
        // One character at a time: a surrogate pair is one character, a lone surrogate too.
        qsizetype length = 1;
        if (QChar::isHighSurrogate(units[i]) && i + 1 < n && QChar::isLowSurrogate(units[i + 1])) length = 2;
        const bool lone = length == 1 && QChar::isSurrogate(units[i]);
        char16_t piece[2] = {units[i], length == 2 ? units[i + 1] : u'\0'};
        char* in = reinterpret_cast<char*>(piece);
        size_t inLeft = static_cast<size_t>(length) * 2;
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t done = lone ? static_cast<size_t>(-1) : iconv(converter.get(), &in, &inLeft, &outPtr, &outLeft);
        if (done == static_cast<size_t>(-1) || inLeft != 0) {
            out.append('?');
            iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
        } else {
            out.append(buffer, outPtr - buffer);
        }
        i += length;
    }
    return out;
}

TextFileWriter::TextFileWriter(const QString& path) : path_(path) {
    const QByteArray name = QFile::encodeName(path);
    fd_ = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd_ < 0) Fault("作成", errno);
}

TextFileWriter::~TextFileWriter() {
    if (fd_ >= 0) ::close(fd_);
}

void TextFileWriter::WriteLine(const QString& line) {
    if (fd_ < 0) throw Failure(QStringLiteral("ファイル %1 は閉じられています").arg(path_));
    QByteArray bytes = ToAnsi(line);
    bytes.append("\r\n", 2);
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd_, p, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR) continue;
            Fault("書き込み", errno);
        }
        p += written;
        left -= written;
    }
}

void TextFileWriter::Close() {
    if (fd_ < 0) return;
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) Fault("クローズ", errno);
}

void TextFileWriter::Fault(const char* what, int error) {
    throw Failure(QStringLiteral("ファイル %1 の%2に失敗しました: %3")
                      .arg(path_, QString::fromUtf8(what), QString::fromLocal8Bit(std::strerror(error))));
}
