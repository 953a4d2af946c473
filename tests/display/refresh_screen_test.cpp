#include "display/refresh_screen.h"

#include <gtest/gtest.h>

#include "support/recording_canvas.h"
#include "measure/format.h"

namespace {

FormItem item(std::uint8_t type, std::uint8_t adapter = 0, std::uint8_t enabled = 1) {
    FormItem i;
    i.Type = type;
    i.Adapter = adapter;
    i.Enabled = enabled;
    i.Name = "Item";
    return i;
}

struct DrawFixture : ::testing::Test {
    ProgramState state;
    EnglishLocale locale;
    DisplayCache cache;
    DrawInputs inputs{locale, 46000.5, nullptr};

    DrawFixture() {
        state.window.visible = true;
        state.settings.SoftGraph = 0;
    }
    RecordingCanvas draw(int w, int h) {
        RecordingCanvas c(w, h);
        EXPECT_TRUE(RefreshScreen(state, c, cache, inputs, true));
        return c;
    }
    const ColourScheme& colours() const { return state.settings.colours; }
};

std::vector<CanvasOp> lines_in(const RecordingCanvas& c, std::uint32_t colour) {
    std::vector<CanvasOp> out;
    for (const CanvasOp& op : c.of_kind(CanvasOp::Kind::line))
        if (op.colour == colour) out.push_back(op);
    return out;
}

// Solid lines other than the first item's separators (which lie above the picture).
std::vector<CanvasOp> visible_lines(const RecordingCanvas& c) {
    std::vector<CanvasOp> out;
    for (const CanvasOp& op : c.of_kind(CanvasOp::Kind::line))
        if (op.points[0].y >= 0) out.push_back(op);
    return out;
}

TEST(Layout, RateItemAndGraphShareTheClientArea) {
    std::vector<FormItem> items{item(kItemDownloadRate), item(kItemGraph)};
    layout_items(items, 200, Settings{});
    EXPECT_EQ(items[0].Top, 0);
    EXPECT_EQ(items[0].Height, 49);
    EXPECT_EQ(items[1].Top, 52);
    EXPECT_EQ(items[1].Height, 147);
}

TEST(Layout, OddPixelsGoToTheUpperGraphsAndDisabledItemsTakeNoRoom) {
    std::vector<FormItem> items{item(kItemGraph), item(kItemUploadRate, 0, 0), item(kItemTransferred), item(kItemGraph)};
    layout_items(items, 201, Settings{});
    EXPECT_EQ(items[0].Top, 0);
    EXPECT_EQ(items[0].Height, 73);
    EXPECT_EQ(items[2].Top, 76);
    EXPECT_EQ(items[3].Top, 128);
    EXPECT_EQ(items[3].Height, 72);
    // Three graphs with two spare pixels: the first two grow.
    std::vector<FormItem> three{item(kItemGraph), item(kItemGraph), item(kItemGraph), item(kItemTextLabel)};
    layout_items(three, 200, Settings{});
    EXPECT_EQ(three[0].Height, 58);
    EXPECT_EQ(three[1].Height, 58);
    EXPECT_EQ(three[2].Height, 57);
    EXPECT_EQ(three[3].Top, 61 + 61 + 60);
    EXPECT_EQ(three[3].Height, 17);
    EXPECT_EQ(three[3].Top + 20, 200 + 2);
}

TEST(DrawHelpers, LabelPositions) {
    RecordingCanvas c(150, 40);
    DrawLabel(c, "0123456789", 5, kAlignCentre, 1);
    DrawLabel(c, "0123456789", 6, kAlignRight, 2);
    DrawLabel(c, "0123456789", 7, kAlignLeft, 3);
    DrawLabel(c, "\xC3\xA4\xC3\xA4", 8, kAlignCentre, 4);  // two characters, four bytes
    ASSERT_EQ(c.ops.size(), 4u);
    EXPECT_EQ(c.ops[0].points[0], (CanvasPoint{40, 5}));
    EXPECT_EQ(c.ops[1].points[0], (CanvasPoint{77, 6}));
    EXPECT_EQ(c.ops[2].points[0], (CanvasPoint{3, 7}));
    EXPECT_EQ(c.ops[3].points[0], (CanvasPoint{68, 8}));
    EXPECT_EQ(c.ops[1].colour, 2u);
}

TEST(DrawHelpers, HighlightAndBlendColours) {
    HighlightCache cache;
    EXPECT_EQ(Highlight(cache, rgb(225, 225, 255)), rgb(245, 245, 255));
    EXPECT_EQ(Highlight(cache, rgb(0, 240, 10)), rgb(20, 255, 30));
    EXPECT_EQ(Highlight(cache, rgb(0, 240, 10)), rgb(20, 255, 30));
    // Blue on the default background: red and green 0 + 101.25 + 20, blue capped.
    EXPECT_EQ(BlendColor(rgb(0, 0, 255), rgb(225, 225, 255), 45), rgb(121, 121, 255));
    // A black background channel pulls the colour down instead.
    EXPECT_EQ(BlendColor(rgb(200, 10, 0), rgb(0, 0, 0), 70), rgb(42, 0, 0));
}

TEST(DrawHelpers, SmoothCurveControlPointsMakeAnSStep) {
    const std::vector<CanvasPoint> pts{{10, 50}, {8, 40}, {6, 40}, {4, 45}, {2, 44}};
    const std::vector<CanvasPoint> b = smooth_curve_points(pts, 50);
    ASSERT_EQ(b.size(), 13u);
    // Rising step: first control at the start's height, second at the end's.
    EXPECT_EQ(b[0], (CanvasPoint{10, 50}));
    EXPECT_EQ(b[1], (CanvasPoint{9, 50}));
    EXPECT_EQ(b[2], (CanvasPoint{9, 40}));
    EXPECT_EQ(b[3], (CanvasPoint{8, 40}));
    // Flat step: both controls at the middle.
    EXPECT_EQ(b[4], (CanvasPoint{7, 40}));
    EXPECT_EQ(b[5], (CanvasPoint{7, 40}));
    // Falling step by 5: the middle 42.5 rounds to even (42), the pull 2.5 to 2.
    EXPECT_EQ(b[7], (CanvasPoint{5, 40}));
    EXPECT_EQ(b[8], (CanvasPoint{5, 44}));
    EXPECT_EQ(b[9], (CanvasPoint{4, 45}));
    // Rising by 1: the middle 44.5 rounds to 44, the pull 0.5 to 0.
    EXPECT_EQ(b[10], (CanvasPoint{3, 44}));
    EXPECT_EQ(b[11], (CanvasPoint{3, 44}));
    EXPECT_EQ(b[12], (CanvasPoint{2, 44}));
}

TEST_F(DrawFixture, SoftCurveDrawsTwoShadowsBelowThenTheCurve) {
    RecordingCanvas c(50, 50);
    DrawSmoothCurve(c, {{10, 20}, {8, 20}}, 50, rgb(0, 0, 255), true, colours().Background);
    ASSERT_EQ(c.ops.size(), 3u);
    EXPECT_EQ(c.ops[0].points[0].y, 21);
    EXPECT_EQ(c.ops[0].colour, BlendColor(rgb(0, 0, 255), colours().Background, 45));
    EXPECT_EQ(c.ops[1].points[0].y, 22);
    EXPECT_EQ(c.ops[1].colour, BlendColor(rgb(0, 0, 255), colours().Background, 70));
    EXPECT_EQ(c.ops[2].points[0].y, 20);
    EXPECT_EQ(c.ops[2].colour, rgb(0, 0, 255));
}

TEST_F(DrawFixture, SeparatorsSitAboveEveryItem) {
    state.display_list = {item(kItemDownloadRate), item(kItemUploadRate, 0, 0), item(kItemDownloadUploadRate)};
    RecordingCanvas c = draw(150, 80);
    const auto sep = lines_in(c, colours().Seperator);
    const auto hi = lines_in(c, rgb(245, 245, 255));
    // Two enabled items, each separator drawn in both passes.
    ASSERT_EQ(sep.size(), 4u);
    ASSERT_EQ(hi.size(), 4u);
    EXPECT_EQ(sep[0].points[0], (CanvasPoint{0, 50}));
    EXPECT_EQ(sep[0].points[1], (CanvasPoint{150, 50}));
    EXPECT_EQ(hi[0].points[0], (CanvasPoint{0, 51}));
    EXPECT_EQ(sep[2].points[0], (CanvasPoint{0, -2}));  // first item: above the picture
    EXPECT_EQ(c.ops[0].kind, CanvasOp::Kind::clear);
    EXPECT_EQ(c.ops[0].colour, colours().Background);

    state.settings.TransBack = 1;
    RecordingCanvas t = draw(150, 80);
    EXPECT_EQ(lines_in(t, colours().Seperator).size(), 4u);
    EXPECT_TRUE(lines_in(t, rgb(245, 245, 255)).empty());
}

TEST_F(DrawFixture, RateSectionTexts) {
    state.display_list = {item(kItemDownloadRate, 1)};
    AdapterState& a = state.adapters[1];
    a.download_graph[0] = 2048;
    a.shown_peak_download = 10;
    a.shown_average_download = 1536;
    state.settings.TransferDec = 1;
    RecordingCanvas c = draw(150, 52);
    const CanvasOp* head = c.find_text("Download");
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head->points[0], (CanvasPoint{75 - 28, 3}));
    EXPECT_EQ(head->colour, colours().Header);
    ASSERT_NE(c.find_text("2.0KB/s"), nullptr);
    EXPECT_EQ(c.find_text("2.0KB/s")->points[0], (CanvasPoint{3, 35}));
    EXPECT_EQ(c.find_text("10B/s")->points[0], (CanvasPoint{150 - 3 - 35, 35}));
    EXPECT_EQ(c.find_text("1.5KB/s")->points[0].y, 35);
    EXPECT_EQ(c.find_text("Max")->points[0], (CanvasPoint{150 - 3 - 21, 19}));
    EXPECT_EQ(c.find_text("Max")->colour, colours().Description);
}

