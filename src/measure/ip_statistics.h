#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "measure/adapter_numbering.h"
#include "platform/dialogs.h"
#include "platform/interface_table.h"

// What the statistics objects keep between reads of the tables: each interface's adapter
// number, and which table messages were already shown, so that a table that stays
// unreadable is reported once rather than every second.
struct AdapterTables {
    AdapterNumbering numbering;
    bool not_supported_shown = false;
    bool address_error_shown = false;
};

// The address-table object: groups the IPv4 address rows by interface. Group g (from 0) is
// represented by the first row of its interface in address order, so its address is the
// interface's smallest address.
class clsAdaptors {
public:
    clsAdaptors(InterfaceTableReader& reader, Dialogs& dialogs, AdapterTables& tables);

    // Re-reads the address table and returns the number of groups (0 when empty or unreadable).
    int Count_adaptors();
    std::string Adaptor_IP(int g);
    std::uint32_t T_index(int g);
    // The group of interface `if_index`; -1 when it holds no address.
    int group_of(std::uint32_t if_index) const;

private:
    bool check_group(int g);

    InterfaceTableReader& reader_;
    Dialogs& dialogs_;
    AdapterTables& tables_;
    std::vector<AddressRow> groups_;
};

// One numbered adapter slot, rebuilt at every read. An adapter whose interface is absent has
// no connection: zero counters, empty address and status. The address is the interface's
// smallest IPv4 address; an interface without one counts all the same.
struct InterfaceEntry {
    std::int32_t received = 0;
    std::int32_t sent = 0;
    std::string address;
    std::string status;
    std::string description;  // the interface's name, also while it is absent
    std::uint32_t index = 0;  // its kernel index while present
    bool present = false;     // the interface is in the interface table
};

// The statistics object: reads both tables on creation. Adapters 1..N are the numbered
// interfaces (AdapterTables); an interface seen for the first time holding an IPv4 address
// or carrying traffic gets the next free number here, whoever reads the tables first.
class clsIPStatistics {
public:
    clsIPStatistics(InterfaceTableReader& reader, Dialogs& dialogs, AdapterTables& tables);

    void Update_Adaptors_Stat();
    int Found_Adaptors() const { return found_; }
    int Choose_Adaptor() const { return chosen_; }
    // Chooses slot n: 1..N selects it, above N keeps the previous choice, 0 or less
    // shows a message and selects slot 1. Returns whether n itself was chosen.
    bool Choose_Adaptor(int n);
    std::int32_t BytesRecieved() const;
    std::int32_t BytesSends() const;
    std::string Local_IP() const;
    std::string OperationStatus() const;
    std::string Description() const;
    // The chosen slot's full entry (empty entry when none is chosen).
    const InterfaceEntry& chosen_entry() const;
    // Adapter n's entry, without changing the choice (empty entry outside 1..N).
    const InterfaceEntry& entry(int n) const;
    // Every row of the interface table as read, in table order; empty when it was unreadable.
    const std::vector<InterfaceRow>& interface_rows() const { return rows_; }
    bool interfaces_read() const { return interfaces_read_; }

private:
    InterfaceTableReader& reader_;
    Dialogs& dialogs_;
    AdapterTables& tables_;
    clsAdaptors adaptors_;
    std::vector<InterfaceEntry> slots_;  // slot s at index s - 1
    std::vector<InterfaceRow> rows_;
    bool interfaces_read_ = false;
    int found_ = 0;
    int chosen_ = 0;
};

// The descriptions of adapters 1..N in order, as the adapter lists show them.
std::vector<std::string> adapter_descriptions(clsIPStatistics& stats);

// "a.b.c.d" from the four address bytes in memory order.
std::string address_text(const std::array<std::uint8_t, 4>& address);
// The operational status as decimal text padded with spaces to 20 characters.
std::string status_text(std::uint32_t status);
