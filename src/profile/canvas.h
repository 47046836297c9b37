#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QString>
#include <optional>
#include <vector>

/// The one face of the window and of the chart: pinned, so the chart's pixels are the same on
/// every machine that has it; a fixed-pitch Gothic whose "." and "," stay apart at 8 points and
/// whose digits are as wide as the list's tab stops expect.
inline const char16_t* const ScreenFontFamily = u"VL Gothic";

/// The chart font: the family at 11 pixels, without smoothing and without glyphs borrowed from
/// other faces. Failure when the system's font database has no such family.
QFont ChartFont(const QString& family = QString::fromUtf16(ScreenFontFamily));

/// A text written on the canvas, where its cell's top-left corner went.
struct PlacedText {
    int x;
    int y;
    QString text;
};

/// A drawing surface of W x H pixels with a pen, a brush and a font colour. Coordinates start at
/// the top-left corner; everything is clipped at the image edges.
class Canvas {
  public:
    Canvas(int width, int height, const QFont& font);

    int Width() const { return width_; }
    int Height() const { return height_; }
    /// the font texts are written in
    const QFont& Font() const { return font_; }

    /// drops the picture; the next drawing operation starts on a new white bitmap
    void Clear() {
        image_.reset();
        texts_.clear();
    }
    /// true while there is no picture
    bool IsEmpty() const { return !image_.has_value(); }
    /// the picture (a null image while empty)
    QImage Image() const { return image_ ? *image_ : QImage(); }
    /// the texts written since the picture was last cleared, in order
    const std::vector<PlacedText>& Texts() const { return texts_; }
    /// colour of one pixel [RGB]; white outside the picture or while empty
    QRgb Pixel(int x, int y) const;

    void SetPenColor(QRgb color) { pen_ = color; }
    /// also makes the brush solid
    void SetBrushColor(QRgb color) {
        brush_ = color;
        brushSolid_ = true;
    }
    void SetBrushClear() { brushSolid_ = false; }
    void SetFontColor(QRgb color) { fontColor_ = color; }

    void MoveTo(int x, int y) {
        penX_ = x;
        penY_ = y;
    }
    /// a pen line from the current position to (x, y), the end pixel excluded; (x, y) becomes
    /// the current position
    void LineTo(int x, int y);
    /// the pixels x1 <= x < x2, y1 <= y < y2: filled with a solid brush, outlined with the pen
    void Rectangle(int x1, int y1, int x2, int y2);
    /// the text with its cell's top-left corner at (x, y); a solid brush fills the cell first
    void TextOut(int x, int y, const QString& text);
    /// the size of a text's cell [px]
    int TextWidth(const QString& text) const { return metrics_.horizontalAdvance(text); }
    int TextHeight(const QString& text) const;
    /// fills with the brush every pixel connected to (x, y) that is not of the border colour
    void FloodFill(int x, int y, QRgb border);

  private:
    // The picture's pixels for one operation (creating the bitmap when there is none); taken
    // once per operation, since QImage's own accessors check for sharing on every call.
    struct Pixels {
        QRgb* bits;
        qsizetype stride;
        QRgb& at(int x, int y) const { return bits[y * stride + x]; }
    };
    Pixels Surface();

    int width_;
    int height_;
    QFont font_;
    QFontMetrics metrics_;
    std::optional<QImage> image_;
    std::vector<PlacedText> texts_;
    QRgb pen_ = qRgb(0, 0, 0);
    QRgb brush_ = qRgb(255, 255, 255);
    bool brushSolid_ = true;
    QRgb fontColor_ = qRgb(0, 0, 0);
    int penX_ = 0;
    int penY_ = 0;
};