// Numbers are formatted once and kept for the next redraws; a setting that changes how they
// read changes them at the next redraw although the values stayed.
TEST_F(DrawFixture, KeptNumbersFollowDecimalsAndUnits) {
    state.display_list = {item(kItemDownloadRate, 1), item(kItemTransferred, 1)};
    state.adapters[1].download_graph[0] = 1536;
    ASSERT_NE(draw(150, 104).find_text("2KB/s"), nullptr);
    state.settings.TransferDec = 2;
    ASSERT_NE(draw(150, 104).find_text("1.50KB/s"), nullptr);
    state.settings.TransferUnit = kUnitBytes;
    ASSERT_NE(draw(150, 104).find_text("1536B/s"), nullptr);
    state.settings.TransferredDec = 3;
    state.settings.TransferredUnit = kUnitKilobytes;
    EXPECT_NE(draw(150, 104).find_text("0.000KB"), nullptr);
    // Many different values on the way do not lose the ones shown now.
    for (int v = 1; v <= 100; ++v) {
        state.adapters[1].download_graph[0] = v;
        ASSERT_NE(draw(150, 104).find_text(std::to_string(v) + "B/s"), nullptr) << v;
    }
}

TEST_F(DrawFixture, TransferredSectionCentreColumnFollowsShowInfo) {
    state.display_list = {item(kItemTransferred, 2)};
    inputs.adapter_ip = [](int a) { return a == 2 ? std::string("10.0.0.7") : std::string(); };
    state.settings.ShowInfo = 2;
    RecordingCanvas dash = draw(150, 52);
    ASSERT_NE(dash.find_text("Today"), nullptr);
    ASSERT_NE(dash.find_text("-"), nullptr);
    EXPECT_EQ(dash.of_kind(CanvasOp::Kind::text).size(), 7u);

    state.settings.ShowInfo = 1;
    RecordingCanvas ip = draw(150, 52);
    ASSERT_NE(ip.find_text("IP"), nullptr);
    ASSERT_NE(ip.find_text("10.0.0.7"), nullptr);
    EXPECT_EQ(ip.find_text("10.0.0.7")->points[0], (CanvasPoint{75 - 28, 35}));

    state.settings.ShowInfo = 0;
    RecordingCanvas none = draw(150, 52);
    // Heading, two captions and two amounts; nothing in the centre column.
    EXPECT_EQ(none.of_kind(CanvasOp::Kind::text).size(), 5u);
    EXPECT_EQ(none.find_text("-"), nullptr);
    EXPECT_EQ(none.find_text("IP"), nullptr);

    EXPECT_EQ(adapter_ip_text(inputs, 0), "Multiple");
    EXPECT_EQ(adapter_ip_text(inputs, 3), "0.0.0.0");
}

