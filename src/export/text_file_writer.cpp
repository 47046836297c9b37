#include "export/text_file_writer.h"

#include <iconv.h>
#include <utility>

#include "export/export_messages.h"
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
    if (converter.get() == reinterpret_cast<iconv_t>(-1)) throw Failure(export_messages::NoCp932Converter());
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

namespace {

// Lines go to the file in pieces of about this size [bytes]: few system calls, and a failing
// write raises on the line that completes its piece.
constexpr qsizetype WriteChunk = 1 << 16;

}  // namespace

TextFileWriter::TextFileWriter(const QString& path) : path_(path), file_(std::make_unique<AtomicFile>(path)) {}

TextFileWriter::~TextFileWriter() = default;

void TextFileWriter::WriteLine(const QString& line) {
    if (!file_) throw Failure(export_messages::WriterClosed(path_));
    pending_ += ToAnsi(line);
    pending_.append("\r\n", 2);
    if (pending_.size() < WriteChunk) return;
    const QByteArray chunk = std::exchange(pending_, QByteArray());
    file_->Write(chunk);
}

void TextFileWriter::Close() {
    if (!file_) return;
    const std::unique_ptr<AtomicFile> file = std::move(file_);
    file->Write(std::exchange(pending_, QByteArray()));
    file->Commit();
}
