#include "display/qt/graph_page.h"

#include "core/option_pages.h"
#include "settings/qt/options_host.h"

GraphPage::GraphPage(OptionsHost& host, QWidget* parent) : OptionsPage(parent), host_(host) {
    add_declared(option_page_decl("Graph"), host_.options_state().settings);
}

void GraphPage::preview() { host_.options_window_changed(); }
