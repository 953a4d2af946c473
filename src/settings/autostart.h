#pragma once

#include <string>

// The autostart entry: an XDG desktop file in "<config folder>/autostart/" that starts the
// program at login, with " /minimized" when wanted.

// "<config_dir>/autostart/kelvanto.desktop"; config_dir is $XDG_CONFIG_HOME or ~/.config.
std::string autostart_file_path(const std::string& config_dir);
// The Exec= value: the program path (quoted where the desktop-entry rules require it) and,
// when `minimized`, " /minimized".
std::string autostart_command(const std::string& program_path, bool minimized);
// The value of the Windows Run key's "Kelvanto" entry: the program path in quotes and, when
// `minimized`, " /minimized".
std::string run_key_command(const std::string& program_path, bool minimized);
// The whole desktop file for that command.
std::string autostart_entry_text(const std::string& command);
// Creates the folder when needed and writes the entry; false on failure.
bool write_autostart_entry(const std::string& config_dir, const std::string& command);
// Removes the entry; true when it is gone afterwards.
bool remove_autostart_entry(const std::string& config_dir);

// The file a build writes beside the program it builds. An installed copy never has it, so a
// program whose folder holds it runs from a build folder. The marker travels with a moved
// clone, unlike a folder name compiled into the program.
inline constexpr const char* kBuildFolderMarker = "kelvanto.build-folder";
bool runs_from_build_folder(const std::string& program_path);
