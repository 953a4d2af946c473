#pragma once

#include <string>
#include <vector>

#include "measure/ip_statistics.h"
#include "platform/services.h"

// The interface name of every logged adapter: element a for adapter a (0 .. the logged
// count, or the count numbered now when that is larger); empty for the aggregate 0 and for
// an adapter number no interface holds.
//
// An adapter keeps its number and its interface for good (AdapterNumbering), also while the
// interface is absent, so the names come from the numbering after one read of the table
// (which numbers interfaces seen with an address for the first time). Everything that labels
// traffic with an interface name asks here.
std::vector<std::string> adapter_interface_names(Services& services, AdapterTables& table_messages, int logged_adapters);
