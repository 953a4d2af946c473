#pragma once

// What the core needs to know about the main window, told by the front-end before each
// cycle: whether the graph is on screen and how wide it is drawn.
struct WindowInfo {
    bool visible = false;
    bool minimized = false;
    int client_width = 199;
    int client_height = 0;
};
