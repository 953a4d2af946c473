#include "net/qt/update_page.h"

#include "settings/settings.h"

UpdatePage::UpdatePage(Settings& s, QWidget* parent) : OptionsPage(parent) {
    add_check(QStringLiteral("Check for updates at start"), &s.CheckForUpdate);
}
