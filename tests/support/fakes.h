#pragma once

#include <string>
#include <vector>

#include "platform/date.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/interface_table.h"
#include "net/socket_actions.h"

// A scripted interface table: tests set the rows the next read returns.
class FakeInterfaceTable : public InterfaceTableReader {
public:
    std::vector<InterfaceRow> interfaces;
    std::vector<AddressRow> addresses;
    TableStatus interface_status = TableStatus::ok;
    TableStatus address_status = TableStatus::ok;
    int interface_reads = 0;

    TableStatus read_interfaces(std::vector<InterfaceRow>& rows) override {
        ++interface_reads;
        rows = interfaces;
        return interface_status;
    }
    TableStatus read_addresses(std::vector<AddressRow>& rows) override {
        rows = addresses;
        return address_status;
    }

    // Adds an interface row with 32-bit and wide counters.
    InterfaceRow& add_interface(std::uint32_t index, const std::string& name, std::uint64_t rx = 0, std::uint64_t tx = 0) {
        InterfaceRow r;
        r.index = index;
        r.description = name;
        r.oper_status = kOperOperational;
        interfaces.push_back(r);
        set_counters(index, rx, tx);
        return interfaces.back();
    }
    void add_address(std::uint32_t if_index, std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
        addresses.push_back(AddressRow{{a, b, c, d}, if_index});
    }
    // Sets both the 64-bit counters and their low 32 bits.
    void set_counters(std::uint32_t index, std::uint64_t rx, std::uint64_t tx) {
        for (InterfaceRow& r : interfaces) {
            if (r.index != index) continue;
            r.has_wide_counters = true;
            r.in_octets_wide = rx;
            r.out_octets_wide = tx;
            r.in_octets = static_cast<std::uint32_t>(rx);
            r.out_octets = static_cast<std::uint32_t>(tx);
        }
    }
    // Sets only the 32-bit counters, as a system without wide counters reports them.
    void set_narrow_counters(std::uint32_t index, std::uint32_t rx, std::uint32_t tx) {
        for (InterfaceRow& r : interfaces) {
            if (r.index != index) continue;
            r.has_wide_counters = false;
            r.in_octets = rx;
            r.out_octets = tx;
        }
    }
};

// The wall clock and the steady clock move together, unless the wall clock is stepped.
class FakeClock : public Clock {
public:
    double value = make_date(2026, 6, 15, 12, 0, 0);
    double steady = 86400.0;
    double now() const override { return value; }
    double utc_now() const override { return value; }  // the fake's local time is UTC
    double elapsed_seconds() const override { return steady; }
    void advance_seconds(double s) {
        value += s / 86400.0;
        steady += s;
    }
    // Sets the wall clock forward or back, as a clock change or daylight saving does.
    void step_wall_seconds(double s) { value += s / 86400.0; }
};

class FakeTicks : public TickSource {
public:
    std::int32_t value = 1;
    std::int32_t tick_ms() const override { return value; }
};

// Records every message box and answers with a scripted result.
class RecordingDialogs : public Dialogs {
public:
    std::vector<MessageBoxRequest> shown;
    MsgResult answer = MsgResult::ok;
    MsgResult message_box(const MessageBoxRequest& request) override {
        shown.push_back(request);
        return answer;
    }
};

// The names of the settings a job asked to be written, in order.
class RecordingWriter : public SettingWriter {
public:
    std::vector<std::string> written;
    void write_setting(const std::string& name) override { written.push_back(name); }
};
