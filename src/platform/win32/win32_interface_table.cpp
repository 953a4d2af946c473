#include "platform/win32/win32_interface_table.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <netioapi.h>

#include <cstring>
#include <vector>

#include "platform/win32/win32_text.h"

namespace {

void CALLBACK interface_changed(PVOID context, PMIB_IPINTERFACE_ROW, MIB_NOTIFICATION_TYPE) {
    static_cast<Win32InterfaceTable*>(context)->changed();
}

void CALLBACK address_changed(PVOID context, PMIB_UNICASTIPADDRESS_ROW, MIB_NOTIFICATION_TYPE) {
    static_cast<Win32InterfaceTable*>(context)->changed();
}

std::string guid_text(const GUID& g) {
    wchar_t text[40] = {};
    ::StringFromGUID2(g, text, 40);
    return narrow(text);
}

std::string address_text(const SOCKADDR* address, int length) {
    wchar_t text[INET6_ADDRSTRLEN + 16] = {};
    DWORD size = static_cast<DWORD>(std::size(text));
    if (::WSAAddressToStringW(const_cast<SOCKADDR*>(address), static_cast<DWORD>(length), nullptr, text, &size) != 0)
        return {};
    return narrow(text);
}

}  // namespace

std::uint32_t oper_status_from_if_oper(int if_oper_status) {
    switch (if_oper_status) {
        case IfOperStatusUp:
        case IfOperStatusUnknown: return kOperOperational;
        case IfOperStatusDormant:
        case IfOperStatusTesting: return kOperConnecting;
        case IfOperStatusDown:
        case IfOperStatusLowerLayerDown: return kOperDisconnected;
        default: return kOperNonOperational;
    }
}

Win32InterfaceTable::Win32InterfaceTable() {
    // Winsock for the address texts; the notices where the system gives them.
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
    HANDLE handle = nullptr;
    if (::NotifyIpInterfaceChange(AF_UNSPEC, interface_changed, this, FALSE, &handle) == NO_ERROR)
        interface_notice_ = handle;
    handle = nullptr;
    if (::NotifyUnicastIpAddressChange(AF_UNSPEC, address_changed, this, FALSE, &handle) == NO_ERROR)
        address_notice_ = handle;
}

Win32InterfaceTable::~Win32InterfaceTable() {
    // CancelMibChangeNotify2 waits for a callback that is running.
    if (interface_notice_ != nullptr) ::CancelMibChangeNotify2(interface_notice_);
    if (address_notice_ != nullptr) ::CancelMibChangeNotify2(address_notice_);
    ::WSACleanup();
}

void Win32InterfaceTable::changed() {
    notices_seen_ = true;
    change_pending_ = true;
}

TableStatus Win32InterfaceTable::read_interfaces(std::vector<InterfaceRow>& rows) {
    rows.clear();
    MIB_IF_TABLE2* table = nullptr;
    const DWORD result = ::GetIfTable2(&table);
    if (result == ERROR_NOT_SUPPORTED) return TableStatus::not_supported;
    if (result != NO_ERROR || table == nullptr) return TableStatus::error;
    std::map<std::uint32_t, Known> known;
    speed_by_alias_.clear();
    for (ULONG i = 0; i < table->NumEntries; ++i) {
        const MIB_IF_ROW2& r = table->Table[i];
        // Windows lists each adapter's filter drivers as interfaces of their own.
        if (r.InterfaceAndOperStatusFlags.FilterInterface || r.Alias[0] == L'\0') continue;
        InterfaceRow row;
        row.index = r.InterfaceIndex;
        row.oper_status = oper_status_from_if_oper(r.OperStatus);
        row.has_wide_counters = true;
        row.in_octets_wide = r.InOctets;
        row.out_octets_wide = r.OutOctets;
        row.in_octets = static_cast<std::uint32_t>(r.InOctets);
        row.out_octets = static_cast<std::uint32_t>(r.OutOctets);
        row.description = narrow(r.Alias);
        // An unknown speed is reported as all ones.
        const double speed = r.ReceiveLinkSpeed == ~0ull ? 0.0 : static_cast<double>(r.ReceiveLinkSpeed);
        known[row.index] = Known{guid_text(r.InterfaceGuid), speed, row.oper_status};
        speed_by_alias_[row.description] = speed;
        rows.push_back(std::move(row));
    }
    ::FreeMibTable(table);
    sort_interface_rows(rows);
    bool same = known.size() == known_.size();
    for (auto a = known.begin(), b = known_.begin(); same && a != known.end(); ++a, ++b)
        same = a->first == b->first && a->second.status == b->second.status && a->second.guid == b->second.guid;
    if (!same) rows_changed_ = true;
    known_ = std::move(known);
    return TableStatus::ok;
}

TableStatus Win32InterfaceTable::read_addresses(std::vector<AddressRow>& rows) {
    ++reads_since_addresses_;
    if (change_pending_.exchange(false) || rows_changed_ || reads_since_addresses_ >= kAddressPollReads) {
        rows_changed_ = false;
        reads_since_addresses_ = 0;
        if (!read_address_table()) {
            change_pending_ = true;  // tried again at the next read
            rows.clear();
            return TableStatus::error;
        }
    }
    rows = ipv4_;
    return TableStatus::ok;
}

bool Win32InterfaceTable::read_address_table() {
    ++address_reads_;
    const ULONG flags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
    ULONG size = 16 * 1024;
    std::vector<unsigned char> buffer;
    ULONG result = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < 4 && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer.resize(size);
        result = ::GetAdaptersAddresses(AF_UNSPEC, flags, nullptr,
                                        reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    }
    if (result == ERROR_NO_DATA) {
        ipv4_.clear();
        address_texts_.clear();
        return true;
    }
    if (result != NO_ERROR) return false;
    ipv4_.clear();
    address_texts_.clear();
    for (auto* a = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()); a != nullptr; a = a->Next) {
        const std::uint32_t index = a->IfIndex != 0 ? a->IfIndex : a->Ipv6IfIndex;
        for (IP_ADAPTER_UNICAST_ADDRESS* u = a->FirstUnicastAddress; u != nullptr; u = u->Next) {
            const SOCKADDR* sa = u->Address.lpSockaddr;
            if (sa == nullptr) continue;
            address_texts_[index].push_back(address_text(sa, u->Address.iSockaddrLength));
            if (sa->sa_family != AF_INET) continue;
            AddressRow row;
            std::memcpy(row.address.data(), &reinterpret_cast<const sockaddr_in*>(sa)->sin_addr, 4);
            row.if_index = index;
            ipv4_.push_back(row);
        }
    }
    sort_address_rows(ipv4_);
    return true;
}

double Win32InterfaceTable::speed_bps(const std::string& interface_name) {
    const auto it = speed_by_alias_.find(interface_name);
    return it == speed_by_alias_.end() ? 0.0 : it->second;
}

std::string Win32InterfaceTable::identity_of(std::uint32_t index) const {
    const auto it = known_.find(index);
    return it == known_.end() ? std::string() : it->second.guid;
}

std::vector<std::string> Win32InterfaceTable::addresses_of(std::uint32_t index) const {
    const auto it = address_texts_.find(index);
    return it == address_texts_.end() ? std::vector<std::string>() : it->second;
}
