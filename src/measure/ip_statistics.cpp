#include "measure/ip_statistics.h"

#include <algorithm>

std::string address_text(const std::array<std::uint8_t, 4>& a) {
    return std::to_string(a[0]) + "." + std::to_string(a[1]) + "." + std::to_string(a[2]) + "." +
           std::to_string(a[3]);
}

std::string status_text(std::uint32_t status) {
    std::string s = std::to_string(status);
    if (s.size() < 20) s.append(20 - s.size(), ' ');
    return s;
}

clsAdaptors::clsAdaptors(InterfaceTableReader& reader, Dialogs& dialogs, TableMessageLatch& latch)
    : reader_(reader), dialogs_(dialogs), latch_(latch) {}

int clsAdaptors::Count_adaptors() {
    groups_.clear();
    std::vector<AddressRow> rows;
    if (reader_.read_addresses(rows) != TableStatus::ok) {
        if (!latch_.address_error_shown) {
            latch_.address_error_shown = true;
            dialogs_.message_box({"ERROR reading IP Table", "", MsgButtons::ok, MsgIcon::none});
        }
        return 0;
    }
    latch_.address_error_shown = false;
    std::stable_sort(rows.begin(), rows.end(),
                     [](const AddressRow& a, const AddressRow& b) { return a.address < b.address; });
    for (const AddressRow& row : rows) {
        const bool seen = std::any_of(groups_.begin(), groups_.end(),
                                      [&](const AddressRow& g) { return g.if_index == row.if_index; });
        if (!seen) groups_.push_back(row);
    }
    return static_cast<int>(groups_.size());
}

bool clsAdaptors::check_group(int g) {
    if (g < 0) {
        dialogs_.message_box({"Adaptor number(index) is too low ! ", "", MsgButtons::ok, MsgIcon::error});
        return false;
    }
    if (g >= static_cast<int>(groups_.size())) {
        dialogs_.message_box({"Adaptor number(index) is too big ! ", "", MsgButtons::ok, MsgIcon::error});
        return false;
    }
    return true;
}

std::string clsAdaptors::Adaptor_IP(int g) {
    return check_group(g) ? address_text(groups_[static_cast<std::size_t>(g)].address) : std::string();
}

std::uint32_t clsAdaptors::T_index(int g) {
    return check_group(g) ? groups_[static_cast<std::size_t>(g)].if_index : 0;
}

clsIPStatistics::clsIPStatistics(InterfaceTableReader& reader, Dialogs& dialogs, TableMessageLatch& latch)
    : reader_(reader), dialogs_(dialogs), latch_(latch), adaptors_(reader, dialogs, latch) {
    Update_Adaptors_Stat();
}

void clsIPStatistics::Update_Adaptors_Stat() {
    slots_.clear();
    found_ = 0;
    std::vector<InterfaceRow> rows;
    const TableStatus st = reader_.read_interfaces(rows);
    if (st == TableStatus::not_supported) {
        if (!latch_.not_supported_shown) {
            latch_.not_supported_shown = true;
            dialogs_.message_box({"IP Helper is not supported by this system.", "", MsgButtons::ok, MsgIcon::none});
        }
        return;
    }
    if (st != TableStatus::ok) rows.clear();
    std::stable_sort(rows.begin(), rows.end(),
                     [](const InterfaceRow& a, const InterfaceRow& b) { return a.index < b.index; });

    found_ = adaptors_.Count_adaptors();
    slots_.assign(static_cast<std::size_t>(found_), InterfaceEntry{});
    // Number the interfaces holding an address in table order; no slot is left empty for
    // an interface without one. Slots past the matched rows stay empty.
    std::size_t next = 0;
    for (const InterfaceRow& row : rows) {
        if (next >= slots_.size()) break;
        for (int g = 0; g < adaptors_.group_count(); ++g) {
            if (adaptors_.group_index(g) != row.index) continue;
            InterfaceEntry& e = slots_[next++];
            e.received = static_cast<std::int32_t>(row.in_octets);
            e.sent = static_cast<std::int32_t>(row.out_octets);
            e.address = adaptors_.Adaptor_IP(g);
            e.status = status_text(row.oper_status);
            const std::size_t len = std::min<std::size_t>(row.description.size(), 256);
            e.description = row.description.substr(0, len);
            if (auto z = e.description.find('\0'); z != std::string::npos) e.description.resize(z);
            e.if_index = row.index;
            e.has_wide_counters = row.has_wide_counters;
            e.received_wide = row.in_octets_wide;
            e.sent_wide = row.out_octets_wide;
            break;
        }
    }
    if (chosen_ > found_) chosen_ = 0;
}

bool clsIPStatistics::Choose_Adaptor(int n) {
    if (n <= 0) {
        dialogs_.message_box({"adaptor To low ", "", MsgButtons::ok, MsgIcon::none});
        chosen_ = found_ >= 1 ? 1 : 0;
        return false;
    }
    if (n > found_) return false;
    chosen_ = n;
    return true;
}

const InterfaceEntry& clsIPStatistics::chosen_entry() const {
    static const InterfaceEntry kEmpty{};
    if (chosen_ < 1 || chosen_ > static_cast<int>(slots_.size())) return kEmpty;
    return slots_[static_cast<std::size_t>(chosen_ - 1)];
}

std::int32_t clsIPStatistics::BytesRecieved() const { return chosen_entry().received; }
std::int32_t clsIPStatistics::BytesSends() const { return chosen_entry().sent; }
std::string clsIPStatistics::Local_IP() const { return chosen_entry().address; }
std::string clsIPStatistics::OperationStatus() const { return chosen_entry().status; }
std::string clsIPStatistics::Description() const { return chosen_entry().description; }

std::vector<std::string> adapter_descriptions(clsIPStatistics& stats) {
    std::vector<std::string> names;
    for (int i = 1; i <= stats.Found_Adaptors(); ++i) {
        stats.Choose_Adaptor(i);
        names.push_back(stats.Description());
    }
    return names;
}
