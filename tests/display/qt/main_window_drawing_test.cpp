#include "display/qt/main_window_drawing.h"

#include <gtest/gtest.h>

#include "core/qt/frm_main.h"
#include "display/item_list.h"
#include "display/qt/qimage_canvas.h"
#include "support/temp_home.h"

namespace {

QRgb qrgb_of(std::uint32_t packed) { return to_qcolor(packed).rgb(); }

// The six standard items (five shown) in a 199 x 328 window: four 52-pixel sections and a
// graph 119 pixels high from y = 208, baseline 327.
struct DrawingFixture : ::testing::Test {
    ProgramState state;
    EnglishLocale locale;
    MainWindowDrawing drawing;

    DrawingFixture() {
        state.window.visible = true;
        BuildDisplayList(state);
        drawing.resize(199, 328);
    }
    QRgb at(int x, int y) const { return drawing.Backbuffer().pixel(x, y); }
};

TEST_F(DrawingFixture, DefaultItemsOnTheRealBackBuffer) {
    AdapterState& a = state.adapters[static_cast<std::size_t>(state.settings.Adapter)];
    a.download_graph.fill(500);
    a.shown_peak_download = 1000;
    ASSERT_TRUE(drawing.refresh(state, locale, 46000.5, true));
    const ColourScheme& c = state.settings.colours;

    EXPECT_EQ(drawing.Backbuffer().size(), QSize(199, 328));
    EXPECT_EQ(at(0, 0), qrgb_of(c.Background));
    EXPECT_EQ(at(198, 100), qrgb_of(c.Background));
    // Separator rows above the second item and above the graph.
    for (int x : {0, 100, 198}) {
        EXPECT_EQ(at(x, 50), qrgb_of(c.Seperator));
        EXPECT_EQ(at(x, 51), qRgb(245, 245, 255));
        EXPECT_EQ(at(x, 206), qrgb_of(c.Seperator));
    }
    // Download at half the peak: 327 - 59.5, rounded to even, with the soft shadow below.
    EXPECT_EQ(at(100, 268), qrgb_of(c.GraphDown));
    EXPECT_EQ(at(100, 269), qrgb_of(BlendColor(c.GraphDown, c.Background, 45)));
    EXPECT_EQ(at(100, 270), qrgb_of(BlendColor(c.GraphDown, c.Background, 70)));
    EXPECT_EQ(at(100, 267), qrgb_of(c.Background));
    // No upload: its curve lies on the baseline.
    EXPECT_EQ(at(100, 327), qrgb_of(c.GraphUp));
    // The heading "Download" is drawn in the header colour somewhere in its cell.
    bool header = false;
    for (int y = 3; y < 16; ++y)
        for (int x = 71; x < 71 + 56; ++x) header = header || at(x, y) == qrgb_of(c.Header);
    EXPECT_TRUE(header);
}

TEST_F(DrawingFixture, MinimisedWindowKeepsAnEmptyBuffer) {
    drawing.resize(0, 0);
    state.window.minimized = true;
    EXPECT_FALSE(drawing.refresh(state, locale, 46000.5, true));
    EXPECT_TRUE(drawing.Backbuffer().isNull());
}

TEST(BarGraphWidthGuard, NarrowsOnlyABarGraphWiderThanItsSamples) {
    Settings s;
    EXPECT_EQ(bar_graph_width_limit(s, 3000), 0);
    s.GraphType = 1;
    EXPECT_EQ(bar_graph_width_limit(s, 1840), 0);
    EXPECT_EQ(bar_graph_width_limit(s, 1841), 1840);
    s.GraphBuffer = 400;
    EXPECT_EQ(bar_graph_width_limit(s, 500), 400);
}

TEST(MainWindow, DrawsTheItemsIntoItsBackBuffer) {
    TempDir home;
    use_temp_home(home);
    frmMain window(StartOptions{});
    window.show();
    ASSERT_TRUE(window.Form_Load());
    // Standard items: four sections and a graph of GraphHeight, less the hanging 2 pixels.
    EXPECT_EQ(window.height(), 4 * 52 + 117 + 3 - 2);
    window.RefreshScreen(true);
    const QImage& img = window.Backbuffer();
    ASSERT_EQ(img.size(), window.size());
    const ColourScheme& c = window.state().settings.colours;
    EXPECT_EQ(img.pixel(0, 0), qrgb_of(c.Background));
    EXPECT_EQ(img.pixel(10, 50), qrgb_of(c.Seperator));
    EXPECT_EQ(img.pixel(10, window.height() - 1), qrgb_of(c.GraphDown));
    EXPECT_EQ(window.state().settings.GraphHeight, 117);
    window.UnloadKVT();
}

}  // namespace
