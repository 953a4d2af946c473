// Reading this machine's interface and address tables, as the monitor does every second:
// with the reader it keeps (counters alone while no link or address changed) and with a
// reader made for each reading (whole link and address dumps on new sockets).
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/linux/linux_interface_table.h"

namespace {

void read_both(LinuxInterfaceTable& table, benchmark::State& state) {
    std::vector<InterfaceRow> links;
    std::vector<AddressRow> addresses;
    if (table.read_interfaces(links) != TableStatus::ok || table.read_addresses(addresses) != TableStatus::ok)
        state.SkipWithError("the tables could not be read");
    benchmark::DoNotOptimize(links.data());
    benchmark::DoNotOptimize(addresses.data());
}

void BM_TablesKeptReader(benchmark::State& state) {
    LinuxInterfaceTable table;
    for (auto _ : state) read_both(table, state);
}
BENCHMARK(BM_TablesKeptReader);

void BM_TablesFreshReader(benchmark::State& state) {
    for (auto _ : state) {
        LinuxInterfaceTable table;
        read_both(table, state);
    }
}
BENCHMARK(BM_TablesFreshReader);

}  // namespace
