#include "measure/adapter_names.h"

#include <algorithm>

#include "measure/ip_statistics.h"

std::vector<std::string> adapter_interface_names(Services& services, AdapterTables& table_messages, int logged_adapters) {
    clsIPStatistics stats(services.tables, services.dialogs, table_messages);
    const std::vector<std::string> found = adapter_descriptions(stats);
    const std::size_t count = std::max(static_cast<std::size_t>(logged_adapters), found.size());
    std::vector<std::string> names(count + 1);
    std::copy(found.begin(), found.end(), names.begin() + 1);
    return names;
}