TEST_F(DrawFixture, OneLineItems) {
    FormItem label = item(kItemTextLabel);
    label.Name = "Hello";
    state.display_list = {item(kItemDownloadUploadRate), label};
    state.adapters[0].download_graph[0] = 5;
    state.adapters[0].upload_graph[0] = 3;
    RecordingCanvas c = draw(200, 40);
    const CanvasOp* rates = c.find_text("DL: 5B/s  UL: 3B/s");
    ASSERT_NE(rates, nullptr);
    EXPECT_EQ(rates->colour, colours().Values);
    EXPECT_EQ(rates->points[0].y, 3);
    ASSERT_NE(c.find_text("Hello"), nullptr);
    EXPECT_EQ(c.find_text("Hello")->points[0], (CanvasPoint{100 - 17, 23}));
    EXPECT_EQ(c.find_text("Hello")->colour, colours().TextLabel);
}

TEST_F(DrawFixture, LineGraphWithoutTrafficLiesOnItsBaseline) {
    state.display_list = {item(kItemDownloadRate), item(kItemGraph)};
    RecordingCanvas c = draw(200, 200);
    const auto curves = c.of_kind(CanvasOp::Kind::bezier);
    ASSERT_EQ(curves.size(), 2u);
    EXPECT_EQ(curves[0].colour, colours().GraphUp);
    EXPECT_EQ(curves[1].colour, colours().GraphDown);
    // 2 * ((200 + 10) div 4) + 1 = 105 samples give 3 * 104 + 1 Bezier points.
    ASSERT_EQ(curves[1].points.size(), 313u);
    EXPECT_EQ(curves[1].points.front(), (CanvasPoint{200, 52 + 147}));
    EXPECT_EQ(curves[1].points.back(), (CanvasPoint{200 - 208, 52 + 147}));
    for (const CanvasPoint& p : curves[1].points) EXPECT_EQ(p.y, 199);
    EXPECT_EQ(state.settings.GraphHeight, 147);
    EXPECT_TRUE(state.adapters[0].graph_shown);
}

