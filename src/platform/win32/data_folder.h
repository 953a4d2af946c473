#pragma once

#include <string>

// The folder that holds "Stats" and "Preset.ini", ending in a backslash:
// - %KELVANTO_HOME% when it is set (test runs, or a folder the user chose);
// - else the program's own folder when the program may write there: a portable copy, for
//   one on a USB stick or unpacked anywhere in the user's files;
// - else %LOCALAPPDATA%\Kelvanto (an installed copy under "Program Files"), made when missing.
std::string windows_data_folder();

// Whether a file can be made in `folder` (UTF-8): it is made and removed at once.
bool folder_writable(const std::string& folder);
