#include "settings/qt/connection_page.h"

#include <algorithm>

#include "settings/connection_types.h"
#include "settings/settings.h"

ConnectionPage::ConnectionPage(Settings& settings, QWidget* parent) : OptionsPage(parent), s_(settings) {
    Settings& s = s_;
    QStringList down;
    for (const char* label : kConnectionLabels) down << QString::fromLatin1(label);
    QStringList up = down;
    up.prepend(QStringLiteral("Same as downstream"));
    add_choice(QStringLiteral("Downstream connection type"), down, [&s] { return int(s.ConnectionType); },
               [&s](int i) { s.ConnectionType = static_cast<std::uint8_t>(i); });
    add_number(QStringLiteral("Custom connection speed (kbps)"), &s.ConnectionCustom);
    add_choice(QStringLiteral("Upstream connection type"), up, [&s] { return int(s.ConnectionTypeUp); },
               [&s](int i) { s.ConnectionTypeUp = static_cast<std::uint8_t>(i); });
    add_number(QStringLiteral("Custom connection speed (kbps) "), &s.ConnectionCustomUp);
}

void ConnectionPage::preview() {
    Settings& s = s_;
    // A listed type takes its speed; "Custom" takes the custom box, at least 1 kbps.
    s.ConnectionSpeed = s.ConnectionType == kCustomConnection
                            ? std::max(s.ConnectionCustom, 1)
                            : kConnectionKbps[std::min<int>(s.ConnectionType, kCustomConnection)];
    if (s.ConnectionTypeUp == kCustomConnectionUp) s.ConnectionSpeedUp = std::max(s.ConnectionCustomUp, 1);
    else if (s.ConnectionTypeUp == 0) s.ConnectionSpeedUp = s.ConnectionSpeed;
    else s.ConnectionSpeedUp = kConnectionKbps[static_cast<std::size_t>(s.ConnectionTypeUp - 1)];
}
