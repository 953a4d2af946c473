#include <gtest/gtest.h>

#include <QImage>
#include <functional>
#include <random>

#include "core/update_cycle.h"
#include "display/qt/main_window_drawing.h"
#include "history/log_store.h"
#include "core/counters.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace {

struct DrawingHooks : CycleHooks {
    std::function<void()> on_refresh;
    void refresh_screen() override {
        if (on_refresh) on_refresh();
    }
};

FormItem item(std::uint8_t type, std::uint8_t adapter, std::uint8_t period = 0) {
    FormItem i;
    i.Enabled = 1;
    i.Type = type;
    i.Adapter = adapter;
    i.Period = period;
    i.Name = "Office uplink";
    return i;
}

// The main window's drawing runs the update cycle of two adapters for a few hundred seconds of
// changing traffic, with settings, colours, scales and the size changed on the way. After
// every cycle its back buffer must equal a full redraw of the same state pixel for pixel, and
// every pixel that changed must lie in the region handed to the desktop.
class IncrementalFrames : public ::testing::Test {
protected:
    TempDir dir;
    FakeInterfaceTable table;
    FakeClock clock;
    RecordingDialogs dialogs;
    EnglishLocale locale;
    Services services{table, clock, dialogs, &locale};
    DrawingHooks hooks;
    ProgramState state;
    MainWindowDrawing drawing;    // draws what changed, as the window does
    MainWindowDrawing reference;  // draws everything every time
    std::uint64_t rx[3] = {0, 0, 0};
    std::uint64_t tx[3] = {0, 0, 0};
    std::mt19937 random{20260615};

    int frames = 0;
    int partial_frames = 0;
    int unchanged_frames = 0;
    std::string step = "start";

    void SetUp() override {
        state.data_dir = dir.str() + "/";
        prepare_directories(state);
        table.add_interface(1, "eth0");
        table.add_interface(2, "wlan0");
        table.add_address(1, 192, 168, 0, 2);
        state.stats.adapters.resize(2);
        state.settings.Adapter = 1;
        state.settings.LogAdapter[1] = 1;
        state.settings.LogAdapter[2] = 1;
        state.settings.SoftGraph = 1;
        state.settings.TransferDec = 1;
        state.settings.AverageMaxType = 0;  // peaks of the visible graph: scales change as they scroll out
        state.window.visible = true;
        state.display_list = {item(kItemDownloadRate, 1),        item(kItemUploadRate, 1),
                              item(kItemGraph, 1),               item(kItemTransferred, 0, 9),
                              item(kItemDownloadUploadRate, 2), item(kItemTextLabel, 0),
                              item(kItemGraph, 2),               item(kItemTransferred, 2, 0)};
        read_counters(state, services, hooks);
        take_start_counters(state);
        load_logs_at(state, clock.now());
        reference.set_incremental(false);
        resize(300, 600);
        hooks.on_refresh = [this] { compare_frame(); };
    }

    void resize(int w, int h) {
        state.window.client_width = w;
        state.window.client_height = h;
        drawing.resize(w, h);
        reference.resize(w, h);
    }

    void compare_frame() {
        const QImage before = drawing.Backbuffer().copy();
        ASSERT_TRUE(drawing.refresh(state, locale, clock.now(), true));
        ASSERT_TRUE(reference.refresh(state, locale, clock.now(), true));
        const QImage& now = drawing.Backbuffer();
        const QImage& full = reference.Backbuffer();
        ASSERT_EQ(now.size(), full.size());
        ++frames;
        const QRegion handed = drawing.changed_region();
        if (handed.isEmpty()) ++unchanged_frames;
        else if (handed != QRegion(now.rect())) ++partial_frames;
        for (int y = 0; y < now.height(); ++y) {
            const auto* a = reinterpret_cast<const QRgb*>(now.constScanLine(y));
            const auto* b = reinterpret_cast<const QRgb*>(full.constScanLine(y));
            const auto* was = before.size() == now.size() ? reinterpret_cast<const QRgb*>(before.constScanLine(y)) : nullptr;
            for (int x = 0; x < now.width(); ++x) {
                ASSERT_EQ(a[x], b[x]) << "frame " << frames << " (" << step << ") differs from a full redraw at "
                                      << x << "," << y;
                if (was != nullptr && was[x] != a[x]) {
                    ASSERT_TRUE(handed.contains(QPoint(x, y)))
                        << "frame " << frames << " (" << step << ") changed " << x << "," << y
                        << " outside the region handed to the desktop";
                }
            }
        }
    }

