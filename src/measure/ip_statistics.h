#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/interface_table.h"

// Remembers which table messages were already shown, so that a table that stays unreadable
// is reported once rather than every second.
struct TableMessageLatch {
    bool not_supported_shown = false;
    bool address_error_shown = false;
};

// The address-table object: groups the IPv4 address rows by interface. Group g (from 0) is
// represented by the first row of its interface in address order, so its address is the
// interface's smallest address.
class clsAdaptors {
public:
    clsAdaptors(InterfaceTableReader& reader, Dialogs& dialogs, TableMessageLatch& latch);

    // Re-reads the address table and returns the number of groups (0 when empty or unreadable).
    int Count_adaptors();
    std::string Adaptor_IP(int g);
    std::uint32_t T_index(int g);
    int group_count() const { return static_cast<int>(groups_.size()); }
    std::uint32_t group_index(int g) const { return groups_[static_cast<std::size_t>(g)].if_index; }

private:
    bool check_group(int g);

    InterfaceTableReader& reader_;
    Dialogs& dialogs_;
    TableMessageLatch& latch_;
    std::vector<AddressRow> groups_;
};

// One numbered adapter slot, rebuilt at every read.
struct InterfaceEntry {
    std::int32_t received = 0;
    std::int32_t sent = 0;
    std::string address;
    std::string status;
    std::string description;
    std::uint32_t if_index = 0;
    bool has_wide_counters = false;
    std::uint64_t received_wide = 0;
    std::uint64_t sent_wide = 0;
};

// The statistics object: reads both tables on creation and numbers the adapters 1..N, the
// distinct interfaces that hold an IPv4 address, in interface-table order. Slots whose
// interface vanished between the two reads stay empty.
class clsIPStatistics {
public:
    clsIPStatistics(InterfaceTableReader& reader, Dialogs& dialogs, TableMessageLatch& latch);

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

private:
    InterfaceTableReader& reader_;
    Dialogs& dialogs_;
    TableMessageLatch& latch_;
    clsAdaptors adaptors_;
    std::vector<InterfaceEntry> slots_;  // slot s at index s - 1
    int found_ = 0;
    int chosen_ = 0;
};

// The descriptions of adapters 1..N in order, as the adapter lists show them.
std::vector<std::string> adapter_descriptions(clsIPStatistics& stats);

// "a.b.c.d" from the four address bytes in memory order.
std::string address_text(const std::array<std::uint8_t, 4>& address);
// The operational status as decimal text padded with spaces to 20 characters.
std::string status_text(std::uint32_t status);
