#pragma once

#include <string>
#include <vector>

#include "display/display_view.h"

// Most items a list can hold (the stored count is 8-bit).
inline constexpr int kMaxItems = 255;
inline constexpr const char* kListFullMessage = "The item list is full: it holds at most 255 items.";

// The texts of the item types, as the editor's type list shows them.
std::string item_type_name(int type);

// Forms the display list: a copy of the custom list when custom items are on, else the six
// standard items from the on/off settings.
void BuildDisplayList(DisplayView state);

// Copies the display list into the custom list and sets AdvItems to its count.
void StoreCustomList(DisplayView state);

// Seeds the custom list once from the standard settings (when FormItemsCreated is 0).
void seed_custom_items(DisplayView state);

// Switches custom items on (seeding the list the first time) or off, and rebuilds the
// display list. The custom list is kept when switching off.
void set_custom_items(DisplayView state, bool on);

// Sizes the window to the enabled items: outer height and the drag limits of the height.
struct WindowHeightFit {
    int outer_height = 0;
    int min_track_height = 0;
    int max_track_height = 0;
};
// Graph items take GraphHeight; `frame_allowance` is the outer height minus the client height
// while the title bar is shown (ignored when Border is off).
WindowHeightFit fit_window_height(std::vector<FormItem>& items, const Settings& settings, int frame_allowance);

// The state of the item panel's buttons for a list of `count` items and a 1-based selection.
struct ItemButtons {
    bool remove = false;
    bool copy = false;
    bool modify = false;
    bool up = false;
    bool down = false;
    friend bool operator==(const ItemButtons&, const ItemButtons&) = default;
};
ItemButtons item_buttons(int count, int selected);

// Edits of the display list through the item panel. `selected` is 1-based, 0 when none.
// Each returns false (and changes nothing) when it cannot apply.
bool copy_item(std::vector<FormItem>& items, int& selected);
bool remove_item(std::vector<FormItem>& items, int& selected);
bool move_item_up(std::vector<FormItem>& items, int& selected);
bool move_item_down(std::vector<FormItem>& items, int& selected);

// Appends a new enabled item named "Item #<count>" on the adapter the editor proposes
// (entry 2 with two or more adapters found, 1 with one, 0 with none) and selects it.
bool append_new_item(std::vector<FormItem>& items, int& selected, int found_adapters);
