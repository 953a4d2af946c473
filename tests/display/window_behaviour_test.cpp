#include <gtest/gtest.h>

#include <memory>

#include "core/program_state.h"
#include "display/cls_style.h"
#include "display/window_behaviour.h"

namespace {

TEST(HitTest, FrameLessZonesFollowTheEdgesAndCorners) {
    const int w = 199, h = 300;
    // 5 pixels from the right edge, 100 down: the right edge resizes.
    EXPECT_EQ(HitTest(w - 5, 100, w, h), HitZone::right);
    EXPECT_EQ(static_cast<int>(HitTest(w - 5, 100, w, h)), 11);
    // The middle has no zone: the press drags the window.
    EXPECT_EQ(HitTest(w / 2, h / 2, w, h), HitZone::none);
    EXPECT_EQ(HitTest(0, 0, w, h), HitZone::top_left);
    EXPECT_EQ(HitTest(w, 0, w, h), HitZone::top_right);
    EXPECT_EQ(HitTest(0, h, w, h), HitZone::bottom_left);
    EXPECT_EQ(HitTest(w - 1, h - 1, w, h), HitZone::bottom_right);
    EXPECT_EQ(HitTest(50, 3, w, h), HitZone::top);
    EXPECT_EQ(HitTest(50, h - 3, w, h), HitZone::bottom);
    EXPECT_EQ(HitTest(3, 50, w, h), HitZone::left);
    // The margin is inclusive on both sides: 8 is still a zone, 9 is not.
    EXPECT_EQ(HitTest(8, 50, w, h), HitZone::left);
    EXPECT_EQ(HitTest(9, 50, w, h), HitZone::none);
    EXPECT_EQ(HitTest(8, 8, w, h), HitZone::top_left);
}

TEST(HitTest, PointerShapesMatchTheZones) {
    EXPECT_EQ(pointer_for(HitZone::top_left), PointerShape::size_nwse);
    EXPECT_EQ(pointer_for(HitZone::bottom_right), PointerShape::size_nwse);
    EXPECT_EQ(pointer_for(HitZone::top_right), PointerShape::size_nesw);
    EXPECT_EQ(pointer_for(HitZone::bottom_left), PointerShape::size_nesw);
    EXPECT_EQ(pointer_for(HitZone::left), PointerShape::size_we);
    EXPECT_EQ(pointer_for(HitZone::bottom), PointerShape::size_ns);
    EXPECT_EQ(pointer_for(HitZone::none), PointerShape::standard);
}

TEST(SizeLimits, WidthNeverExceedsTheGraphHistory) {
    Settings s;
    WindowBehaviourState w;
    w.frame_width = 8;
    s.GraphBuffer = 1840;
    s.GraphType = 0;
    EXPECT_EQ(window_size_limits(s, w, true).max_width, 3679 + 8);
    EXPECT_EQ(window_size_limits(s, w, false).max_width, 3679);
    s.GraphType = 1;
    EXPECT_EQ(window_size_limits(s, w, true).max_width, 1839 + 8);
}

TEST(SizeLimits, HeightsAndLockedWidthOnlyWhenSet) {
    Settings s;
    WindowBehaviourState w;
    s.LockedWidth = 0;
    SizeLimits l = window_size_limits(s, w, true);
    EXPECT_FALSE(l.min_width.has_value());
    EXPECT_FALSE(l.min_height.has_value());
    EXPECT_FALSE(l.max_height.has_value());

    s.LockedWidth = 250;
    w.min_track_height = 60;
    w.max_track_height = 10000;
    l = window_size_limits(s, w, true);
    EXPECT_EQ(l.min_width, 250);
    EXPECT_EQ(l.min_height, 60);
    EXPECT_EQ(l.max_height, 10000);

    // A locked width beyond a short history cannot make the minimum exceed the maximum.
    s.GraphType = 1;
    s.GraphBuffer = 100;
    s.LockedWidth = 400;
    l = window_size_limits(s, w, false);
    EXPECT_EQ(l.max_width, 99);
    EXPECT_EQ(l.min_width, 99);
}

TEST(Translucency, AlphaAndTheExclusiveSeeThroughBackground) {
    EXPECT_EQ(translucency_alpha(50), 128);
    EXPECT_EQ(translucency_alpha(90), 26);
    EXPECT_EQ(translucency_alpha(0), 255);

    Settings s;
    s.Transparency = 50;
    s.TransBack = 1;
    TranslucencyPlan p = plan_translucency(s, 5);
    EXPECT_TRUE(p.layered);
    EXPECT_EQ(p.alpha, 128);
    EXPECT_FALSE(p.colour_key);
    EXPECT_TRUE(p.trans_back_reset);
    EXPECT_EQ(s.TransBack, 0);

    // Transparency 0 after a restart: no layered style unless the background is see-through.
    s.Transparency = 0;
    p = plan_translucency(s, 5);
    EXPECT_FALSE(p.layered);
    EXPECT_FALSE(p.alpha.has_value());
    s.TransBack = 1;
    p = plan_translucency(s, 5);
    EXPECT_TRUE(p.layered);
    EXPECT_TRUE(p.colour_key);
    EXPECT_FALSE(p.trans_back_reset);

    // Older systems get neither, and nothing is reset.
    s.Transparency = 40;
    p = plan_translucency(s, 4);
    EXPECT_FALSE(p.layered);
    EXPECT_EQ(s.TransBack, 1);
}

TEST(WindowKeys, LockWidthTogglesBetweenZeroAndTheCurrentWidth) {
    const auto st_held = std::make_unique<ProgramState>();
    ProgramState& st = *st_held;
    st.settings.LockedWidth = 0;
    KeyOutcome o = apply_window_key(st, {WindowKey::lock_width, 0}, 240);
    EXPECT_EQ(st.settings.LockedWidth, 240);
    EXPECT_TRUE(o.write_locked_width);
    EXPECT_FALSE(o.save_settings);
    apply_window_key(st, {WindowKey::lock_width, 0}, 300);
    EXPECT_EQ(st.settings.LockedWidth, 0);
}

TEST(WindowKeys, DigitsPickOnlyFoundAdaptersAndZeroPicksAll) {
    const auto st_held = std::make_unique<ProgramState>();
    ProgramState& st = *st_held;
    st.found_adapters = 3;
    st.settings.Adapter = 2;
    KeyOutcome o = apply_window_key(st, {WindowKey::digit, 3}, 199);
    EXPECT_EQ(st.settings.Adapter, 3);
    EXPECT_TRUE(o.save_settings && o.refresh_ip && o.run_cycle);
    // An adapter that was not found, or the one already shown, changes nothing.
    EXPECT_FALSE(apply_window_key(st, {WindowKey::digit, 4}, 199).handled());
    EXPECT_FALSE(apply_window_key(st, {WindowKey::digit, 3}, 199).handled());
    EXPECT_EQ(st.settings.Adapter, 3);
    o = apply_window_key(st, {WindowKey::digit, 0}, 199);
    EXPECT_EQ(st.settings.Adapter, 0);
    EXPECT_TRUE(o.run_cycle);
}

TEST(WindowKeys, KeypadChangesTheAveragingWithinOneToTen) {
    const auto st_held = std::make_unique<ProgramState>();
    ProgramState& st = *st_held;
    st.settings.BandwidthCalc = 9;
    EXPECT_TRUE(apply_window_key(st, {WindowKey::keypad_plus, 0}, 199).run_cycle);
    EXPECT_EQ(st.settings.BandwidthCalc, 10);
    EXPECT_FALSE(apply_window_key(st, {WindowKey::keypad_plus, 0}, 199).handled());
    EXPECT_EQ(st.settings.BandwidthCalc, 10);
    st.settings.BandwidthCalc = 1;
    EXPECT_FALSE(apply_window_key(st, {WindowKey::keypad_minus, 0}, 199).handled());
    EXPECT_EQ(st.settings.BandwidthCalc, 1);

    st.settings.SoftGraph = 1;
    apply_window_key(st, {WindowKey::soft_graph, 0}, 199);
    EXPECT_EQ(st.settings.SoftGraph, 0);
    EXPECT_TRUE(apply_window_key(st, {WindowKey::escape, 0}, 199).minimise);
}

TEST(WindowPosition, SavedUnlessMinimisedAndCentredOnFirstStart) {
    Settings s;
    EXPECT_FALSE(SaveWindowPosition(s, true, 10, 20, 300));
    EXPECT_EQ(s.WindowX, kWindowPositionUnset);
    EXPECT_TRUE(SaveWindowPosition(s, false, -15, 20, 300));
    EXPECT_EQ(s.WindowX, -15);
    EXPECT_EQ(s.WindowY, 20);
    EXPECT_EQ(s.WindowWidth, 300);

    EXPECT_EQ(initial_position(kWindowPositionUnset, 1024, 199), 412);
    EXPECT_EQ(initial_position(-15, 1024, 199), -15);
}

TEST(WindowPlace, SavedPlacesOnScreenAreKeptAndLostOnesComeBack) {
    const std::vector<ScreenArea> one{{0, 0, 1920, 1080}};
    const std::vector<ScreenArea> two{{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
    const auto at = [](const ScreenArea& a) { return std::pair{a.x, a.y}; };
    // Wholly on a screen, the first or the second: kept as saved.
    EXPECT_EQ(at(reachable_place(100, 200, 199, 600, one)), std::pair(100, 200));
    EXPECT_EQ(at(reachable_place(2500, 100, 199, 600, two)), std::pair(2500, 100));
    // Partly off an edge: moved in; saved on the second screen that has gone: onto the first.
    EXPECT_EQ(at(reachable_place(-150, 900, 199, 600, one)), std::pair(0, 480));
    EXPECT_EQ(at(reachable_place(2500, 100, 199, 600, one)), std::pair(1721, 100));
    // Across two screens: into the one that holds most of it.
    EXPECT_EQ(at(reachable_place(1850, 100, 199, 600, two)), std::pair(1920, 100));
    EXPECT_EQ(at(reachable_place(-5000, -5000, 199, 600, one)), std::pair(0, 0));
    // A window larger than the screen starts at its corner; no screens known: kept.
    EXPECT_EQ(at(reachable_place(-9000, 50, 2500, 600, one)), std::pair(0, 50));
    EXPECT_EQ(at(reachable_place(-9000, 50, 199, 600, {})), std::pair(-9000, 50));
}

// A window that keeps its style words and can refuse bits, as some platforms do.
class FakeStyleHost : public WindowStyleHost {
public:
    std::uint32_t style = kStyleCaption | kStyleThickFrame | kStyleSysMenu;
    std::uint32_t ex_style = 0;
    std::uint32_t refused = 0;
    int frame_redraws = 0;
    bool topmost = false;
    std::uint32_t read_style(bool extended) const override { return extended ? ex_style : style; }
    void write_style(bool extended, std::uint32_t value) override {
        (extended ? ex_style : style) = value & ~refused;
    }
    void frame_changed() override { ++frame_redraws; }
    void set_topmost(bool on) override { topmost = on; }
};

TEST(clsStyleTest, SetsBitsRedrawsTheFrameAndReportsRefusals) {
    FakeStyleHost host;
    clsStyle style;
    EXPECT_FALSE(style.set_Titlebar(true));  // no client bound yet
    style.set_client(&host);

    EXPECT_TRUE(style.set_Border(false));
    EXPECT_EQ(host.style, 0u);
    EXPECT_EQ(host.frame_redraws, 1);
    EXPECT_FALSE(style.Titlebar());
    EXPECT_TRUE(style.set_Border(true));
    EXPECT_TRUE(style.Titlebar() && style.Sizable() && style.ControlBox());

    EXPECT_TRUE(style.set_ToolWindow(true));
    EXPECT_EQ(host.ex_style, kExStyleToolWindow);
    EXPECT_TRUE(style.set_MinButton(true));
    EXPECT_TRUE(style.MinButton());
    EXPECT_FALSE(style.MaxButton());

    host.refused = kExStyleLayered;
    EXPECT_FALSE(style.set_Layered(true));
    EXPECT_FALSE(style.Layered());

    style.set_TopMost(true);
    EXPECT_TRUE(host.topmost);
}

}  // namespace
