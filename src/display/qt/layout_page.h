#pragma once

#include <vector>

#include "settings/qt/options_page.h"

class OptionsHost;
class QComboBox;
struct ProgramState;

// "Layout": the standard items shown (the two rates, two period sections with their periods,
// the graph, the download/upload line), the window frame, the switch to custom items, and
// the middle column of the period sections.
class LayoutPage : public OptionsPage {
    Q_OBJECT
public:
    LayoutPage(OptionsHost& host, QWidget* parent = nullptr);
    // The period lists show the user-defined period's name.
    void other_page_changed() override;

private:
    ProgramState& state_;
    std::vector<QComboBox*> period_lists_;
};
