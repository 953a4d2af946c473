#pragma once

#include <QByteArray>
#include <QtGlobal>

#include "support/temp_dir.h"

// Points the program's data folder and settings folder into `dir` ("data" and "config"), so a
// main window made by a test never meets the user's own files.
inline void use_temp_home(const TempDir& dir) {
    qputenv("KELVANTO_HOME", QByteArray::fromStdString(dir.str() + "/data"));
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir.str() + "/config"));
}
