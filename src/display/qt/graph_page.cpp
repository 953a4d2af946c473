#include "display/qt/graph_page.h"

#include <QCheckBox>

#include "settings/settings.h"

GraphPage::GraphPage(Settings& s, QWidget* parent) : OptionsPage(parent) {
    add_radios(QStringLiteral("Graph type:"), {QStringLiteral("Line graph"), QStringLiteral("Bar graph")},
               [&s] { return int(s.GraphType); }, [&s](int i) { s.GraphType = static_cast<std::uint8_t>(i); });
    add_radios(QStringLiteral("Average and max:"), {QStringLiteral("Visible graph"), QStringLiteral("Full session")},
               [&s] { return int(s.AverageMaxType); }, [&s](int i) { s.AverageMaxType = static_cast<std::uint8_t>(i); });
    add_number(QStringLiteral("Max graph history:"), &s.GraphBuffer);
    add_heading(QStringLiteral("Lines "));
    add_check(QStringLiteral("Vertical grid lines"), &s.vGrid);
    add_number(QStringLiteral("Grid interval (seconds):"), &s.vGridInt);
    add_check(QStringLiteral("Grid lines on top"), &s.vGridTop);
    add_check(QStringLiteral("Average lines"), &s.AverageShow);
    add_check(QStringLiteral("Average lines on top"), &s.AverageTop);
    add_check(QStringLiteral("Soft graph lines"), &s.SoftGraph)->setToolTip(QStringLiteral("Improves the look of the graph lines"));
}