TEST_F(DrawFixture, CurvesScaleToThePeakOrTheLineSpeed) {
    state.display_list = {item(kItemGraph)};
    AdapterState& a = state.adapters[0];
    a.shown_peak_download = 1000;
    a.download_graph[0] = 500;
    a.download_graph[1] = 1000;
    a.upload_graph[0] = 2000;  // above the download peak: drawn above the graph's top
    RecordingCanvas c = draw(100, 101);  // graph height 100, baseline 100
    auto curves = c.of_kind(CanvasOp::Kind::bezier);
    ASSERT_EQ(curves.size(), 2u);
    EXPECT_EQ(curves[1].points[0], (CanvasPoint{100, 50}));
    EXPECT_EQ(curves[1].points[3], (CanvasPoint{98, 0}));
    EXPECT_EQ(curves[0].points[0], (CanvasPoint{100, -100}));

    // A fixed 8 kbit/s line: 1000 B/s fill the graph; upload scaled on its own peak.
    state.settings.ConnectionType = 5;
    state.settings.ConnectionSpeed = 8;
    state.settings.ConnectionTypeUp = 1;
    a.shown_peak_upload = 4000;
    curves = draw(100, 101).of_kind(CanvasOp::Kind::bezier);
    EXPECT_EQ(curves[1].points[0].y, 50);
    EXPECT_EQ(curves[0].points[0].y, 50);

    // A fixed line speed of 0 draws a flat graph instead of dividing by zero.
    state.settings.ConnectionSpeed = 0;
    state.settings.ConnectionTypeUp = 0;
    curves = draw(100, 101).of_kind(CanvasOp::Kind::bezier);
    for (const CanvasOp& curve : curves)
        for (const CanvasPoint& p : curve.points) EXPECT_EQ(p.y, 100);
}

