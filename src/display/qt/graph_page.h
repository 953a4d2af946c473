#pragma once

#include "settings/qt/options_page.h"

struct Settings;

// "Graph": line or bar graph, what "Average" and "Max" are taken over, the graph history
// kept, grid and average lines, and the soft line drawing.
class GraphPage : public OptionsPage {
    Q_OBJECT
public:
    GraphPage(Settings& settings, QWidget* parent = nullptr);
};
