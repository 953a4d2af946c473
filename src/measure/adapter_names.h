#pragma once

#include <string>
#include <vector>

#include "core/program_state.h"
#include "core/services.h"

// The interface name of every logged adapter: element a for adapter a (0 .. the logged
// count, or the count found now when that is larger); empty for the aggregate 0 and for an
// adapter whose interface is not known.
//
// Adapter numbers follow the interface table as it reads now (adapter a is the a-th
// interface holding an IPv4 address), so this reads the table once and takes the names of
// its adapters. Everything that labels traffic with an interface name asks here.
std::vector<std::string> adapter_interface_names(ProgramState& state, Services& services);
