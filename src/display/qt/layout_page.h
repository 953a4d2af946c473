#pragma once

#include <vector>

#include "settings/qt/options_host.h"
#include "settings/qt/options_page.h"

class OptionsHost;
class QComboBox;

// "Layout": the standard items shown (the two rates, two period sections with their periods,
// the graph, the download/upload line), the window frame, the switch to custom items (then
// the Items page holds the list and the standard check boxes rest), and the middle column
// of the period sections. The window shows every change at once and fits its height.
class LayoutPage : public OptionsPage {
    Q_OBJECT
public:
    LayoutPage(OptionsHost& host, QWidget* parent = nullptr);
    // The item list is built again (seeded the first time custom items are switched on).
    void preview() override;
    // The period lists show the user-defined period's name.
    void other_page_changed() override;

private:

    OptionsHost& host_;
    OptionsView state_;
    std::vector<QComboBox*> period_lists_;
};
