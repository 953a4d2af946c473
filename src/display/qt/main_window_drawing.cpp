#include "display/qt/main_window_drawing.h"

#include "display/qt/qimage_canvas.h"
#include "display/recording_canvas.h"

MainWindowDrawing::MainWindowDrawing() : font_(canvas_font()) {}

void MainWindowDrawing::resize(int width, int height) {
    if (width <= 0 || height <= 0) {
        backbuffer_ = QImage();
        return;
    }
    if (backbuffer_.width() == width && backbuffer_.height() == height) return;
    backbuffer_ = QImage(width, height, QImage::Format_RGB32);
    backbuffer_.fill(Qt::white);
}

bool MainWindowDrawing::refresh(ProgramState& state, const Locale& locale, double now, bool redraw,
                                std::function<std::string(int)> adapter_ip) {
    const DrawInputs inputs{locale, now, std::move(adapter_ip)};
    if (backbuffer_.isNull()) {
        RecordingCanvas none(0, 0);
        return RefreshScreen(state, none, cache_, inputs, redraw);
    }
    QImageCanvas canvas(backbuffer_, font_);
    return RefreshScreen(state, canvas, cache_, inputs, redraw);
}

int bar_graph_width_limit(const Settings& s, int client_width) {
    if (s.GraphType != 1 || client_width <= s.GraphBuffer) return 0;
    return s.GraphBuffer;
}
