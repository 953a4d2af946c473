#include "settings/qt/connection_page.h"

#include "core/option_pages.h"
#include "settings/settings.h"

ConnectionPage::ConnectionPage(Settings& settings, QWidget* parent) : OptionsPage(parent), s_(settings) {
    add_declared(option_page_decl("Connection"), s_);
}

void ConnectionPage::preview() { connection_speeds_from_types(s_); }
