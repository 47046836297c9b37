#include "profile/canvas.h"

#include <QFontDatabase>
#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "format/failure.h"
#include "profile/profile_messages.h"

QFont ChartFont(const QString& family) {
    // Only the named face: a missing family would otherwise be replaced by whatever is near.
    if (!QFontDatabase::hasFamily(family)) throw Failure(profile_messages::ChartFontMissing(family));
    QFont font(family);
    font.setPixelSize(11);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoFontMerging));
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setKerning(false);
    return font;
}

Canvas::Canvas(int width, int height, const QFont& font)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), font_(font), metrics_(font) {}

Canvas::Pixels Canvas::Surface() {
    if (!image_) {
        image_.emplace(width_, height_, QImage::Format_RGB32);
        image_->fill(qRgb(255, 255, 255));
    }
    return {reinterpret_cast<QRgb*>(image_->bits()), image_->bytesPerLine() / 4};
}

QRgb Canvas::Pixel(int x, int y) const {
    if (!image_ || x < 0 || y < 0 || x >= width_ || y >= height_) return qRgb(255, 255, 255);
    return image_->pixel(x, y) | 0xff000000u;
}

int Canvas::TextHeight(const QString&) const { return metrics_.height(); }

void Canvas::LineTo(int x, int y) {
    const Pixels image = Surface();
    const bool outside = (penX_ < 0 && x < 0) || (penY_ < 0 && y < 0) || (penX_ >= width_ && x >= width_) ||
                         (penY_ >= height_ && y >= height_);
    if (outside) {
        penX_ = x;
        penY_ = y;
        return;
    }
    // Bresenham from the current position; the end pixel is left for the next line.
    long long x0 = penX_, y0 = penY_;
    const long long dx = std::llabs(static_cast<long long>(x) - x0);
    const long long dy = -std::llabs(static_cast<long long>(y) - y0);
    const int sx = x0 < x ? 1 : -1;
    const int sy = y0 < y ? 1 : -1;
    long long error = dx + dy;
    const long long steps = std::max(dx, -dy);
    for (long long k = 0; k < steps; ++k) {
        if (x0 >= 0 && y0 >= 0 && x0 < width_ && y0 < height_)
            image.at(static_cast<int>(x0), static_cast<int>(y0)) = pen_;
        const long long e2 = 2 * error;
        if (e2 >= dy) {
            error += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            error += dx;
            y0 += sy;
        }
    }
    penX_ = x;
    penY_ = y;
}

void Canvas::Rectangle(int x1, int y1, int x2, int y2) {
    const Pixels image = Surface();
    if (x2 <= x1 || y2 <= y1) return;
    const int left = std::max(x1, 0), right = std::min(x2, width_);
    const int top = std::max(y1, 0), bottom = std::min(y2, height_);
    for (int y = top; y < bottom; ++y) {
        QRgb* row = &image.at(0, y);
        for (int x = left; x < right; ++x) {
            const bool edge = x == x1 || x == x2 - 1 || y == y1 || y == y2 - 1;
            if (edge)
                row[x] = pen_;
            else if (brushSolid_)
                row[x] = brush_;
        }
    }
}

void Canvas::TextOut(int x, int y, const QString& text) {
    Surface();
    if (text.isEmpty()) return;
    texts_.push_back({x, y, text});
    const int w = TextWidth(text), h = TextHeight(text);
    if (x >= width_ || y >= height_ || x + w < 0 || y + h < 0) return;
    QPainter painter(&*image_);
    if (brushSolid_) painter.fillRect(x, y, w, h, QColor(brush_));
    painter.setFont(font_);
    painter.setPen(QColor(fontColor_));
    painter.drawText(x, y + metrics_.ascent(), text);
}

void Canvas::FloodFill(int x, int y, QRgb border) {
    const Pixels image = Surface();
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    border |= 0xff000000u;
    auto at = [&](int px, int py) -> QRgb& { return image.at(px, py); };
    if ((at(x, y) | 0xff000000u) == border) return;
    // Scanline fill with an explicit stack; `done` keeps a brush colour equal to an existing
    // colour from being filled over and over.
    std::vector<unsigned char> done(static_cast<std::size_t>(width_) * height_, 0);
    auto open = [&](int px, int py) {
        return !done[static_cast<std::size_t>(py) * width_ + px] && (at(px, py) | 0xff000000u) != border;
    };
    std::vector<std::pair<int, int>> stack{{x, y}};
    while (!stack.empty()) {
        auto [sx, sy] = stack.back();
        stack.pop_back();
        if (!open(sx, sy)) continue;
        int left = sx, right = sx;
        while (left > 0 && open(left - 1, sy)) --left;
        while (right < width_ - 1 && open(right + 1, sy)) ++right;
        for (int px = left; px <= right; ++px) {
            at(px, sy) = brush_;
            done[static_cast<std::size_t>(sy) * width_ + px] = 1;
        }
        for (int ny : {sy - 1, sy + 1}) {
            if (ny < 0 || ny >= height_) continue;
            bool inRun = false;
            for (int px = left; px <= right; ++px) {
                const bool o = open(px, ny);
                if (o && !inRun) stack.emplace_back(px, ny);
                inRun = o;
            }
        }
    }
}
