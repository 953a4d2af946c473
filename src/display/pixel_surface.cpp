#include "display/pixel_surface.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

int chebyshev(int dx, int dy) { return std::max(std::abs(dx), std::abs(dy)); }

}  // namespace

PixelSurface::PixelSurface(std::uint32_t* bits, int width, int height, int stride)
    : bits_(bits), width_(width), height_(height), stride_(stride) {
    set_clip(nullptr);
}

void PixelSurface::set_clip(const PixelRect* clip) {
    const PixelRect all{0, 0, width_ - 1, height_ - 1};
    clip_ = clip != nullptr ? clip->intersected(all) : all;
}

void PixelSurface::fill(int x0, int y0, int x1, int y1, std::uint32_t pixel) {
    if (!valid()) return;
    const PixelRect r = PixelRect{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)}.intersected(clip_);
    if (r.empty()) return;
    for (int y = r.y0; y <= r.y1; ++y) {
        std::uint32_t* row = bits_ + static_cast<std::ptrdiff_t>(y) * stride_;
        std::fill(row + r.x0, row + r.x1 + 1, pixel);
    }
}

bool PixelSurface::straight_line(int x0, int y0, int x1, int y1, std::uint32_t pixel, bool dotted) {
    if (x0 != x1 && y0 != y1) return false;
    if (!valid()) return true;
    const int step = dotted ? 2 : 1;
    if (y0 == y1) {
        const int lo = std::min(x0, x1);
        const int hi = std::max(x0, x1);
        if (y0 < clip_.y0 || y0 > clip_.y1) return true;
        int x = lo;
        // The first pixel at or right of the clip that the pattern draws.
        if (x < clip_.x0) x += (clip_.x0 - x + step - 1) / step * step;
        std::uint32_t* row = bits_ + static_cast<std::ptrdiff_t>(y0) * stride_;
        for (; x < hi && x <= clip_.x1; x += step) row[x] = pixel;
        return true;
    }
    const int lo = std::min(y0, y1);
    const int hi = std::max(y0, y1);
    if (x0 < clip_.x0 || x0 > clip_.x1) return true;
    int y = lo;
    if (y < clip_.y0) y += (clip_.y0 - y + step - 1) / step * step;
    for (; y < hi && y <= clip_.y1; y += step) bits_[static_cast<std::ptrdiff_t>(y) * stride_ + x0] = pixel;
    return true;
}

void PixelSurface::bezier(const std::vector<CanvasPoint>& points, std::uint32_t pixel) {
    if (!valid() || points.size() < 4) return;
    for (std::size_t k = 0; k + 3 < points.size(); k += 3) cubic(&points[k], pixel);
}

void PixelSurface::cubic(const CanvasPoint* p, std::uint32_t pixel) {
    // The curve lies within the box of its four points: skip it when that is outside the clip.
    int min_x = p[0].x, max_x = p[0].x, min_y = p[0].y, max_y = p[0].y;
    for (int i = 1; i < 4; ++i) {
        min_x = std::min(min_x, p[i].x);
        max_x = std::max(max_x, p[i].x);
        min_y = std::min(min_y, p[i].y);
        max_y = std::max(max_y, p[i].y);
    }
    if (!PixelRect{min_x, min_y, max_x, max_y}.intersects(clip_)) return;
    const CanvasPoint o = p[0];
    if (min_y == max_y) {
        // A level segment: the run between its ends.
        for (int x = std::max(min_x, clip_.x0); x <= std::min(max_x, clip_.x1); ++x) plot(x, o.y, pixel);
        return;
    }
    // Everything is worked out relative to the start point, so that the pixels do not depend
    // on where the segment lies.
    const int ax = p[1].x - o.x, ay = p[1].y - o.y;
    const int bx = p[2].x - o.x, by = p[2].y - o.y;
    const int cx = p[3].x - o.x, cy = p[3].y - o.y;
    const int n = std::max(1, chebyshev(ax, ay) + chebyshev(bx - ax, by - ay) + chebyshev(cx - bx, cy - by));
    int px = 0;
    int py = 0;
    plot(o.x, o.y, pixel);
    for (int k = 1; k <= n; ++k) {
        int ix = cx;
        int iy = cy;
        if (k < n) {
            const double t = static_cast<double>(k) / n;
            const double s = 1.0 - t;
            const double b1 = 3.0 * s * s * t;
            const double b2 = 3.0 * s * t * t;
            const double b3 = t * t * t;
            ix = static_cast<int>(std::floor(b1 * ax + b2 * bx + b3 * cx + 0.5));
            iy = static_cast<int>(std::floor(b1 * ay + b2 * by + b3 * cy + 0.5));
        }
        // A straight run of pixels from the last sample to this one (Bresenham).
        const int dx = std::abs(ix - px);
        const int dy = -std::abs(iy - py);
        const int sx = px < ix ? 1 : -1;
        const int sy = py < iy ? 1 : -1;
        int err = dx + dy;
        while (px != ix || py != iy) {
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                px += sx;
            }
            if (e2 <= dx) {
                err += dx;
                py += sy;
            }
            plot(o.x + px, o.y + py, pixel);
        }
    }
}

void PixelSurface::scroll_left(int y0, int y1, int dx) {
    if (!valid() || dx <= 0) return;
    y0 = std::max(y0, 0);
    y1 = std::min(y1, height_ - 1);
    if (dx >= width_) return;
    for (int y = y0; y <= y1; ++y) {
        std::uint32_t* row = bits_ + static_cast<std::ptrdiff_t>(y) * stride_;
        std::memmove(row, row + dx, static_cast<std::size_t>(width_ - dx) * sizeof(std::uint32_t));
    }
}

std::uint32_t PixelSurface::at(int x, int y) const {
    if (!valid() || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return bits_[static_cast<std::ptrdiff_t>(y) * stride_ + x];
}
