#include "net/qt/update_page.h"

#include "core/option_pages.h"
#include "settings/settings.h"

UpdatePage::UpdatePage(Settings& s, QWidget* parent) : OptionsPage(parent) { add_declared(option_page_decl("Update"), s); }
