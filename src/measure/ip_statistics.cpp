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

clsAdaptors::clsAdaptors(InterfaceTableReader& reader, Dialogs& dialogs, AdapterTables& tables)
    : reader_(reader), dialogs_(dialogs), tables_(tables) {}

int clsAdaptors::Count_adaptors() {
    groups_.clear();
    std::vector<AddressRow> rows;
    if (reader_.read_addresses(rows) != TableStatus::ok) {
        if (!tables_.address_error_shown) {
            tables_.address_error_shown = true;
            dialogs_.message_box({"ERROR reading IP Table", "", MsgButtons::ok, MsgIcon::none});
        }
        return 0;
    }
    tables_.address_error_shown = false;
    std::stable_sort(rows.begin(), rows.end(),
                     [](const AddressRow& a, const AddressRow& b) { return a.address < b.address; });
    for (const AddressRow& row : rows) {
        const bool seen = std::any_of(groups_.begin(), groups_.end(),
                                      [&](const AddressRow& g) { return g.if_index == row.if_index; });
        if (!seen) groups_.push_back(row);
    }
    return static_cast<int>(groups_.size());
}

int clsAdaptors::group_of(std::uint32_t if_index) const {
    for (std::size_t g = 0; g < groups_.size(); ++g)
        if (groups_[g].if_index == if_index) return static_cast<int>(g);
    return -1;
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

clsIPStatistics::clsIPStatistics(InterfaceTableReader& reader, Dialogs& dialogs, AdapterTables& tables)
    : reader_(reader), dialogs_(dialogs), tables_(tables), adaptors_(reader, dialogs, tables) {
    Update_Adaptors_Stat();
}

void clsIPStatistics::Update_Adaptors_Stat() {
    slots_.clear();
    rows_.clear();
    interfaces_read_ = false;
    const TableStatus st = reader_.read_interfaces(rows_);
    if (st == TableStatus::not_supported && !tables_.not_supported_shown) {
        tables_.not_supported_shown = true;
        dialogs_.message_box({"IP Helper is not supported by this system.", "", MsgButtons::ok, MsgIcon::none});
    }
    interfaces_read_ = st == TableStatus::ok;
    if (!interfaces_read_) rows_.clear();
    std::stable_sort(rows_.begin(), rows_.end(),
                     [](const InterfaceRow& a, const InterfaceRow& b) { return a.index < b.index; });
    if (interfaces_read_) adaptors_.Count_adaptors();

    // New interfaces get their numbers in table order, those holding an IPv4 address first
    // (as the machine's own cards and loopback do), then the others that carry traffic.
    AdapterNumbering& numbering = tables_.numbering;
    numbering.wanting.clear();
    if (interfaces_read_) {
        numbering.follow_renames(rows_);
        const auto offer = [&numbering](const InterfaceRow& row) {
            if (numbering.number_of(row.description) != 0) return;
            if (numbering.count_virtual || !virtual_by_default(row.description)) numbering.give_number(row.description);
        };
        for (const InterfaceRow& row : rows_)
            if (adaptors_.group_of(row.index) >= 0) offer(row);
        for (const InterfaceRow& row : rows_)
            if (row.in_octets_wide != 0 || row.out_octets_wide != 0 || row.in_octets != 0 || row.out_octets != 0) offer(row);
    }

    found_ = numbering.count();
    slots_.assign(static_cast<std::size_t>(found_), InterfaceEntry{});
    for (int n = 1; n <= found_; ++n) {
        InterfaceEntry& e = slots_[static_cast<std::size_t>(n - 1)];
        e.description = numbering.names[static_cast<std::size_t>(n)];
        const auto row = std::find_if(rows_.begin(), rows_.end(),
                                      [&](const InterfaceRow& r) { return r.description == e.description; });
        if (row == rows_.end() || e.description.empty()) continue;
        e.present = true;
        e.index = row->index;
        e.received = static_cast<std::int32_t>(row->in_octets);
        e.sent = static_cast<std::int32_t>(row->out_octets);
        e.status = status_text(row->oper_status);
        if (numbering.today > 0.0) numbering.last_seen[static_cast<std::size_t>(n)] = numbering.today;
        const int g = adaptors_.group_of(row->index);
        if (g >= 0) e.address = adaptors_.Adaptor_IP(g);
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

const InterfaceEntry& clsIPStatistics::entry(int n) const {
    static const InterfaceEntry kEmpty{};
    if (n < 1 || n > static_cast<int>(slots_.size())) return kEmpty;
    return slots_[static_cast<std::size_t>(n - 1)];
}

const InterfaceEntry& clsIPStatistics::chosen_entry() const { return entry(chosen_); }

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
