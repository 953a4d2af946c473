// The Window and Graph pages on the real main window: translucency, the see-through
// background and the graph history act on the window at once, after Apply and after a
// restart.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QSlider>
#include <QTest>

#include "display/window_behaviour.h"
#include "support/options_driver.h"

namespace {

constexpr double kOpacityStep = 1.0 / 255.0;

TEST(WindowPage, TranslucencyActsAtOnceAndLastsWithTheSameAlpha) {
    ProgramRun run;
    ASSERT_TRUE(run.start());
    frmMain& main = run.main();
    frmOptions& dlg = run.options();
    auto* slider = show_page(dlg, "Window")->findChild<QSlider*>();
    ASSERT_NE(slider, nullptr);
    // Every supported system can do it: the label says nothing of Windows versions.
    EXPECT_FALSE(page_text(dlg, "Window").contains("Win2K"));
    EXPECT_NE(control<QSlider>(dlg, "Window", "Translucency "), nullptr);

    slider->setValue(30);
    const double alpha_30 = translucency_alpha(30) / 255.0;
    EXPECT_EQ(translucency_alpha(30), 178);
    EXPECT_NEAR(main.windowOpacity(), alpha_30, kOpacityStep / 4);
    // A translucent window has no see-through background besides, and the page says so.
    EXPECT_FALSE(control<QCheckBox>(dlg, "Window", "Transparent background")->isEnabled());
    EXPECT_FALSE(control<QCheckBox>(dlg, "Window", "Transparent background")->toolTip().isEmpty());
    EXPECT_TRUE(page_text(dlg, "Window").contains("Not with translucency: set the translucency to 0"));
    dlg.apply();
    EXPECT_NEAR(main.windowOpacity(), alpha_30, kOpacityStep / 4);
    EXPECT_EQ(run.stored("Transparency"), "30");
    dlg.ok();

    ASSERT_TRUE(run.restart());
    EXPECT_NEAR(run.main().windowOpacity(), alpha_30, kOpacityStep / 4);

    // Cancel brings the stored translucency back.
    frmOptions& again = run.options();
    show_page(again, "Window")->findChild<QSlider*>()->setValue(0);
    EXPECT_NEAR(run.main().windowOpacity(), 1.0, kOpacityStep / 4);
    again.cancel();
    EXPECT_NEAR(run.main().windowOpacity(), alpha_30, kOpacityStep / 4);
}

TEST(WindowPage, SeeThroughBackgroundActsAtOnceAndAfterApply) {
    ProgramRun run;
    ASSERT_TRUE(run.start());
    frmMain& main = run.main();
    frmOptions& dlg = run.options();
    auto* see_through = control<QCheckBox>(dlg, "Window", "Transparent background");
    ASSERT_NE(see_through, nullptr);
    EXPECT_TRUE(see_through->isEnabled());

    see_through->click();
    EXPECT_TRUE(main.testAttribute(Qt::WA_TranslucentBackground));
    // The window's background pixels let the desktop through; its texts do not.
    QImage shown(main.size(), QImage::Format_ARGB32_Premultiplied);
    shown.fill(Qt::transparent);
    main.render(&shown);
    EXPECT_EQ(qAlpha(shown.pixel(1, 1)), 0);
    dlg.apply();
    EXPECT_TRUE(main.testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_EQ(run.stored("TransBack"), "1");

    see_through->click();
    EXPECT_FALSE(main.testAttribute(Qt::WA_TranslucentBackground));
    dlg.cancel();
    EXPECT_TRUE(main.testAttribute(Qt::WA_TranslucentBackground));

    ASSERT_TRUE(run.restart());
    EXPECT_TRUE(run.main().testAttribute(Qt::WA_TranslucentBackground));
}

TEST(GraphPage, EmptyingMaxGraphHistoryKeepsTheWindowWidth) {
    ProgramRun run;
    ASSERT_TRUE(run.start());
    frmMain& main = run.main();
    const int width = main.width();
    frmOptions& dlg = run.options();
    auto* history = control<QLineEdit>(dlg, "Graph", "Max graph history:");
    ASSERT_NE(history, nullptr);
    ASSERT_EQ(history->text(), "1840");

    // While the box is empty (or holds a value out of range) the window keeps what it has.
    history->clear();
    QTest::qWait(1200);  // a cycle of the main timer
    EXPECT_EQ(main.width(), width);
    EXPECT_GT(main.maximumWidth(), width);
    EXPECT_EQ(main.state().settings.GraphBuffer, 1840);

    QTest::keyClicks(history, "300");
    EXPECT_EQ(main.state().settings.GraphBuffer, 300);
    EXPECT_EQ(main.maximumWidth(), 2 * 300 - 1);
    dlg.apply();
    EXPECT_EQ(run.stored("GraphBuffer"), "300");

    // Applied with an empty box, the box shows again what the window uses.
    history->clear();
    dlg.apply();
    EXPECT_EQ(history->text(), "300");
    EXPECT_EQ(run.stored("GraphBuffer"), "300");
    EXPECT_EQ(main.width(), width);
}

}  // namespace
