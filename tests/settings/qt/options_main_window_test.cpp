#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>

#include "core/qt/frm_main.h"
#include "display/qt/item_panel.h"
#include "settings/qt/frm_options.h"
#include "support/temp_dir.h"

namespace {

QRadioButton* radio(frmOptions& dlg, const QString& page, const QString& caption) {
    dlg.show_page(page);
    for (QRadioButton* b : dlg.findChild<QStackedWidget*>()->currentWidget()->findChildren<QRadioButton*>())
        if (b->text() == caption) return b;
    return nullptr;
}

// The whole round trip with the real settings file: a change shows at once in the main
// window, Apply stores it and stays open, Cancel brings back what was stored.
TEST(OptionsOnMainWindow, ApplyStoresCancelRestoresTheStoredGraphType) {
    TempDir dir;
    qputenv("KELVANTO_HOME", (dir.str() + "/data").c_str());
    qputenv("XDG_CONFIG_HOME", (dir.str() + "/config").c_str());
    frmMain main(StartOptions{});
    ASSERT_TRUE(main.Form_Load());
    ASSERT_EQ(main.state().settings.GraphType, 0);

    main.open_options();
    frmOptions* dlg = main.options_window();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(dlg->isVisible());
    main.open_options();  // a second open brings the same dialog forward
    EXPECT_EQ(main.options_window(), dlg);

    // The Items page hosts the item panel with the display list.
    auto* panel = dlg->findChild<ItemPanel*>();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(static_cast<std::size_t>(panel->list()->count()), main.state().display_list.size());

    radio(*dlg, "Graph", "Bar graph")->click();
    EXPECT_EQ(main.state().settings.GraphType, 1);
    dlg->apply();
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_FALSE(dlg->apply_button()->isEnabled());

    radio(*dlg, "Graph", "Line graph")->click();
    EXPECT_EQ(main.state().settings.GraphType, 0);
    dlg->cancel();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(main.state().settings.GraphType, 1);  // as stored by Apply
    main.UnloadKVT();
}

}  // namespace
