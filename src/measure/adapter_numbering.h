#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "measure/adapter_state.h"
#include "platform/interface_table.h"

// The longest interface name a number is given to and the numbering file holds, in bytes
// (Linux allows 15; Windows aliases run to 256 characters).
inline constexpr std::size_t kMaxInterfaceName = 255;
// A number whose interface has not been seen for this many days can be freed for another.
inline constexpr double kRetireAfterDays = 90.0;

// Adapter numbers 0..15 marked in use by a setting, an item or a rule.
using AdapterSet = std::bitset<kAdapterSlots>;

// A name that can stand on one line of the numbering file: not empty, at most
// kMaxInterfaceName bytes, no control characters.
bool fits_a_line(const std::string& name);

// Container and virtual bridges and the veth ends of containers (docker0, br-*, veth*,
// virbr*, vnet*, cni*, flannel*): a desktop user never wants them counted, and a machine
// running containers makes new ones every day. They get no number unless the user asks.
bool virtual_by_default(const std::string& name);

// Each interface's adapter number. An interface gets the lowest free number the first time it
// is seen carrying traffic or holding an IPv4 address and keeps it for good, whatever its
// addresses, its place in the interface table or other interfaces do. Numbers run from 1 to
// 15; the interface is known by its name, and followed by its kernel index through renames.
struct AdapterNumbering {
    std::array<std::string, kAdapterSlots> names{};  // names[n]: the interface numbered n, "" free
    std::array<double, kAdapterSlots> last_seen{};   // day names[n] was last present; 0 unknown
    bool unsaved = false;      // differs from the numbering file
    bool keep_file = false;    // the file could not be set aside: it is not written this run
    bool frozen = false;       // gives no numbers and follows no renames (a report reading them)
    bool count_virtual = false;  // virtual_by_default interfaces are numbered too
    double today = 0.0;        // the day of the current read; 0 before the first
    std::set<std::string> refused;      // found every number taken during this run
    std::vector<std::string> untold;    // refused since the last notice, in order
    std::vector<std::string> wanting;   // refused by the last read of the table
    std::vector<std::string> notices;   // what the user is to be told once
    // Index and name of every interface of the last read, by index: a rename is told by the
    // same index under a new name.
    std::vector<std::pair<std::uint32_t, std::string>> last_names;

    // The highest number given; 0 when none.
    int count() const;
    // The number of the interface called `name`; 0 when it has none.
    int number_of(const std::string& name) const;
    // Gives `name` the lowest free number and returns it. When all are taken it returns 0 and
    // the name is noted once in `refused` and `untold`, and in `wanting`.
    int give_number(const std::string& name);
    // Carries the numbers of renamed interfaces (same index as at the last read, another
    // name, the old name gone) to their new names, unless a new name holds a number of its
    // own; then remembers `rows` for the next read.
    void follow_renames(const std::vector<InterfaceRow>& rows);
    // The number that has gone unseen longest, at least kRetireAfterDays before `today`, and
    // is not in `in_use`; 0 when there is none.
    int retirable(const AdapterSet& in_use) const;
};

// The numbering file's text: one adapter per line, its number, a blank and its interface name.
std::string numbering_text(const AdapterNumbering& numbering);
// Takes the numbers from a numbering file's text. Blank lines and lines starting with '#' are
// passed over; a line without a number from 1 to 15 and a name, with a name or a line too
// long, or repeating a number or a name, is not used and described in `problems`. Returns
// false when a line was not used.
bool read_numbering_text(const std::string& text, AdapterNumbering& numbering, std::vector<std::string>& problems);

// "Stats/Adapters.txt" in the data folder.
std::string numbering_file_path(const std::string& data_dir);
// Loads the numbering file. A file that cannot be read whole is set aside as
// "Adapters.txt.damaged" (when `set_aside`) and the user is told once (`notices`); what it
// and a missing file cannot tell is taken from `known` (numbers and names from the last
// saved counter readings) and then given anew from the interfaces found. The file is then
// written again at the next save.
void load_numbering(AdapterNumbering& numbering, const std::string& data_dir,
                    const std::vector<std::pair<int, std::string>>& known = {}, bool set_aside = true);
// Writes the numbering file when it differs from memory, whole and through a temporary file.
// A write that fails is tried again at the next save.
void save_numbering(AdapterNumbering& numbering, const std::string& data_dir);
