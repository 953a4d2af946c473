// The Windows platform layer with peers in network namespaces, run by wine_peers_test.sh
// inside the namespace that Wine's networking runs in.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "alerts/mail_sender.h"
#include "platform/win32/message_window.h"
#include "platform/win32/win32_interface_table.h"
#include "platform/win32/win32_mail_socket.h"
#include "platform/win32/winsock_connection.h"
#include "settings/settings.h"

// Trusts the certificate in `pem` as an authority of the user (root_certificate.cpp).
bool trust_as_root(const std::string& pem);

namespace {

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr ? v : "";
}

// A path of the Linux side as Wine shows it.
std::string on_drive_z(const std::string& unix_path) {
    std::string p = "Z:" + unix_path;
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

std::string text_of(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::uint64_t kernel_count(const std::string& name, const char* what) {
    return std::stoull("0" + text_of(on_drive_z("/sys/class/net/" + name + "/statistics/" + what)));
}

const InterfaceRow* row_named(const std::vector<InterfaceRow>& rows, const std::string& name) {
    for (const InterfaceRow& r : rows)
        if (r.description == name) return &r;
    return nullptr;
}

TEST(WithPeers, InterfaceCountersAndAddressesOfAVethPairFollowTheKernel) {
    const std::string name = env("KELVANTO_TEST_INTERFACE");
    ASSERT_FALSE(name.empty());
    Win32InterfaceTable table;
    std::vector<InterfaceRow> rows;
    ASSERT_EQ(table.read_interfaces(rows), TableStatus::ok);
    const InterfaceRow* veth = row_named(rows, name);
    ASSERT_NE(veth, nullptr) << "the alias of the veth end is its Linux name";
    const std::uint32_t index = veth->index;
    EXPECT_EQ(veth->oper_status, kOperOperational);
    EXPECT_EQ(table.identity_of(index).size(), 38u) << table.identity_of(index);
    std::vector<AddressRow> addresses;
    ASSERT_EQ(table.read_addresses(addresses), TableStatus::ok);
    const AddressRow own{{10, 78, 1, 1}, index};
    EXPECT_NE(std::find_if(addresses.begin(), addresses.end(),
                           [&](const AddressRow& a) { return a.address == own.address && a.if_index == index; }),
              addresses.end());
    const std::vector<std::string> texts = table.addresses_of(index);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "10.78.1.1"), texts.end());
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const std::string& t) { return t.rfind("fe80::", 0) == 0; }))
        << "IPv6 link-local address";
    const std::uint64_t win_in0 = veth->in_octets_wide, win_out0 = veth->out_octets_wide;
    const std::uint64_t rx0 = kernel_count(name, "rx_bytes"), tx0 = kernel_count(name, "tx_bytes");

    // 4 MiB to the peer, which answers with 1 MiB and closes.
    std::size_t received = 0;
    bool closed = false;
    WinsockConnection connection({[] {}, [&](std::string_view b) { received += b.size(); }, [&] { closed = true; },
                                  [&](const std::string& why) { ADD_FAILURE() << why; closed = true; }});
    const std::string sink = env("KELVANTO_TEST_SINK");
    connection.connect_to(sink.substr(0, sink.find(':')), std::stoi(sink.substr(sink.find(':') + 1)));
    connection.send(std::string(4u << 20, 'k'));
    ASSERT_TRUE(pump_messages([&] { return closed; }, 30000, 20));
    EXPECT_EQ(received, 1u << 20);

    ASSERT_EQ(table.read_interfaces(rows), TableStatus::ok);
    veth = row_named(rows, name);
    ASSERT_NE(veth, nullptr);
    const double win_in = static_cast<double>(veth->in_octets_wide - win_in0);
    const double win_out = static_cast<double>(veth->out_octets_wide - win_out0);
    const double rx = static_cast<double>(kernel_count(name, "rx_bytes") - rx0);
    const double tx = static_cast<double>(kernel_count(name, "tx_bytes") - tx0);
    EXPECT_GE(win_out, 4.0 * (1 << 20));
    EXPECT_GE(win_in, 1.0 * (1 << 20));
    EXPECT_NEAR(win_out, tx, 0.03 * tx);
    EXPECT_NEAR(win_in, rx, 0.03 * rx);
    EXPECT_EQ(veth->in_octets, static_cast<std::uint32_t>(veth->in_octets_wide));

    // Wine 8 accepts the change notices and never delivers them: the addresses then come
    // from polling, at the latest every kAddressPollReads reads of an unchanged table.
    if (!table.notices_seen()) {
        const int before = table.address_reads();
        for (int i = 0; i < Win32InterfaceTable::kAddressPollReads; ++i) {
            table.read_interfaces(rows);
            table.read_addresses(addresses);
        }
        EXPECT_EQ(table.address_reads(), before + 1);
    }
}

TEST(WithPeers, AlertMailGoesOutOverStartTlsWithTheServersCertificateChecked) {
    Settings settings;
    settings.EmailAlertMail = "monitor@example.org";
    settings.EmailAlertDefault = "admin@example.org";
    MailSender sender;
    sender.reply_timeout_ms = 15000;
    sender.retry_delays_ms.clear();
    Win32MailSocket socket(sender);
    const auto send = [&](const std::string& host) {
        settings.EmailAlertSMTP = host + ":" + env("KELVANTO_TEST_SMTP_PORT");
        SmtpActions out;
        start_mail(sender, settings, QueuedMail{"Traffic over the limit on " + host, "", 0}, out);
        apply_mail_actions(out, socket);
        return pump_messages([&] { return !sender.busy(); }, 30000, 20);
    };
    // Before the authority is trusted the mail is not sent, and not in clear either.
    ASSERT_TRUE(send("localhost"));
    EXPECT_FALSE(sender.delivered);
    ASSERT_FALSE(sender.problems.empty());
    EXPECT_NE(sender.problems.back().text.find("certificate"), std::string::npos) << sender.problems.back().text;

    // The peer's certificate, trusted for this test as an authority of the user.
    ASSERT_TRUE(trust_as_root(text_of(on_drive_z(env("KELVANTO_TEST_CA")))));
    sender.problems.clear();
    ASSERT_TRUE(send("localhost"));
    EXPECT_TRUE(sender.delivered);
    EXPECT_TRUE(sender.problems.empty()) << sender.problems.front().text;
    // The certificate names "localhost": for another name it is refused.
    ASSERT_TRUE(send("127.0.0.1"));
    EXPECT_FALSE(sender.delivered);
}

}  // namespace
