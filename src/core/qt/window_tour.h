#pragma once

#include <functional>
#include <vector>

class frmMain;

// Opens and closes every secondary window of the main window once, as a user would: the
// options dialog with the item editor and the rule editor in it, the history window and the
// about box. Used to measure what the windows leave behind once closed.
std::vector<std::function<void()>> window_tour_steps(frmMain& main);

// Runs the steps one every `step_ms` milliseconds on the event loop.
void start_window_tour(frmMain& main, int step_ms);
