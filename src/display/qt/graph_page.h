#pragma once

#include "settings/qt/options_page.h"

class OptionsHost;

// "Graph": line or bar graph, what "Average" and "Max" are taken over, the graph history
// kept (which limits the window's width), grid and average lines, and the soft line drawing.
class GraphPage : public OptionsPage {
    Q_OBJECT
public:
    GraphPage(OptionsHost& host, QWidget* parent = nullptr);
    // The window's width limits follow the graph history.
    void preview() override;

private:
    OptionsHost& host_;
};
