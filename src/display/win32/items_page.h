#pragma once

#include <functional>
#include <memory>

#include "display/display_view.h"
#include "settings/win32/options_dialog.h"

struct AdapterTables;
struct Services;

// The controls of the options dialog's "Items" page (GetDlgItem(dialog, id)): the custom
// items (`lstItems`, a list view with a check box per item: ticked, the item is shown), the
// buttons "&New", "&Modify", "&Copy", "&Remove", up and down, and the note shown while custom
// items are off.
enum ItemsPageControl : int {
    kItemsList = kOptionsViewIdFirst + 0x40,
    kItemsNew,
    kItemsModify,
    kItemsCopy,
    kItemsRemove,
    kItemsUp,
    kItemsDown,
    kItemsSwitchNote,
};

// The view of the "Items" page over the display list of `state`, copied into the custom list
// at every edit. `redraw` shows the main window with the items as they are now (and fits its
// height); every change is reported through `events`.
std::unique_ptr<OptionsPageView> create_items_page(DisplayView state, Services& services, AdapterTables& tables,
                                                   std::function<void()> redraw, OptionsPageEvents events);
