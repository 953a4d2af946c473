#include "settings/qt/connection_page.h"

#include <QComboBox>
#include <algorithm>

#include "settings/connection_types.h"
#include "settings/settings.h"

namespace {

// The list position of a stored type, and the type at a list position (upstream lists start
// with "Same as downstream", type 0, and shift the downstream types by one).
int position_of(int type, bool up) {
    if (up && type == 0) return 0;
    const int down = up ? type - 1 : type;
    for (int i = 0; i < kConnectionTypes; ++i) {
        if (kConnectionOrder[static_cast<std::size_t>(i)] == down) return up ? i + 1 : i;
    }
    return 0;
}
std::uint8_t type_at(int position, bool up) {
    if (up && position == 0) return 0;
    const int down = kConnectionOrder[static_cast<std::size_t>(std::clamp(up ? position - 1 : position, 0, kConnectionTypes - 1))];
    return static_cast<std::uint8_t>(up ? down + 1 : down);
}

}  // namespace

ConnectionPage::ConnectionPage(Settings& settings, QWidget* parent) : OptionsPage(parent), s_(settings) {
    Settings& s = s_;
    QStringList down;
    for (const int type : kConnectionOrder) down << QString::fromLatin1(kConnectionLabels[static_cast<std::size_t>(type)]);
    QStringList up = down;
    up.prepend(QStringLiteral("Same as downstream"));
    add_choice(QStringLiteral("Downstream connection type"), down, [&s] { return position_of(s.ConnectionType, false); },
               [&s](int i) { s.ConnectionType = type_at(i, false); })
        ->setToolTip(QStringLiteral("The speed the graph's full height stands for; Auto follows the highest rate seen"));
    add_setting_number(QStringLiteral("Custom connection speed (kbps)"), "ConnectionCustom", &s.ConnectionCustom);
    add_choice(QStringLiteral("Upstream connection type"), up, [&s] { return position_of(s.ConnectionTypeUp, true); },
               [&s](int i) { s.ConnectionTypeUp = type_at(i, true); });
    add_setting_number(QStringLiteral("Custom connection speed (kbps) "), "ConnectionCustomUp", &s.ConnectionCustomUp);
}

void ConnectionPage::preview() {
    Settings& s = s_;
    // A listed type takes its speed; "Custom" takes the custom box, at least 1 kbps.
    s.ConnectionSpeed = s.ConnectionType == kCustomConnection
                            ? std::max(s.ConnectionCustom, 1)
                            : kConnectionKbps[std::min<std::size_t>(s.ConnectionType, kConnectionTypes - 1)];
    if (s.ConnectionTypeUp == kCustomConnectionUp) s.ConnectionSpeedUp = std::max(s.ConnectionCustomUp, 1);
    else if (s.ConnectionTypeUp == 0) s.ConnectionSpeedUp = s.ConnectionSpeed;
    else s.ConnectionSpeedUp = kConnectionKbps[std::min<std::size_t>(s.ConnectionTypeUp - 1u, kConnectionTypes - 1)];
}
