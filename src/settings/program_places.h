#pragma once

#include <cstdint>
#include <string>

// Where the program keeps its files and where it runs from, and the autostart choice as last
// loaded or saved.
struct ProgramPlaces {
    std::string data_dir;      // folder holding "Stats/" and "Preset.ini", ends in '/'
    std::string config_dir;    // folder holding "autostart/"; empty: no autostart entry
    std::string program_path;  // the program file the autostart entry starts
    bool program_in_build_folder = false;  // started from a build folder, not an installed copy
    // Autostart and AutoStartMinimized as last loaded or saved: a program in a build folder
    // changes the autostart entry only when the user changes one of them.
    std::uint8_t autostart_as_stored = 0;
    std::uint8_t autostart_minimized_as_stored = 0;
};
