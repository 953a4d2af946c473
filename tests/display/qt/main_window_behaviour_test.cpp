#include "display/qt/main_window_behaviour.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>

#include "core/program_state.h"

namespace {

// Records the moves and sizes handed to the window system instead of starting them.
class RecordingBehaviour : public MainWindowBehaviour {
public:
    using MainWindowBehaviour::MainWindowBehaviour;
    bool system_available = true;
    int moves = 0;
    std::vector<Qt::Edges> resizes;

protected:
    bool begin_system_move() override {
        ++moves;
        return system_available;
    }
    bool begin_system_resize(Qt::Edges edges) override {
        resizes.push_back(edges);
        return system_available;
    }
};

struct BehaviourFixture : ::testing::Test {
    QWidget window;
    ProgramState state;
    std::vector<std::string> written;
    int cycles = 0, saves = 0, minimised = 0, fits = 0;
    std::unique_ptr<RecordingBehaviour> behaviour;

    void SetUp() override {
        WindowCallbacks cb;
        cb.write_setting = [this](const char* name) { written.emplace_back(name); };
        cb.save_settings = [this] { ++saves; };
        cb.run_cycle = [this] { ++cycles; };
        cb.minimise = [this] { ++minimised; };
        cb.fit_window_height = [this] { ++fits; };
        behaviour = std::make_unique<RecordingBehaviour>(&window, state, state.window_behaviour, cb);
        window.resize(199, 300);
        window.show();
    }

    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent e(type, QPointF(at), window.mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
        QApplication::sendEvent(&window, &e);
    }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent e(QEvent::KeyPress, k, mods);
        QApplication::sendEvent(&window, &e);
    }
};