TEST_F(DrawFixture, ClippingBandErasesAboveTheGraph) {
    state.display_list = {item(kItemDownloadRate), item(kItemGraph)};
    RecordingCanvas c = draw(200, 200);
    const auto fills = c.of_kind(CanvasOp::Kind::fill_rect);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].points[0], (CanvasPoint{0, 0}));
    EXPECT_EQ(fills[0].points[1], (CanvasPoint{200, 51}));
    EXPECT_EQ(fills[0].colour, colours().Background);
    // Texts of pass 2 come after the band.
    std::size_t band = 0, text = 0;
    for (std::size_t i = 0; i < c.ops.size(); ++i) {
        if (c.ops[i].kind == CanvasOp::Kind::fill_rect) band = i;
        if (c.ops[i].kind == CanvasOp::Kind::text && text == 0) text = i;
    }
    EXPECT_LT(band, text);
}

TEST_F(DrawFixture, GridEverySixtyPixelsForLinesAndThirtyForBars) {
    state.display_list = {item(kItemGraph)};
    state.settings.vGrid = 1;
    state.settings.vGridInt = 30;
    auto xs = [&]() {
        std::vector<int> out;
        RecordingCanvas c = draw(200, 100);
        for (const CanvasOp& op : c.of_kind(CanvasOp::Kind::dotted_line)) {
            EXPECT_EQ(op.colour, colours().GridLine);
            EXPECT_EQ(op.points[0].y, 0);
            EXPECT_EQ(op.points[1].y, 99);
            out.push_back(op.points[0].x);
        }
        return out;
    };
    EXPECT_EQ(xs(), (std::vector<int>{200, 140, 80, 20}));
    state.settings.GraphType = 1;
    EXPECT_EQ(xs(), (std::vector<int>{200, 170, 140, 110, 80, 50, 20}));
    state.settings.vGridInt = 0;
    EXPECT_TRUE(xs().empty());
}

TEST_F(DrawFixture, GridAndAveragesUnderOrOverTheGraph) {
    state.display_list = {item(kItemGraph)};
    state.settings.vGrid = 1;
    state.settings.AverageShow = 1;
    AdapterState& a = state.adapters[0];
    a.shown_peak_download = 100;
    a.shown_average_download = 50;
    a.shown_average_upload = 25;
    auto order = [&]() {
        std::string kinds;
        for (const CanvasOp& op : draw(100, 101).ops) {
            if (op.kind == CanvasOp::Kind::dotted_line && (kinds.empty() || kinds.back() != 'g')) kinds += 'g';
            if (op.kind == CanvasOp::Kind::line && op.colour == colours().GraphAverageUp) kinds += 'a';
            if (op.kind == CanvasOp::Kind::bezier && op.colour == colours().GraphDown) kinds += 'c';
        }
        return kinds;
    };
    EXPECT_EQ(order(), "gac");
    state.settings.vGridTop = 1;
    state.settings.AverageTop = 1;
    EXPECT_EQ(order(), "cga");
    const auto up = lines_in(draw(100, 101), colours().GraphAverageUp);
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(up[0].points[0], (CanvasPoint{0, 75}));
    const auto down = visible_lines(draw(100, 101));
    ASSERT_EQ(down.size(), 2u);
    EXPECT_EQ(down[1].colour, colours().GraphAverageDown);
    EXPECT_EQ(down[1].points[1], (CanvasPoint{100, 50}));
}

