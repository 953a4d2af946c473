#include "display/preset_page.h"

#include <algorithm>
#include <cctype>

#include "settings/colour_presets.h"
#include "settings/ini_file.h"

namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

bool name_taken(const std::vector<std::string>& names, const std::string& name) {
    const std::string wanted = lower(name);
    return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return lower(n) == wanted; });
}

void show_scheme(PresetPage& page, const ColourScheme& colours) {
    for (int n = 0; n < kColourRoles; ++n) page.swatches[static_cast<std::size_t>(n)] = colour_role(colours, n);
}

// The buttons of the selected entry: the built-in preset can be neither saved, deleted nor
// renamed; a stored one can be deleted and renamed, and saved once a colour changed.
void set_buttons(PresetPage& page) {
    const bool stored = page.selected != 0;
    page.save_enabled = false;
    page.delete_enabled = stored;
    page.rename_enabled = stored;
}

bool remove_section(const std::string& path, const std::string& name) {
    std::optional<IniFile> file = load_ini_file(path);
    if (!file) return false;
    if (!delete_section(*file, name)) return true;
    return save_ini_file(path, *file);
}

// A preset written under the name of one deleted meanwhile is a new one: that name's section
// stays in the file.
void keep_written(PresetPage& page, const std::string& name) {
    std::erase_if(page.deleted, [&](const std::string& d) { return lower(d) == lower(name); });
}

std::string write_failed() { return "Could not write \"" + std::string(kPresetFileName) + "\""; }

}  // namespace

void colours_from_swatches(const PresetPage& page, Settings& s) {
    for (int n = 0; n < kColourRoles; ++n) colour_role(s.colours, n) = page.swatches[static_cast<std::size_t>(n)];
}

PresetPage open_preset_page(const Settings& s, const std::string& data_dir) {
    PresetPage page;
    page.path = preset_file_path(data_dir);
    page.names.push_back(kDefaultPreset);
    for (const std::string& n : preset_names(page.path)) page.names.push_back(n);
    const auto it = std::find(page.names.begin(), page.names.end(), s.ColorPreset);
    page.selected = it == page.names.end() ? 0 : static_cast<int>(it - page.names.begin());
    show_scheme(page, s.colours);
    set_buttons(page);
    return page;
}

PageEffect select_preset(PresetPage& page, Settings& s, int index) {
    if (index < 0 || index >= static_cast<int>(page.names.size())) return {};
    page.selected = index;
    s.ColorPreset = page.current();
    show_scheme(page, index == 0 ? ColourScheme{} : read_preset(page.path, page.current()));
    set_buttons(page);
    colours_from_swatches(page, s);
    return {true};
}

void begin_pick(PresetPage& page, int swatch) {
    if (swatch < 0 || swatch >= kColourRoles) return;
    page.picking = swatch;
    page.colour_before = page.swatches[static_cast<std::size_t>(swatch)];
}

namespace {

std::uint32_t& picked_swatch(PresetPage& page) { return page.swatches[static_cast<std::size_t>(page.picking)]; }

}  // namespace

PageEffect ColorChange(PresetPage& page, Settings& s, std::int64_t colour) {
    if (colour < 0 || colour > 0xFFFFFF || page.picking < 0) return {};
    std::uint32_t& swatch = picked_swatch(page);
    if (swatch == static_cast<std::uint32_t>(colour)) return {};
    swatch = static_cast<std::uint32_t>(colour);
    colours_from_swatches(page, s);
    return {true};
}

PageEffect pick_cancelled(PresetPage& page, Settings& s) {
    if (page.picking < 0) return {};
    PageEffect effect;
    std::uint32_t& swatch = picked_swatch(page);
    if (swatch != page.colour_before) {
        swatch = page.colour_before;
        colours_from_swatches(page, s);
        effect.redraw_main = true;
    }
    page.picking = -1;
    return effect;
}

PageEffect pick_accepted(PresetPage& page, Settings& s, std::uint32_t colour) {
    if (page.picking < 0) return {};
    if (page.selected == 0) {
        // Changing the built-in preset makes a new one from the colours shown now.
        const std::string name = untitled_name(page.names);
        if (write_preset(page.path, name, s.colours)) {
            keep_written(page, name);
            page.names.push_back(name);
            select_preset(page, s, static_cast<int>(page.names.size()) - 1);
        }
    }
    picked_swatch(page) = colour;
    colours_from_swatches(page, s);
    page.save_enabled = page.selected != 0;
    page.apply_enabled = true;
    page.picking = -1;
    return {true};
}

std::string untitled_name(const std::vector<std::string>& names) {
    std::string name = "Untitled";
    for (int n = 2; name_taken(names, name); ++n) name = "Untitled" + std::to_string(n);
    return name;
}

std::optional<std::string> preset_name_problem(const std::vector<std::string>& names, const std::string& name) {
    if (name.empty()) return "You must enter a name";
    // A bracket or a line break would end the section line and lose the preset.
    if (name.front() == ' ' || name.back() == ' ' || name.find_first_of("[]\r\n") != std::string::npos)
        return "Illegal preset name";
    if (name_taken(names, name)) return "'" + name + "' already exists";
    return std::nullopt;
}

std::optional<std::string> new_preset(PresetPage& page, Settings& s, const std::string& name) {
    if (auto problem = preset_name_problem(page.names, name)) return problem;
    if (!write_preset(page.path, name, s.colours)) return write_failed();
    keep_written(page, name);
    page.names.push_back(name);
    select_preset(page, s, static_cast<int>(page.names.size()) - 1);
    return std::nullopt;
}

std::optional<std::string> rename_preset(PresetPage& page, Settings& s, const std::string& name) {
    if (page.selected == 0) return std::nullopt;
    if (auto problem = preset_name_problem(page.names, name)) return problem;
    if (!write_preset(page.path, name, s.colours)) return write_failed();
    keep_written(page, name);
    remove_section(page.path, page.current());
    page.names.erase(page.names.begin() + page.selected);
    page.names.push_back(name);
    select_preset(page, s, static_cast<int>(page.names.size()) - 1);
    return std::nullopt;
}

bool save_preset(PresetPage& page, const Settings& s) {
    if (page.selected == 0) return false;
    if (!write_preset(page.path, page.current(), s.colours)) return false;
    page.save_enabled = false;
    return true;
}

PageEffect delete_preset(PresetPage& page, Settings& s) {
    if (page.selected == 0) return {};
    const int index = page.selected;
    page.deleted.push_back(page.current());
    page.names.erase(page.names.begin() + index);
    return select_preset(page, s, index - 1);
}

bool store_deletions(PresetPage& page) {
    while (!page.deleted.empty()) {
        if (!remove_section(page.path, page.deleted.back())) return false;
        page.deleted.pop_back();
    }
    return true;
}
