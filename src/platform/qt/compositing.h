#pragma once

// Whether the desktop blends windows with what lies behind them, so that fully transparent
// pixels of a window show the desktop. On X11 that takes a compositing manager; without
// one they are black. Wayland compositors always blend; elsewhere the answer is yes.
bool desktop_composites();
