#pragma once

#include <functional>
#include <memory>
#include <string>

#include "settings/settings.h"
#include "settings/win32/options_dialog.h"

// The controls of the options dialog's "Colors" page (GetDlgItem(dialog, id)): the preset
// list (`lstPresets`, a list box), "&New", "&Rename", "&Save", "D&elete", and the twelve
// colour swatches (`picColor`, in the order of kColourKeys) with their captions.
enum ColorsPageControl : int {
    kColorsPresets = kOptionsViewIdFirst + 0x100,
    kColorsNew,
    kColorsRename,
    kColorsSave,
    kColorsDelete,
    kColorsSwatchFirst,                        // twelve swatches
    kColorsCaptionFirst = kColorsSwatchFirst + 12,  // twelve captions
};

// The view of the "Colors" page over the in-memory `settings` and "Preset.ini" in `data_dir`.
// Choosing a preset or a colour applies it at once and calls `redraw` (the main window shows
// it); every change is reported through `events`. A deleted preset leaves the file with OK or
// Apply; OK also keeps the current preset's colours in the file.
std::unique_ptr<OptionsPageView> create_colors_page(Settings& settings, const std::string& data_dir,
                                                    std::function<void()> redraw, OptionsPageEvents events);
