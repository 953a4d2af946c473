#include "display/qt/main_window_drawing.h"

#include "platform/window_info.h"
#include "settings/settings.h"
#include "settings/form_item.h"

#include <QFontMetrics>

#include "display/qt/qimage_canvas.h"

MainWindowDrawing::MainWindowDrawing() : font_(canvas_font()) {
    cache_.incremental = true;
    const QFontMetrics metrics(font_);
    ascent_ = metrics.ascent();
    text_height_ = metrics.height();
}

void MainWindowDrawing::resize(int width, int height) {
    if (width <= 0 || height <= 0) {
        backbuffer_ = QImage();
        cache_.shown_valid = false;
        return;
    }
    if (backbuffer_.width() == width && backbuffer_.height() == height) return;
    backbuffer_ = QImage(width, height, QImage::Format_RGB32);
    backbuffer_.fill(Qt::white);
    cache_.shown_valid = false;
}

void MainWindowDrawing::set_incremental(bool on) {
    cache_.incremental = on;
    cache_.shown_valid = false;
}

bool MainWindowDrawing::refresh(DisplayView state, const Locale& locale, double now, bool redraw,
                                std::function<std::string(int)> adapter_ip) {
    const DrawInputs inputs{locale, now, std::move(adapter_ip)};
    changed_ = QRegion();
    // Before the first resize the back buffer is null: a canvas of no size, nothing drawn.
    QImageCanvas canvas(backbuffer_, font_, ascent_, text_height_);
    const bool visible = RefreshScreen(state, canvas, cache_, inputs, redraw);
    if (visible && redraw) {
        for (const PixelRect& r : cache_.change.screen_rects())
            if (!r.empty()) changed_ += QRect(r.x0, r.y0, r.x1 - r.x0 + 1, r.y1 - r.y0 + 1);
    }
    return visible;
}

int bar_graph_width_limit(const Settings& s, int client_width) {
    if (s.GraphType != 1 || client_width <= s.GraphBuffer) return 0;
    return s.GraphBuffer;
}
