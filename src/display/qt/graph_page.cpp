#include "display/qt/graph_page.h"

#include <QCheckBox>
#include <QLineEdit>

#include "settings/qt/options_host.h"

GraphPage::GraphPage(OptionsHost& host, QWidget* parent) : OptionsPage(parent), host_(host) {
    Settings& s = host_.options_state().settings;
    add_radios(QStringLiteral("Graph type:"), {QStringLiteral("Line graph"), QStringLiteral("Bar graph")},
               [&s] { return int(s.GraphType); }, [&s](int i) { s.GraphType = static_cast<std::uint8_t>(i); });
    add_radios(QStringLiteral("Average and max:"), {QStringLiteral("Visible graph"), QStringLiteral("Full session")},
               [&s] { return int(s.AverageMaxType); }, [&s](int i) { s.AverageMaxType = static_cast<std::uint8_t>(i); });
    add_setting_number(QStringLiteral("Max graph history:"), "GraphBuffer", &s.GraphBuffer, 0,
                       QStringLiteral("seconds (200 to 1840)"))
        ->setToolTip(QStringLiteral("How many seconds of traffic the graph keeps; the window is never wider than them"));
    add_heading(QStringLiteral("Lines "));
    add_check(QStringLiteral("Vertical grid lines"), &s.vGrid);
    add_setting_number(QStringLiteral("Grid interval (seconds):"), "vGridInt", &s.vGridInt);
    add_check(QStringLiteral("Grid lines on top"), &s.vGridTop);
    add_check(QStringLiteral("Average lines"), &s.AverageShow);
    add_check(QStringLiteral("Average lines on top"), &s.AverageTop);
    add_check(QStringLiteral("Soft graph lines"), &s.SoftGraph)->setToolTip(QStringLiteral("Improves the look of the graph lines"));
}

void GraphPage::preview() { host_.options_window_changed(); }
