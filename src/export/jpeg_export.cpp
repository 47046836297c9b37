#include "export/jpeg_export.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include "export/export_messages.h"
#include "fileio/whole_file.h"
#include "format/failure.h"

namespace {

// libjpeg's error_exit must not return; it jumps back to EncodeJpeg, which then throws in C++.
struct ErrorJump {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    int messageCode = 0;
    char message[JMSG_LENGTH_MAX] = {};
};

void ErrorExit(j_common_ptr info) {
    auto* error = reinterpret_cast<ErrorJump*>(info->err);
    error->messageCode = info->err->msg_code;
    info->err->format_message(info, error->message);
    std::longjmp(error->jump, 1);
}

// Everything the encoder allocates, released however it ends; no C++ object with a
// destructor lives between setjmp and a possible longjmp.
struct Encoder {
    jpeg_compress_struct info{};
    ErrorJump error;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    bool created = false;
    ~Encoder() {
        if (created) jpeg_destroy_compress(&info);
        std::free(buffer);
    }
};

// Returns false when libjpeg raised an error (then encoder.error holds it).
bool Compress(Encoder& e, const QImage& rgb) {
    e.info.err = jpeg_std_error(&e.error.manager);
    e.error.manager.error_exit = ErrorExit;
    if (setjmp(e.error.jump)) return false;
    jpeg_create_compress(&e.info);
    e.created = true;
    jpeg_mem_dest(&e.info, &e.buffer, &e.size);
    e.info.image_width = static_cast<JDIMENSION>(rgb.width());
    e.info.image_height = static_cast<JDIMENSION>(rgb.height());
    e.info.input_components = 3;
    e.info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&e.info);
    jpeg_set_quality(&e.info, 90, TRUE);
    jpeg_start_compress(&e.info, TRUE);
    while (e.info.next_scanline < e.info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(e.info.next_scanline)));
        jpeg_write_scanlines(&e.info, &row, 1);
    }
    jpeg_finish_compress(&e.info);
    return true;
}

}  // namespace

QByteArray EncodeJpeg(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    Encoder encoder;
    if (!Compress(encoder, rgb))
        throw Failure(
            export_messages::JpegFailed(encoder.error.messageCode, QString::fromLocal8Bit(encoder.error.message)));
    return QByteArray(reinterpret_cast<const char*>(encoder.buffer), static_cast<qsizetype>(encoder.size));
}

QString WriteSnapshotJpeg(const QImage& snapshot, const QString& myDataDir) {
    const QByteArray stream = EncodeJpeg(snapshot);
    const QString path = myDataDir + QString::fromUtf16(SnapshotFileName);
    WriteWholeFile(path, stream);
    return path;
}
