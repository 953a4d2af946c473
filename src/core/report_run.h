#pragma once

#include <string>
#include <vector>

#include "platform/services.h"

// "kelvanto --report ...": prints a history tab from the logs in `data_dir` to standard
// output (the window's text or HTML export, or the JSON or CSV data), without a window,
// without taking a sample and without creating or writing anything. The settings it needs are
// read from services.settings_store. Returns the exit status: 0 done, 2 bad arguments (the
// usage line goes to standard error), 1 when the logs cannot be read or hold no such adapter
// (the reason goes to standard error).
int run_report(const std::vector<std::string>& args, Services& services, const std::string& data_dir);
