#include <gtest/gtest.h>

#include <memory>

#include "core/program_state.h"
#include "support/recording_canvas.h"
#include "display/tray_icon.h"
#include "display/tray_menu.h"
#include "platform/locale.h"

namespace {

using Kind = CanvasOp::Kind;

// The monitored adapter with a current download and upload rate (on the heap: the state is
// larger than a Windows thread's stack).
std::unique_ptr<ProgramState> with_rates(double down, double up) {
    auto st = std::make_unique<ProgramState>();
    st->settings.Adapter = 1;
    st->adapters[1].download_graph[0] = down;
    st->adapters[1].upload_graph[0] = up;
    return st;
}

std::vector<CanvasOp> bars(const RecordingCanvas& c) {
    std::vector<CanvasOp> rects = c.of_kind(Kind::fill_rect);
    rects.erase(rects.begin());  // the graph background
    return rects;
}

TEST(TrayGraph, OwnDownloadScaleOfZeroFillsTheBarFrom13BytesPerSecond) {
    for (double rate : {13.0, 14.0, 1000.0}) {
        const auto held = with_rates(rate, 0);
        ProgramState& st = *held;
        st.settings.SysDl = 1;
        st.settings.SysDlSpeed = 0;
        RecordingCanvas c(16, 16);
        DrawTrayGraph(tray_picture(st), c);
        const std::vector<CanvasOp> b = bars(c);
        ASSERT_EQ(b.size(), 1u) << rate;
        EXPECT_EQ(b[0].colour, rgb(0, 255, 0));
        EXPECT_EQ(b[0].points[1], (CanvasPoint{6, 14}));
        // 14 - rate: the bar is not limited to the picture.
        EXPECT_EQ(b[0].points[0], (CanvasPoint{2, static_cast<int>(14 - rate)})) << rate;
        EXPECT_LE(b[0].points[0].y, 1);
    }
    const auto held = with_rates(6, 0);
    ProgramState& st = *held;
    st.settings.SysDl = 1;
    RecordingCanvas c(16, 16);
    DrawTrayGraph(tray_picture(st), c);
    EXPECT_EQ(bars(c)[0].points[0].y, 8);
}

TEST(TrayGraph, NoTrafficDrawsOnlyBackgroundAndFrame) {
    const auto held = with_rates(0, 0);
    ProgramState& st = *held;
    RecordingCanvas c(16, 16);
    DrawTrayGraph(tray_picture(st), c);
    ASSERT_GE(c.ops.size(), 2u);
    EXPECT_EQ(c.ops[0].kind, Kind::clear);
    EXPECT_EQ(c.ops[0].colour, kTrayPictureBackground);
    const std::vector<CanvasOp> rects = c.of_kind(Kind::fill_rect);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].points, (std::vector<CanvasPoint>{{2, 1}, {12, 15}}));
    EXPECT_EQ(rects[0].colour, rgb(0, 128, 0));

    const std::vector<CanvasOp> lines = c.of_kind(Kind::line);
    ASSERT_EQ(lines.size(), 5u);
    const Settings& s = st.settings;
    const std::vector<std::pair<std::vector<CanvasPoint>, std::uint32_t>> frame = {
        {{{1, 0}, {13, 0}}, s.ButtonShadow},  {{{1, 0}, {1, 16}}, s.ButtonShadow},
        {{{2, 15}, {13, 15}}, s.ButtonHilight}, {{{13, 0}, {13, 16}}, s.ButtonHilight},
        {{{7, 1}, {7, 15}}, s.ButtonHilight},
    };
    for (std::size_t i = 0; i < frame.size(); ++i) {
        EXPECT_EQ(lines[i].points, frame[i].first) << i;
        EXPECT_EQ(lines[i].colour, frame[i].second) << i;
    }
}

TEST(TrayGraph, ScalesFollowTheConnectionSettings) {
    const auto held = with_rates(0, 0);
    ProgramState& st = *held;
    AdapterState& a = st.adapters[1];
    Settings& s = st.settings;
    s.BandwidthCalc = 3;
    a.peak_average_download[3] = 1300;
    a.peak_average_upload[3] = 650;

    // Automatic: 13 pixels for the largest averaged rate; upload follows download.
    TrayScales sc = tray_scales(s, a);
    EXPECT_DOUBLE_EQ(sc.download, 0.01);
    EXPECT_DOUBLE_EQ(sc.upload, 0.01);
    s.ConnectionTypeUp = 1;
    EXPECT_DOUBLE_EQ(tray_scales(s, a).upload, 0.02);

    // A listed line speed: 13 pixels for speed / 8 * 1000 bytes/s.
    s.ConnectionType = 5;
    s.ConnectionSpeed = 104;
    s.ConnectionTypeUp = 3;
    s.ConnectionSpeedUp = 8;
    sc = tray_scales(s, a);
    EXPECT_DOUBLE_EQ(sc.download, 13.0 / 13000.0);
    EXPECT_DOUBLE_EQ(sc.upload, 13.0 / 1000.0);

    // Own scales win over the connection settings.
    s.SysUl = 1;
    s.SysUlSpeed = 16;
    EXPECT_DOUBLE_EQ(tray_scales(s, a).upload, 13.0 / 2000.0);

    // No traffic seen yet, or a fixed speed of 0: no bar instead of a division by zero.
    s = Settings{};
    AdapterState idle;
    EXPECT_EQ(tray_scales(s, idle).download, 0.0);
    s.ConnectionType = 19;
    s.ConnectionSpeed = 0;
    EXPECT_EQ(tray_scales(s, idle).download, 0.0);
}

