#pragma once

#include <QIcon>

// The program's own icon (two bars: download and upload) in every size it ships, compiled
// into the program. It is the window icon, and the tray icon when the live graph is off.
QIcon app_icon();
