#pragma once

#include <string>
#include <vector>

#include "display/canvas.h"

// One drawing call as the frame plan (and the tests' recorder) keep it.
struct CanvasOp {
    enum class Kind { clear, line, dotted_line, fill_rect, text, bezier };
    Kind kind = Kind::clear;
    std::uint32_t colour = 0;
    std::vector<CanvasPoint> points;  // line/rect: two corners; text: its position
    std::string text;
};
