#pragma once

#include <array>
#include <set>
#include <string>
#include <vector>

#include "measure/adapter_state.h"

// Each interface's adapter number. An interface gets the lowest free number the first time it
// is seen holding an IPv4 address and keeps it for good: losing the address, moving in the
// interface table or other interfaces coming and going never moves it. Numbers run from 1
// to 15; the interface is known by its name.
struct AdapterNumbering {
    std::array<std::string, kMaxAdapters + 1> names{};  // names[n]: the interface numbered n, "" free
    bool unsaved = false;                 // differs from the numbering file
    std::set<std::string> refused;        // found every number taken during this run
    std::vector<std::string> untold;      // refused since the last notice, in order

    // The highest number given; 0 when none.
    int count() const;
    // The number of the interface called `name`; 0 when it has none.
    int number_of(const std::string& name) const;
    // Gives `name` the lowest free number and returns it. When all are taken it returns 0 and
    // the name is noted once in `refused` and `untold`.
    int give_number(const std::string& name);
};

// The numbering file's text: one adapter per line, its number, a blank and its interface name.
std::string numbering_text(const AdapterNumbering& numbering);
// Takes the numbers from a numbering file's text. Blank lines and lines starting with '#' are
// passed over; a line without a number from 1 to 15 and a name, or repeating a number or a
// name, is dropped. Returns false when a line was dropped.
bool read_numbering_text(const std::string& text, AdapterNumbering& numbering);

// "Stats/Adapters.txt" in the data folder.
std::string numbering_file_path(const std::string& data_dir);
// Loads the numbering file. What a missing or damaged file cannot tell is given anew from the
// interfaces found, and the file is written again at the next save.
void load_numbering(AdapterNumbering& numbering, const std::string& data_dir);
// Writes the numbering file when it differs from memory, whole and through a temporary file.
// A write that fails is tried again at the next save.
void save_numbering(AdapterNumbering& numbering, const std::string& data_dir);
