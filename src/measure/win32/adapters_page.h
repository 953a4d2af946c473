#pragma once

#include <functional>
#include <memory>

#include "settings/win32/options_dialog.h"

struct ProgramState;
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

// The view of the "Adapters" page over the running program's `state`. A ticked or cleared
// adapter saves and reloads the logs; another monitored adapter gives the window its address
// text and items; then `redraw` shows the main window and the change is reported through
// `events`. The lists are read afresh when the page is shown and when adapters come, go or
// change status.
std::unique_ptr<OptionsPageView> create_adapters_page(ProgramState& state, Services& services,
                                                      std::function<void()> redraw, OptionsPageEvents events);
