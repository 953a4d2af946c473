#pragma once

#include <functional>
#include <memory>
#include <string>

#include "measure/ip_statistics.h"
#include "settings/win32/options_dialog.h"

struct Services;

// The controls of the options dialog's "Adapters" page (GetDlgItem(dialog, id)): the heading
// and its note, the adapters summed as "Multiple adapters" (`lstAdapters`, a list view with a
// check box on each of the first six), "Monitored adapter:" (a drop-down list: "Multiple
// adapters", the adapters, then the numbers not seen yet), "Count container and virtual
// interfaces" with its note, and the lines of the interfaces not counted or retired.
enum AdaptersPageControl : int {
    kAdaptersHeading = kOptionsViewIdFirst + 0x200,
    kAdaptersNote,
    kAdaptersList,
    kAdaptersMonitoredCaption,
    kAdaptersMonitored,
    kAdaptersCountVirtual,
    kAdaptersVirtualNote,
    kAdaptersNotCounted,
};

// What the "Adapters" page works on in the running program: its settings, adapter numbers and
// data folder, and what follows a change: another monitored adapter gives the window its
// address text and items, another selection of summed adapters saves and reloads the logs,
// and `redraw` shows the main window.
struct AdaptersPageHost {
    Settings& settings;
    AdapterTables& tables;
    int& known_adapter_count;
    std::string data_dir;
    std::function<void()> monitored_changed;
    std::function<void()> summed_changed;
    std::function<void()> redraw;
};

// The view of the "Adapters" page; every change is reported through `events`. The lists are
// read afresh (through `services`) when the page is shown and when adapters come, go or
// change status.
std::unique_ptr<OptionsPageView> create_adapters_page(AdaptersPageHost host, Services& services, OptionsPageEvents events);
