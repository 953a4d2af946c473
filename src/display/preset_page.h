#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "settings/settings.h"

// The Colors page of the options dialog without its widgets: the preset list, the twelve
// colour swatches, the button states, and the colour being picked with its live preview.
// The tray colours are plain settings of the Systray page, not part of a preset.
struct PresetPage {
    std::string path;                 // "Preset.ini" in the data folder
    std::vector<std::string> names;   // "Default" first, then the file's sections in order
    int selected = 0;
    std::array<std::uint32_t, 12> swatches{};
    bool save_enabled = false;
    bool delete_enabled = false;
    bool rename_enabled = false;
    bool apply_enabled = false;

    // The swatch whose colour dialog is open (-1 none) and the colour it had when the dialog
    // opened.
    int picking = -1;
    std::uint32_t colour_before = 0;

    // Presets deleted from the list whose sections are still in the file: they go when the
    // dialog stores (OK, Apply), so Cancel keeps them.
    std::vector<std::string> deleted;

    const std::string& current() const { return names[static_cast<std::size_t>(selected)]; }
};

// What a change asks the windows to do.
struct PageEffect {
    bool redraw_main = false;  // colours changed: redraw the main window in full
};

// Fills the page from the settings and the preset file; the entry named by ColorPreset is
// selected ("Default" when the file has no such section).
PresetPage open_preset_page(const Settings& s, const std::string& data_dir);

// Makes entry `index` the current preset, shows its colours and applies them.
PageEffect select_preset(PresetPage& page, Settings& s, int index);

// The colour dialog of a swatch: opening, every previewed colour, cancel and OK.
void begin_pick(PresetPage& page, int swatch);
PageEffect ColorChange(PresetPage& page, Settings& s, std::int64_t colour);  // -1 is ignored
PageEffect pick_cancelled(PresetPage& page, Settings& s);
PageEffect pick_accepted(PresetPage& page, Settings& s, std::uint32_t colour);

// "Untitled", or "Untitled2", "Untitled3" ... when taken (letter case ignored).
std::string untitled_name(const std::vector<std::string>& names);

// The message for a name a new or renamed preset cannot have, or nothing when it is fine.
std::optional<std::string> preset_name_problem(const std::vector<std::string>& names, const std::string& name);

// "&New", "&Rename", "&Save", "D&elete". New and Rename return the message to show when the
// name is refused or the file cannot be written; the page is then unchanged.
std::optional<std::string> new_preset(PresetPage& page, Settings& s, const std::string& name);
std::optional<std::string> rename_preset(PresetPage& page, Settings& s, const std::string& name);
bool save_preset(PresetPage& page, const Settings& s);
// Takes the selected preset off the list and selects the one before it; the file keeps it
// until store_deletions().
PageEffect delete_preset(PresetPage& page, Settings& s);
// Removes the sections of the deleted presets from the file; false when it cannot be written
// (they are tried again at the next store).
bool store_deletions(PresetPage& page);

// The colour settings taken from the swatches.
void colours_from_swatches(const PresetPage& page, Settings& s);
