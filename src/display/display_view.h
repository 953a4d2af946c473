#pragma once

#include <vector>

#include "history/history_view.h"

struct FormItem;
struct WindowInfo;

// What the tray icon's picture and tooltip read.
struct TrayQuery {
    const Settings& settings;
    const AdapterTable& adapters;
};

// What the main window's drawing and its item list change (the items, the settings that hold
// them, which graphs are drawn) and what they read: the live adapters, the window, the period
// totals and the cap of the history, the adapter count found.
struct DisplayView {
    Settings& settings;
    std::vector<FormItem>& display_list;
    AdapterTable& adapters;
    const WindowInfo& window;
    HistoryQuery history;
    const int& found_adapters;

    operator HistoryQuery() const { return history; }
    operator TrayQuery() const { return {settings, adapters}; }
};