    // One second of traffic on both adapters, then the update cycle.
    void second(std::uint64_t down1, std::uint64_t up1, std::uint64_t down2, std::uint64_t up2) {
        rx[1] += down1;
        tx[1] += up1;
        rx[2] += down2;
        tx[2] += up2;
        table.set_counters(1, rx[1], tx[1]);
        table.set_counters(2, rx[2], tx[2]);
        clock.advance_seconds(1.0);
        update_cycle(state, services, hooks, false);
    }

    // Varied traffic: mostly chatter of a few hundred bytes, bursts up to megabytes, quiet
    // stretches and a steady stream.
    void seconds(int n) {
        std::uniform_int_distribution<int> kind(0, 9);
        std::uniform_int_distribution<std::uint64_t> small(0, 900);
        std::uniform_int_distribution<std::uint64_t> big(20000, 3000000);
        for (int i = 0; i < n && !HasFatalFailure(); ++i) {
            const int k = kind(random);
            if (k < 5) second(small(random), small(random) / 3, small(random), 0);
            else if (k < 7) second(big(random), small(random) * 20, 0, big(random) / 8);
            else if (k < 9) second(0, 0, 0, 0);
            else second(400000, 90000, 250000, 250000);
        }
    }

    // A settings change: the window recomputes and redraws without a new sample.
    void change(const char* what, const std::function<void()>& apply) {
        step = what;
        apply();
        update_cycle(state, services, hooks, true);
    }
};

TEST_F(IncrementalFrames, EveryFrameEqualsAFullRedrawAndReachesTheDesktop) {
    seconds(40);
    step = "no traffic";
    const int before_quiet = unchanged_frames;
    for (int i = 0; i < 170 && !HasFatalFailure(); ++i) second(0, 0, 0, 0);
    // Once the last traffic has scrolled out of the graphs, quiet seconds draw nothing.
    EXPECT_GE(unchanged_frames - before_quiet, 10);
    step = "traffic";
    seconds(30);
    change("fixed line speed: peaks above the graph's top", [&] {
        state.settings.ConnectionType = 19;
        state.settings.ConnectionSpeed = 800;
        state.settings.ConnectionTypeUp = 20;
        state.settings.ConnectionSpeedUp = 80;
    });
    seconds(30);
    change("automatic scale", [&] {
        state.settings.ConnectionType = 0;
        state.settings.ConnectionTypeUp = 1;
    });
    seconds(30);
    change("grid and averages under the curves", [&] {
        state.settings.vGrid = 1;
        state.settings.vGridInt = 7;
        state.settings.AverageShow = 1;
    });
    seconds(30);
    change("grid and averages over the curves", [&] {
        state.settings.vGridTop = 1;
        state.settings.AverageTop = 1;
        state.settings.AverageMaxType = 1;
    });
    seconds(30);
    change("bar graph", [&] { state.settings.GraphType = 1; });
    seconds(30);
    change("colours", [&] {
        state.settings.colours.GraphDown = 0x00A000;
        state.settings.colours.Background = 0x202020;
        state.settings.colours.Values = 0xFFFFFF;
    });
    seconds(20);
    step = "resize";
    resize(240, 520);
    update_cycle(state, services, hooks, true);
    seconds(20);
    change("line graph without shadows, other units", [&] {
        state.settings.GraphType = 0;
        state.settings.SoftGraph = 0;
        state.settings.TransferUnit = 1;
        state.settings.ShowInfo = 1;
    });
    seconds(30);
    change("averaging over 5 seconds", [&] { state.settings.BandwidthCalc = 5; });
    seconds(30);

    EXPECT_GE(frames, 400);
    // Most frames draw only what changed.
    EXPECT_GE(partial_frames + unchanged_frames, frames * 8 / 10);
}

}  // namespace
