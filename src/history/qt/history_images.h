#pragma once

#include <QIcon>

// The history window's small images (frmHistory::kImageAdapter .. kImageDescending), 16 by 16.
QIcon draw_history_image(int kind);