TEST_F(BehaviourFixture, WithoutFrameTheEdgeResizesAndTheMiddleMoves) {
    state.settings.Border = 0;
    behaviour->start();
    mouse(QEvent::MouseButtonPress, QPoint(window.width() - 5, 100), Qt::LeftButton, Qt::LeftButton);
    ASSERT_EQ(behaviour->resizes.size(), 1u);
    EXPECT_EQ(behaviour->resizes[0], Qt::Edges(Qt::RightEdge));
    EXPECT_EQ(behaviour->moves, 0);
    mouse(QEvent::MouseButtonRelease, QPoint(window.width() - 5, 100), Qt::LeftButton, Qt::NoButton);

    // A press in the middle moves once the mouse travels; a plain click does not.
    const QPoint start = window.pos();
    mouse(QEvent::MouseButtonPress, QPoint(100, 150), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(window.pos(), start);
    mouse(QEvent::MouseMove, QPoint(130, 150), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(window.pos(), start + QPoint(30, 0));
    EXPECT_EQ(behaviour->resizes.size(), 1u);
    mouse(QEvent::MouseButtonRelease, QPoint(130, 150), Qt::LeftButton, Qt::NoButton);

    // With the frame on, the edges belong to the frame: the content only moves.
    state.settings.Border = 1;
    mouse(QEvent::MouseButtonPress, QPoint(window.width() - 5, 100), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(behaviour->resizes.size(), 1u);
}

TEST_F(BehaviourFixture, WithoutWindowSystemSupportTheWindowFollowsTheMouse) {
    behaviour->system_available = false;
    state.settings.Border = 0;
    behaviour->start();
    window.move(100, 100);
    const QPoint start = window.pos();
    mouse(QEvent::MouseButtonPress, QPoint(100, 150), Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseMove, QPoint(130, 160), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(window.pos(), start + QPoint(30, 10));
    mouse(QEvent::MouseButtonRelease, QPoint(130, 160), Qt::LeftButton, Qt::NoButton);

    // Sizing by the right edge follows the mouse within the size limits.
    mouse(QEvent::MouseButtonPress, QPoint(window.width() - 2, 100), Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseMove, QPoint(window.width() + 48, 100), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(window.width(), 249);
}

TEST_F(BehaviourFixture, DoubleClickTogglesTheFrameAndWritesIt) {
    state.settings.Border = 1;
    behaviour->start();
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    mouse(QEvent::MouseButtonDblClick, QPoint(50, 50), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(state.settings.Border, 0);
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(behaviour->style().Titlebar());
    EXPECT_EQ(written, std::vector<std::string>{"Border"});
    EXPECT_EQ(fits, 1);
    mouse(QEvent::MouseButtonDblClick, QPoint(50, 50), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(state.settings.Border, 1);
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(behaviour->style().Titlebar() && behaviour->style().Sizable());
}

TEST_F(BehaviourFixture, SizeLimitsKeepTheWindowWithinTheHistory) {
    state.settings.Border = 0;
    state.settings.GraphBuffer = 1840;
    state.settings.GraphType = 0;
    state.settings.LockedWidth = 0;
    behaviour->apply_size_limits();
    EXPECT_EQ(window.maximumWidth(), 3679);
    window.resize(5000, 300);
    EXPECT_EQ(window.width(), 3679);
    window.resize(60, 300);
    EXPECT_EQ(window.width(), 60);
    state.settings.GraphType = 1;
    behaviour->apply_size_limits();
    EXPECT_EQ(window.width(), 60);
    EXPECT_EQ(window.maximumWidth(), 1839);
}

TEST_F(BehaviourFixture, LPressedTwiceLocksAndFreesTheWidth) {
    state.settings.Border = 0;
    state.settings.LockedWidth = 0;
    behaviour->start();
    window.resize(240, 300);
    const int outer = window.frameGeometry().width();
    key(Qt::Key_L);
    EXPECT_EQ(state.settings.LockedWidth, outer);
    EXPECT_EQ(window.minimumWidth(), outer);
    key(Qt::Key_L);
    EXPECT_EQ(state.settings.LockedWidth, 0);
    EXPECT_EQ(window.minimumWidth(), 0);
    EXPECT_EQ(written, (std::vector<std::string>{"LockedWidth", "LockedWidth"}));
}

TEST_F(BehaviourFixture, DigitAndKeypadKeys) {
    state.found_adapters = 3;
    state.settings.Adapter = 1;
    key(Qt::Key_2);
    EXPECT_EQ(state.settings.Adapter, 2);
    key(Qt::Key_3, Qt::KeypadModifier);
    EXPECT_EQ(state.settings.Adapter, 3);
    key(Qt::Key_7);
    EXPECT_EQ(state.settings.Adapter, 3);
    key(Qt::Key_0);
    EXPECT_EQ(state.settings.Adapter, 0);
    EXPECT_EQ(cycles, 3);
    EXPECT_EQ(saves, 3);

    state.settings.BandwidthCalc = 1;
    key(Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(state.settings.BandwidthCalc, 2);
    key(Qt::Key_Plus);  // the + of the main keyboard is not a shortcut
    EXPECT_EQ(state.settings.BandwidthCalc, 2);
    key(Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(state.settings.BandwidthCalc, 1);

    key(Qt::Key_Escape);
    EXPECT_EQ(minimised, 1);
}

TEST_F(BehaviourFixture, TranslucencyAndTheSeeThroughBackground) {
    behaviour->start();
    state.settings.Transparency = 50;
    state.settings.TransBack = 1;
    behaviour->apply_translucency(5);
    EXPECT_NEAR(window.windowOpacity(), 128 / 255.0, 0.002);
    EXPECT_EQ(state.settings.TransBack, 0);
    EXPECT_EQ(written, std::vector<std::string>{"TransBack"});
    EXPECT_TRUE(state.window_behaviour.layered);

    state.settings.Transparency = 0;
    behaviour->apply_translucency(5);
    EXPECT_DOUBLE_EQ(window.windowOpacity(), 1.0);
    EXPECT_FALSE(state.window_behaviour.layered);
    EXPECT_FALSE(behaviour->style().Layered());

    state.settings.TransBack = 1;
    behaviour->apply_translucency(5);
    EXPECT_TRUE(window.testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_TRUE(window.isVisible());
    state.settings.TransBack = 0;
    behaviour->apply_translucency(5);
    EXPECT_FALSE(window.testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_FALSE(state.window_behaviour.layered);
}

TEST(ColourKey, OnlyPixelsOfExactlyTheKeyBecomeTransparent) {
    QImage img(3, 1, QImage::Format_RGB32);
    img.setPixel(0, 0, qRgb(225, 225, 255));
    img.setPixel(1, 0, qRgb(225, 225, 254));
    img.setPixel(2, 0, qRgb(0, 0, 0));
    const QImage keyed = colour_keyed(img, rgb(225, 225, 255));
    EXPECT_EQ(qAlpha(keyed.pixel(0, 0)), 0);
    EXPECT_EQ(keyed.pixel(1, 0), qRgb(225, 225, 254));
    EXPECT_EQ(keyed.pixel(2, 0), qRgb(0, 0, 0));
}

TEST_F(BehaviourFixture, WindowPositionIsSavedOnlyWhileShown) {
    window.move(40, 50);
    behaviour->SaveWindowPosition();
    EXPECT_EQ(state.settings.WindowX, window.frameGeometry().x());
    EXPECT_EQ(state.settings.WindowWidth, window.frameGeometry().width());
    EXPECT_EQ(written, (std::vector<std::string>{"WindowX", "WindowY", "WindowWidth"}));
    window.hide();
    window.move(400, 500);
    behaviour->SaveWindowPosition();
    EXPECT_EQ(written.size(), 3u);
}

}  // namespace