TEST_F(DrawFixture, BarWhereUploadExceedsDownload) {
    state.display_list = {item(kItemGraph)};
    state.settings.GraphType = 1;
    AdapterState& a = state.adapters[0];
    a.shown_peak_download = 100;
    a.download_graph[0] = 20;
    a.upload_graph[0] = 50;
    a.download_graph[3] = 40;
    a.upload_graph[3] = 10;
    RecordingCanvas c = draw(100, 101);  // height 100, baseline 100, scale 1 pixel per byte/s
    const auto bars = visible_lines(c);
    ASSERT_EQ(bars.size(), 4u);
    EXPECT_EQ(bars[0].colour, colours().GraphUp);
    EXPECT_EQ(bars[0].points[0], (CanvasPoint{99, 100}));
    EXPECT_EQ(bars[0].points[1], (CanvasPoint{99, 48}));
    EXPECT_EQ(bars[1].colour, colours().DownloadUpload);
    EXPECT_EQ(bars[1].points[1], (CanvasPoint{99, 78}));
    EXPECT_EQ(bars[2].colour, colours().GraphDown);
    EXPECT_EQ(bars[2].points[1], (CanvasPoint{96, 58}));
    EXPECT_EQ(bars[3].colour, colours().DownloadUpload);
    EXPECT_EQ(bars[3].points[1], (CanvasPoint{96, 88}));
}

TEST_F(DrawFixture, WideBarGraphNeverReadsPastTheSamples) {
    state.display_list = {item(kItemGraph)};
    state.settings.GraphType = 1;
    state.adapters[0].shown_peak_download = 10;
    state.adapters[0].download_graph[kSampleCount - 1] = 5;
    RecordingCanvas c = draw(4000, 50);
    EXPECT_EQ(visible_lines(c).size(), 1u);
}

TEST_F(DrawFixture, GraphShownFlagsFollowEnabledGraphs) {
    state.display_list = {item(kItemDownloadRate, 1), item(kItemGraph, 2), item(kItemGraph, 3, 0)};
    state.adapters[3].graph_shown = true;
    draw(100, 200);
    EXPECT_FALSE(state.adapters[1].graph_shown);
    EXPECT_TRUE(state.adapters[2].graph_shown);
    EXPECT_FALSE(state.adapters[3].graph_shown);
}

TEST_F(DrawFixture, HiddenOrMinimisedWindowDrawsNothing) {
    state.display_list = {item(kItemDownloadRate), item(kItemGraph)};
    RecordingCanvas c(100, 100);
    state.window.minimized = true;
    EXPECT_FALSE(RefreshScreen(state, c, cache, inputs, true));
    state.window.minimized = false;
    state.window.visible = false;
    EXPECT_FALSE(RefreshScreen(state, c, cache, inputs, true));
    EXPECT_TRUE(c.ops.empty());
    // A zero-sized back buffer and a copy-only call draw nothing either.
    state.window.visible = true;
    RecordingCanvas empty(0, 0);
    EXPECT_TRUE(RefreshScreen(state, empty, cache, inputs, true));
    EXPECT_TRUE(RefreshScreen(state, c, cache, inputs, false));
    EXPECT_TRUE(empty.ops.empty());
    EXPECT_TRUE(c.ops.empty());
}

TEST_F(DrawFixture, NoEnabledItemsShowOnlyTheBackground) {
    state.display_list = {item(kItemGraph, 0, 0)};
    RecordingCanvas c = draw(100, 100);
    ASSERT_EQ(c.ops.size(), 1u);
    EXPECT_EQ(c.ops[0].kind, CanvasOp::Kind::clear);
}

}  // namespace
