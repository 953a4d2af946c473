#include "measure/qt/rates_page.h"

#include "core/option_pages.h"
#include "settings/settings.h"

RatesPage::RatesPage(Settings& s, QWidget* parent) : OptionsPage(parent) { add_declared(option_page_decl("Rates"), s); }
