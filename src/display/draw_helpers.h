#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "display/canvas.h"

// The last colour given to Highlight and its result.
struct HighlightCache {
    bool valid = false;
    std::uint32_t argument = 0;
    std::uint32_t result = 0;
};

// Each of red, green and blue raised by 20, capped at 255. Repeated arguments come from the cache.
std::uint32_t Highlight(HighlightCache& cache, std::uint32_t colour);

// A colour pulled toward a background: per channel c + percent * b / 100 + 20 (or
// c - percent * 2.55 + 20 where the background channel is 0), clamped to 0..255.
std::uint32_t BlendColor(std::uint32_t colour, std::uint32_t background, int percent);

enum LabelAlignment : int { kAlignLeft = 0, kAlignRight = 1, kAlignCentre = 2 };

// Number of characters (UTF-8 code points) of a text.
int text_length(const std::string& text);

// Writes a text at row y: left at x = 3, right ending 3 pixels from the right edge, or centred.
void DrawLabel(Canvas& canvas, const std::string& text, int y, int alignment, std::uint32_t colour);

// The Bezier list of a smoothed curve through P0..Pm: 3m + 1 points with two control points
// per segment at the segment's middle x, pulled `smoothing` percent of the step up and down.
std::vector<CanvasPoint> smooth_curve_points(const std::vector<CanvasPoint>& points, int smoothing);

// Draws a smoothed curve; with `soft` first two shadows 1 and 2 pixels lower in colours
// blended toward the background, then the curve itself.
void DrawSmoothCurve(Canvas& canvas, const std::vector<CanvasPoint>& points, int smoothing, std::uint32_t colour,
                     bool soft, std::uint32_t background);

// A pixel coordinate from a computed value: rounded (halves to even), kept within a range
// far outside any window, so huge rates cannot overflow.
int to_pixel(double v);
