#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "measure/adapter_numbering.h"
#include "measure/ip_statistics.h"
#include "measure/saved_readings.h"
#include "support/fakes.h"
#include "support/temp_dir.h"
#include "platform/file_access.h"

namespace {

std::string file_text(const std::string& path) {
    std::ifstream in(native_path(path), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void write_text(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(native_path(path).parent_path());
    std::ofstream(native_path(path), std::ios::binary) << text;
}

// A data folder and a machine with loopback and one card.
struct Machine {
    TempDir dir;
    std::string data = dir.str() + "/";
    FakeInterfaceTable table;
    RecordingDialogs dialogs;
    AdapterTables tables;
    InterfaceReadings readings;

    Machine() {
        table.add_interface(1, "lo");
        table.add_address(1, 127, 0, 0, 1);
        table.add_interface(4, "eth0");
        table.add_address(4, 192, 168, 1, 4);
    }
    clsIPStatistics read() { return clsIPStatistics(table, dialogs, tables); }
    std::string path() const { return numbering_file_path(data); }
};

TEST(NumberingFile, MissingFileIsWrittenInTableOrderAndReadBackAtTheNextStart) {
    Machine m;
    load_numbering(m.tables.numbering, m.data);
    EXPECT_TRUE(m.tables.numbering.unsaved);
    EXPECT_EQ(m.read().Found_Adaptors(), 2);
    save_numbering(m.tables.numbering, m.data);
    EXPECT_EQ(file_text(m.path()), "1 lo\n2 eth0\n");
    EXPECT_FALSE(std::filesystem::exists(native_path(m.path() + ".tmp")));

    // Next start: eth0 comes up first, before loopback has its address.
    AdapterTables next;
    load_numbering(next.numbering, m.data);
    EXPECT_FALSE(next.numbering.unsaved);
    m.table.addresses.erase(m.table.addresses.begin());
    clsIPStatistics s(m.table, m.dialogs, next);
    ASSERT_EQ(s.Found_Adaptors(), 2);
    EXPECT_EQ(s.entry(2).description, "eth0");
    EXPECT_EQ(s.entry(2).address, "192.168.1.4");
    EXPECT_TRUE(s.entry(1).present);
    EXPECT_EQ(s.entry(1).address, "");
}

TEST(NumberingFile, HandWrittenNumbersHoldAlsoForAnInterfaceNotThereYet) {
    Machine m;
    write_text(m.path(), "# numbers by hand\r\n\r\n3   tun0\r\n 1 lo \r\n");
    load_numbering(m.tables.numbering, m.data);
    EXPECT_FALSE(m.tables.numbering.unsaved);
    clsIPStatistics s = m.read();
    ASSERT_EQ(s.Found_Adaptors(), 3);
    EXPECT_EQ(adapter_descriptions(s), (std::vector<std::string>{"lo", "eth0", "tun0"}));
    EXPECT_FALSE(s.entry(3).present);
    EXPECT_EQ(s.entry(3).address, "");
    save_numbering(m.tables.numbering, m.data);
    EXPECT_EQ(file_text(m.path()), "1 lo\n2 eth0\n3 tun0\n");

    m.table.add_interface(2, "tun0", 10, 10);  // the tunnel comes up: it gets its own number
    m.table.add_address(2, 10, 8, 0, 1);
    EXPECT_TRUE(m.read().entry(3).present);
}

// A damaged file is set aside and told once; the numbers come from its readable lines, then
// from the saved readings, so no interface takes another's history.
TEST(NumberingFile, DamagedFileIsSetAsideToldOnceAndRebuiltWithEachHistoryInPlace) {
    Machine m;
    m.table.add_interface(6, "wlan0", 10, 10);
    ASSERT_TRUE(save_readings(m.data, {"b", {{1, 6, 10, 10, 0, "wlan0"}, {3, 4, 5, 5, 0, "eth0"}, {0, 9, 1, 1, 0, "tun9"}}}));
    const std::string damaged = "\x01\x02 junk\n2 lo\n2 eth0\n4 lo\n5 " + std::string(300, 'n') + "\n0 x\n";
    write_text(m.path(), damaged);
    load_adapter_numbering(m.tables.numbering, m.readings, m.data, "b", make_date(2026, 6, 15));
    ASSERT_EQ(m.tables.numbering.notices.size(), 1u);
    EXPECT_EQ(m.tables.numbering.notices[0],
              "Stats/Adapters.txt, which numbers the adapters, could not be read whole (line 1 is no number from 1 to "
              "15 and a name; line 3 repeats number 2; line 4 repeats the name lo; line 5 is longer than 271 bytes; "
              "line 6 is no number from 1 to 15 and a name). It is kept as Stats/Adapters.txt.damaged and written "
              "again. 1 adapters kept their numbers from its readable lines and 2 from the last saved counter "
              "readings, so each history stays with its interface; interfaces known to neither get new numbers.");
    EXPECT_EQ(file_text(m.path() + ".damaged"), damaged);
    m.read();
    save_numbering(m.tables.numbering, m.data);
    EXPECT_EQ(file_text(m.path()), "1 wlan0\n2 lo\n3 eth0\n");
    EXPECT_EQ(m.readings.previous_run.size(), 3u) << "readings of this boot";

    // A first line of junk over 64 KiB: nothing of the file is used, the readings tell.
    Machine big;
    write_text(big.path(), std::string(70000, 'x') + "\n1 lo\n");
    ASSERT_TRUE(save_readings(big.data, {"a", {{2, 1, 0, 0, 0, "lo"}}}));
    load_adapter_numbering(big.tables.numbering, big.readings, big.data, "b", make_date(2026, 6, 15));
    EXPECT_NE(big.tables.numbering.notices.at(0).find("(it is larger than 64 KiB; line 1 is longer than 271 bytes)"),
              std::string::npos);
    big.read();
    EXPECT_EQ(numbering_text(big.tables.numbering), "1 eth0\n2 lo\n");
    EXPECT_TRUE(big.readings.previous_run.empty()) << "readings of another boot";
}

}  // namespace