TEST(TrayGraph, UploadBarOnTheRightAndAHugeRateStaysDrawable) {
    const auto held = with_rates(1e300, 5);
    ProgramState& st = *held;
    st.settings.SysDl = st.settings.SysUl = 1;
    RecordingCanvas c(16, 16);
    DrawTrayGraph(tray_picture(st), c);
    const std::vector<CanvasOp> b = bars(c);
    ASSERT_EQ(b.size(), 2u);
    EXPECT_LT(b[0].points[0].y, 0);
    EXPECT_EQ(b[1].colour, rgb(255, 255, 0));
    EXPECT_EQ(b[1].points, (std::vector<CanvasPoint>{{8, 9}, {12, 14}}));
}

int seven_per_char(const std::string& t) { return 7 * static_cast<int>(t.size()); }

TEST(TrayTooltip, LinesAreCentredOnEachOtherWithLeadingSpaces) {
    // Rates narrower than the title by 6 space widths: k = -3, five spaces before the rates.
    EXPECT_EQ(centred_tip("Kelvanto", "xx", seven_per_char), "Kelvanto\r\n     xx");
    // Equal widths (k = 0): one space; k = 1: none on either line.
    EXPECT_EQ(centred_tip("Kelvanto", "12345678", seven_per_char), "Kelvanto\r\n 12345678");
    EXPECT_EQ(centred_tip("Kelvanto", "1234567890", seven_per_char), "Kelvanto\r\n1234567890");
    // k = 2 and more: the title is indented by k spaces.
    EXPECT_EQ(centred_tip("Kelvanto", "123456789012", seven_per_char), "  Kelvanto\r\n123456789012");
}

TEST(TrayTooltip, RatesOfTheMonitoredAdapterOrTheProductName) {
    EnglishLocale locale;
    const auto held = with_rates(1536, 100);
    ProgramState& st = *held;
    st.settings.TransferUnit = 11;
    st.settings.TransferDec = 2;
    EXPECT_EQ(tray_rates_line(st, locale), "DL: 1.50KB/s  UL: 100B/s");
    // 24 characters against 8: k = 8, the title moves right.
    EXPECT_EQ(TrayTooltip(st, locale, 5, seven_per_char), "        Kelvanto\r\nDL: 1.50KB/s  UL: 100B/s");
    EXPECT_EQ(TrayTooltip(st, locale, 4, seven_per_char), "DL: 1.50KB/s  UL: 100B/s");
    st.settings.SysTrayToolTip = 0;
    EXPECT_EQ(TrayTooltip(st, locale, 5, seven_per_char), "Kelvanto");

    // Never longer than the tip holds.
    st.settings.SysTrayToolTip = 1;
    const TextWidth wide_spaces = [](const std::string& t) { return t == " " ? 1 : 7 * static_cast<int>(t.size()); };
    EXPECT_EQ(TrayTooltip(st, locale, 5, wide_spaces).size(), kTrayTipLength);

    // The cap line below: centred on the wider rates line, or the title and rates centred on
    // a wider cap line (30 characters against 24: three spaces more before both).
    EXPECT_EQ(TrayTooltip(st, locale, 5, seven_per_char, "1.00 GB of 50 GB, 2 %"),
              "        Kelvanto\r\nDL: 1.50KB/s  UL: 100B/s\r\n " "1.00 GB of 50 GB, 2 %");
    EXPECT_EQ(TrayTooltip(st, locale, 5, seven_per_char, "42.00 GB of 500 GB, 8 % ......"),
              "           Kelvanto\r\n   DL: 1.50KB/s  UL: 100B/s\r\n42.00 GB of 500 GB, 8 % ......");
}

TEST(TrayClick, WindowsAreBroughtForwardInTheirOrder) {
    OpenWindows o;
    EXPECT_EQ(window_to_bring_forward(o), ForwardWindow::main_window);
    o.history = o.update = true;
    EXPECT_EQ(window_to_bring_forward(o), ForwardWindow::history);
    // The options dialog's own windows count only while the dialog is open.
    o.rule_editor = true;
    EXPECT_EQ(window_to_bring_forward(o), ForwardWindow::history);
    o.options = true;
    EXPECT_EQ(window_to_bring_forward(o), ForwardWindow::rule_editor);
    o.colour_dialog = true;
    EXPECT_EQ(window_to_bring_forward(o), ForwardWindow::colour_dialog);
    o.about = true;
    EXPECT_EQ(window_to_bring_forward(o), ForwardWindow::about);
    o.msg_box = true;
    EXPECT_EQ(window_to_bring_forward(o), ForwardWindow::msg_box);

    EXPECT_EQ(restore_caption(true), "&Restore");
    EXPECT_EQ(restore_caption(false), "Hide");
}

}  // namespace
