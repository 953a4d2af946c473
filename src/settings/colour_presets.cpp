#include "settings/colour_presets.h"

#include <algorithm>

#include "settings/ini_file.h"
#include "settings/number_text.h"

namespace {

constexpr std::int32_t kLargestColour = 0xFFFFFF;

std::array<std::uint32_t ColourScheme::*, kColourRoles> role_members() {
    return {&ColourScheme::Background,     &ColourScheme::Header,    &ColourScheme::Description,
            &ColourScheme::Values,         &ColourScheme::Seperator, &ColourScheme::GraphUp,
            &ColourScheme::GraphAverageUp, &ColourScheme::GraphDown, &ColourScheme::GraphAverageDown,
            &ColourScheme::GridLine,       &ColourScheme::DownloadUpload, &ColourScheme::TextLabel};
}

}  // namespace

std::uint32_t& colour_role(ColourScheme& colours, int n) { return colours.*role_members()[static_cast<std::size_t>(n)]; }

std::uint32_t colour_role(const ColourScheme& colours, int n) {
    return colours.*role_members()[static_cast<std::size_t>(n)];
}

std::string preset_file_path(const std::string& data_dir) { return data_dir + kPresetFileName; }

std::vector<std::string> preset_names(const std::string& path) {
    const auto file = load_ini_file(path);
    return file ? section_names(*file) : std::vector<std::string>{};
}

ColourScheme read_preset(const std::string& path, const std::string& name) {
    ColourScheme colours;
    const IniFile file = load_ini_file(path).value_or(IniFile{});
    for (int n = 0; n < kColourRoles; ++n) {
        const auto text = read_key(file, name, kColourKeys[static_cast<std::size_t>(n)]);
        const auto value = parse_int32(text.value_or("0"));
        colour_role(colours, n) =
            value && *value >= 0 && *value <= kLargestColour ? static_cast<std::uint32_t>(*value) : 0u;
    }
    return colours;
}

bool write_preset(const std::string& path, const std::string& name, const ColourScheme& colours) {
    IniFile file = load_ini_file(path).value_or(IniFile{});
    for (int n = 0; n < kColourRoles; ++n)
        write_key(file, name, kColourKeys[static_cast<std::size_t>(n)], std::to_string(colour_role(colours, n)));
    return save_ini_file(path, file);
}

void load_current_preset(Settings& settings, const std::string& data_dir) {
    // Without a data folder there is no preset file to look at.
    const std::string path = data_dir.empty() ? std::string() : preset_file_path(data_dir);
    if (settings.ColorPreset.empty()) settings.ColorPreset = kDefaultPreset;
    const std::vector<std::string> names = path.empty() ? std::vector<std::string>{} : preset_names(path);
    if (std::find(names.begin(), names.end(), settings.ColorPreset) != names.end()) {
        settings.colours = read_preset(path, settings.ColorPreset);
    } else {
        settings.colours = ColourScheme{};
        settings.ColorPreset = kDefaultPreset;
    }
    if (!path.empty()) tidy_ini_file(path);
}
