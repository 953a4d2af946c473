#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "settings/settings.h"

inline constexpr const char* kPresetFileName = "Preset.ini";
inline constexpr const char* kDefaultPreset = "Default";
inline constexpr int kColourRoles = 12;

// The twelve colour keys of a preset section, in the order they are written.
inline constexpr std::array<const char*, kColourRoles> kColourKeys{
    "Background", "Header",           "Description", "Values",         "Seperator", "GraphUp",
    "GraphAverageUp", "GraphDown", "GraphAverageDown", "GridLine", "DownloadUpload", "TextLabel"};

// The colour of role n (the order of kColourKeys).
std::uint32_t& colour_role(ColourScheme& colours, int n);
std::uint32_t colour_role(const ColourScheme& colours, int n);

// "Preset.ini" in the data folder (which ends in '/').
std::string preset_file_path(const std::string& data_dir);

// The preset names of the file in file order; none when the file is missing.
std::vector<std::string> preset_names(const std::string& path);
// The colours of a preset section; a missing or unreadable key reads as 0 (black).
ColourScheme read_preset(const std::string& path, const std::string& name);
// Writes the twelve colours into the preset's section and leaves the file tidy.
bool write_preset(const std::string& path, const std::string& name, const ColourScheme& colours);

// Makes the preset named by ColorPreset current: its colours when the file has a section of
// exactly that name, else the built-in colours and the name "Default". Then tidies the file.
void load_current_preset(Settings& settings, const std::string& data_dir);
