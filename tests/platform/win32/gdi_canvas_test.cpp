#include "platform/win32/gdi_canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "core/program_state.h"
#include "display/item_list.h"
#include "display/refresh_screen.h"

namespace {

// The core's own pixels without text: what any canvas must show outside the text cells.
class SurfaceCanvas : public Canvas {
public:
    SurfaceCanvas(int w, int h, int text_height) : bits_(static_cast<std::size_t>(w) * h), text_height_(text_height) {
        surface_ = PixelSurface(bits_.data(), w, h, w);
    }
    std::vector<PixelRect> text_cells;
    int width() const override { return surface_.width(); }
    int height() const override { return surface_.height(); }
    void clear(std::uint32_t c) override {
        const PixelRect& r = surface_.clip();
        surface_.fill(r.x0, r.y0, r.x1, r.y1, c);
    }
    void line(int x0, int y0, int x1, int y1, std::uint32_t c) override { surface_.straight_line(x0, y0, x1, y1, c, false); }
    void dotted_line(int x0, int y0, int x1, int y1, std::uint32_t c) override {
        surface_.straight_line(x0, y0, x1, y1, c, true);
    }
    void fill_rect(int x0, int y0, int x1, int y1, std::uint32_t c) override { surface_.fill(x0, y0, x1, y1, c); }
    void text(int x, int y, const std::string& t, std::uint32_t) override {
        text_cells.push_back({x - 1, y, x + static_cast<int>(t.size()) * kCharWidth + 1, y + text_height_});
    }
    void bezier(const std::vector<CanvasPoint>& p, std::uint32_t c) override { surface_.bezier(p, c); }
    std::uint32_t pixel(int x, int y) const override { return surface_.at(x, y); }
    int text_height() const override { return text_height_; }
    void set_clip(const PixelRect* clip) override { surface_.set_clip(clip); }
    void scroll_left(int y0, int y1, int dx) override { surface_.scroll_left(y0, y1, dx); }
    bool in_text(int x, int y) const {
        for (const PixelRect& r : text_cells)
            if (x >= r.x0 && x <= r.x1 && y >= r.y0 && y <= r.y1) return true;
        return false;
    }

private:
    std::vector<std::uint32_t> bits_;
    PixelSurface surface_;
    int text_height_;
};

// A new second's sample: element 0 is the latest.
void push(SampleBuffer& b, double v) {
    std::copy_backward(b.begin(), b.end() - 1, b.end());
    b[0] = v;
}

// Frames with traffic on the soft (Bezier) graph: the GDI back buffer, drawn incrementally
// second after second, shows the core's frame exactly outside the text, and text inside.
TEST(GdiCanvas, IncrementalFramesMatchTheCoresPixelsOutsideTheText) {
    const auto state = std::make_unique<ProgramState>();
    state->window.visible = true;
    state->settings.SoftGraph = 1;
    BuildDisplayList(*state);
    EnglishLocale locale;
    const DrawInputs inputs{locale, 46000.5, nullptr};
    GdiCanvas gdi;
    ASSERT_TRUE(gdi.resize(199, 328));
    ASSERT_GT(gdi.text_height(), 8);
    DisplayCache incremental;
    incremental.incremental = true;
    AdapterState& a = state->adapters[static_cast<std::size_t>(state->settings.Adapter)];
    for (int second = 0; second < 6; ++second) {
        push(a.download_graph, 400.0 + 300.0 * (second % 3));
        push(a.upload_graph, 100.0 * second);
        a.shown_peak_download = 1000;
        a.shown_peak_upload = 1000;
        ASSERT_TRUE(RefreshScreen(*state, gdi, incremental, inputs, true));
        SurfaceCanvas core(199, 328, gdi.text_height());
        DisplayCache full;
        ASSERT_TRUE(RefreshScreen(*state, core, full, inputs, true));
        int differing = 0, inked = 0;
        for (int y = 0; y < 328; ++y)
            for (int x = 0; x < 199; ++x) {
                if (core.in_text(x, y)) {
                    inked += gdi.pixel(x, y) != core.pixel(x, y) ? 1 : 0;
                    continue;
                }
                if (gdi.pixel(x, y) != core.pixel(x, y)) ++differing;
            }
        EXPECT_EQ(differing, 0) << "second " << second;
        EXPECT_GT(inked, 200) << "second " << second << ": no text drawn";
    }
    // Colours come out of the DIB as the core packs them.
    gdi.fill_rect(0, 0, 3, 3, rgb(10, 20, 30));
    EXPECT_EQ(gdi.pixel(1, 1), rgb(10, 20, 30));
    EXPECT_EQ(gdi.bits()[0], 0x000A141Eu);
}

}  // namespace
