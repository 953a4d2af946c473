#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "measure/adapter_numbering.h"
#include "measure/interface_readings.h"

// The last kernel readings, saved beside the logs at every log save and at shutdown in
// "Stats/Readings.txt", so that the next start in the same boot counts what the interfaces
// carried while the program did not run (or after it was killed), and so that the adapter
// numbering can be told from them when its own file is damaged:
//
//   boot <boot id> <network namespace>
//   <number> <index> <received> <sent> <last seen> <name>
//
// number 0 for an interface without one, index 0 for a numbered interface not followed now,
// last seen as YYYY-MM-DD ("-" when not known), the name last (it may hold blanks).
struct SavedReading {
    int number = 0;
    std::uint32_t index = 0;
    std::uint64_t received = 0;
    std::uint64_t sent = 0;
    double last_seen = 0.0;
    std::string name;
};
struct SavedReadings {
    std::string boot;
    std::vector<SavedReading> lines;
};

std::string readings_file_path(const std::string& data_dir);
std::string readings_text(const SavedReadings& readings);
// Reads at most the lines a file of readings can hold; lines that are no reading are passed over.
SavedReadings parse_readings(const std::string& text);

// The readings to save now: every numbered adapter, then the other interfaces followed now
// that may get a number, up to a bound.
SavedReadings readings_now(const AdapterNumbering& numbering, const InterfaceReadings& readings, const std::string& boot);
// Writes the readings file whole; false when it could not be written.
bool save_readings(const std::string& data_dir, const SavedReadings& readings);

// The readings file of the data folder (empty when there is none).
SavedReadings read_saved_readings(const std::string& data_dir);
// The numbers and names of the numbered adapters the readings name.
std::vector<std::pair<int, std::string>> saved_adapter_names(const SavedReadings& readings);

// At start: the numbering file (rebuilt with the help of the saved readings when damaged),
// then, when the saved readings are of this boot (`boot`, not empty), the previous run's
// last readings for the first read and the names by index for renames meanwhile. Days last
// seen come from the readings; a numbered adapter they do not know counts as seen `today`.
void load_adapter_numbering(AdapterNumbering& numbering, InterfaceReadings& readings, const std::string& data_dir,
                            const std::string& boot, double today);
