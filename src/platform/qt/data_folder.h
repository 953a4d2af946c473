#pragma once

#include <string>

// The data folder: $KELVANTO_HOME, else $XDG_DATA_HOME/kelvanto (~/.local/share/kelvanto),
// with a trailing '/'. data_folder() also creates it.
std::string data_folder_path();
std::string data_folder();
