#include "export/jpeg_export.h"

#include <jpeglib.h>
#include <csetjmp>
#include <cstdio>

#include "export_fixture.h"
#include "format/failure.h"

namespace {

// What libjpeg reads back from a stream.
struct Decoded {
    int width = 0, height = 0, components = 0;
    bool progressive = false;
    std::vector<std::vector<unsigned>> quant;
    QImage image;
};

Decoded Decode(const QByteArray& stream) {
    jpeg_decompress_struct d{};
    jpeg_error_mgr err{};
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, reinterpret_cast<const unsigned char*>(stream.constData()),
                 static_cast<unsigned long>(stream.size()));
    jpeg_read_header(&d, TRUE);
    Decoded out;
    out.width = static_cast<int>(d.image_width);
    out.height = static_cast<int>(d.image_height);
    out.components = d.num_components;
    out.progressive = d.progressive_mode;
    for (auto* table : d.quant_tbl_ptrs) {
        if (!table) continue;
        out.quant.emplace_back(table->quantval, table->quantval + DCTSIZE2);
    }
    d.out_color_space = JCS_RGB;
    jpeg_start_decompress(&d);
    out.image = QImage(out.width, out.height, QImage::Format_RGB888);
    while (d.output_scanline < d.output_height) {
        JSAMPROW row = out.image.scanLine(static_cast<int>(d.output_scanline));
        jpeg_read_scanlines(&d, &row, 1);
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    return out;
}

// libjpeg's own tables for quality 90 with baseline forced.
std::vector<std::vector<unsigned>> ReferenceTables() {
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    c.in_color_space = JCS_RGB;
    c.input_components = 3;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 90, TRUE);
    std::vector<std::vector<unsigned>> tables;
    for (auto* table : c.quant_tbl_ptrs) {
        if (!table) continue;
        tables.emplace_back(table->quantval, table->quantval + DCTSIZE2);
    }
    jpeg_destroy_compress(&c);
    return tables;
}

QImage TestPicture(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.setPixel(x, y, x < w / 2 ? qRgb(200, 30, 30) : qRgb(30, 60, 220));
    return image;
}

TEST(EncodeJpeg, BaselineQuality90WithThreeComponents) {
    for (QSize size : {QSize(1103, 736), QSize(1, 1), QSize(17, 9)}) {
        const QByteArray stream = EncodeJpeg(TestPicture(size.width(), size.height()));
        ASSERT_TRUE(stream.startsWith("\xff\xd8"));
        EXPECT_TRUE(stream.contains("\xff\xc0"));   // SOF0: baseline
        EXPECT_FALSE(stream.contains("\xff\xc2"));  // no progressive frame
        const Decoded d = Decode(stream);
        EXPECT_EQ(d.width, size.width());
        EXPECT_EQ(d.height, size.height());
        EXPECT_EQ(d.components, 3);
        EXPECT_FALSE(d.progressive);
        EXPECT_EQ(d.quant, ReferenceTables());
    }
}

TEST(EncodeJpeg, ColoursSurviveApartFromJpegLoss) {
    const Decoded d = Decode(EncodeJpeg(TestPicture(64, 32)));
    const QColor left = d.image.pixelColor(8, 16), right = d.image.pixelColor(56, 16);
    EXPECT_NEAR(left.red(), 200, 8);
    EXPECT_NEAR(left.green(), 30, 8);
    EXPECT_NEAR(right.blue(), 220, 8);
    EXPECT_NEAR(right.green(), 60, 8);
}

TEST(EncodeJpeg, EncoderErrorsBecomeFailuresWithTheMessageNumber) {
    // Wider than JPEG allows: libjpeg refuses in jpeg_start_compress.
    try {
        EncodeJpeg(QImage(70000, 1, QImage::Format_RGB32));
        FAIL() << "no failure";
    } catch (const Failure& f) {
        EXPECT_TRUE(f.text().contains(QStringLiteral("エラー番号"))) << f.text().toStdString();
    }
    EXPECT_THROW(EncodeJpeg(QImage()), Failure);  // an empty image
}

TEST(WriteSnapshotJpeg, WritesAndReplacesTheFile) {
    QTemporaryDir dir;
    const QString myDataDir = dir.path() + "/";
    const QString path = WriteSnapshotJpeg(TestPicture(40, 30), myDataDir);
    EXPECT_EQ(path, myDataDir + QStringLiteral("高低図.jpg"));
    EXPECT_EQ(Decode(ExportFixture::Read(path)).width, 40);
    WriteSnapshotJpeg(TestPicture(20, 10), myDataDir);
    EXPECT_EQ(Decode(ExportFixture::Read(path)).width, 20);
    try {
        WriteSnapshotJpeg(TestPicture(4, 4), myDataDir + "missing/");
        FAIL() << "no failure";
    } catch (const Failure& f) {
        EXPECT_TRUE(f.text().contains(myDataDir + QStringLiteral("missing/高低図.jpg"))) << f.text().toStdString();
    }
}

}  // namespace
