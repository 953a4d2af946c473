#include "display/draw_helpers.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

std::uint32_t channel(std::uint32_t colour, int shift) { return (colour >> shift) & 0xFFu; }

std::uint32_t pack(int r, int g, int b) {
    return static_cast<std::uint32_t>(r) + 256u * static_cast<std::uint32_t>(g) + 65536u * static_cast<std::uint32_t>(b);
}

int round_clamped(double v) {
    const double r = std::nearbyint(v);
    return static_cast<int>(std::clamp(r, 0.0, 255.0));
}

}  // namespace

std::uint32_t Highlight(HighlightCache& cache, std::uint32_t colour) {
    if (cache.valid && cache.argument == colour) return cache.result;
    auto up = [&](int shift) { return std::min<int>(static_cast<int>(channel(colour, shift)) + 20, 255); };
    cache.valid = true;
    cache.argument = colour;
    cache.result = pack(up(0), up(8), up(16));
    return cache.result;
}

std::uint32_t BlendColor(std::uint32_t colour, std::uint32_t background, int percent) {
    auto mix = [&](int shift) {
        const double c = channel(colour, shift);
        double d = percent * static_cast<double>(channel(background, shift)) / 100.0;
        if (d == 0) d = -percent * 2.55;
        return round_clamped(c + d + 20);
    };
    return pack(mix(0), mix(8), mix(16));
}

int text_length(const std::string& text) {
    int n = 0;
    for (unsigned char c : text)
        if ((c & 0xC0u) != 0x80u) ++n;
    return n;
}

void DrawLabel(Canvas& canvas, const std::string& text, int y, int alignment, std::uint32_t colour) {
    const int chars = text_length(text) * kCharWidth;
    int x = 3;
    if (alignment == kAlignRight) x = canvas.width() - 3 - chars;
    else if (alignment == kAlignCentre) x = canvas.width() / 2 - chars / 2;
    canvas.text(x, y, text, colour);
}

int to_pixel(double v) {
    if (std::isnan(v)) return 0;
    return static_cast<int>(std::nearbyint(std::clamp(v, -1.0e6, 1.0e6)));
}

std::vector<CanvasPoint> smooth_curve_points(const std::vector<CanvasPoint>& p, int smoothing) {
    std::vector<CanvasPoint> out;
    if (p.empty()) return out;
    out.reserve(p.size() * 3 - 2);
    for (std::size_t k = 0; k + 1 < p.size(); ++k) {
        const CanvasPoint a = p[k];
        const CanvasPoint b = p[k + 1];
        const int mx = to_pixel((a.x + b.x) / 2.0);
        const int my = to_pixel((a.y + b.y) / 2.0);
        const int t = a.y - b.y;
        const int u = to_pixel(std::abs(t) * smoothing / 100.0);
        out.push_back(a);
        if (t > 0) {
            out.push_back({mx, my + u});
            out.push_back({mx, my - u});
        } else if (t < 0) {
            out.push_back({mx, my - u});
            out.push_back({mx, my + u});
        } else {
            out.push_back({mx, my});
            out.push_back({mx, my});
        }
    }
    out.push_back(p.back());
    return out;
}

void DrawSmoothCurve(Canvas& canvas, const std::vector<CanvasPoint>& points, int smoothing, std::uint32_t colour,
                     bool soft, std::uint32_t background) {
    std::vector<CanvasPoint> curve = smooth_curve_points(points, smoothing);
    if (curve.size() < 4) return;
    if (soft) {
        for (CanvasPoint& q : curve) q.y += 1;
        canvas.bezier(curve, BlendColor(colour, background, 45));
        for (CanvasPoint& q : curve) q.y += 1;
        canvas.bezier(curve, BlendColor(colour, background, 70));
        for (CanvasPoint& q : curve) q.y -= 2;
    }
    canvas.bezier(curve, colour);
}
