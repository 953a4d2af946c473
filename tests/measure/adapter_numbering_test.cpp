#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "measure/adapter_numbering.h"
#include "measure/ip_statistics.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace {

std::string file_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void write_text(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// A data folder and a machine with loopback and one card.
struct Machine {
    TempDir dir;
    std::string data = dir.str() + "/";
    FakeInterfaceTable table;
    RecordingDialogs dialogs;
    AdapterTables tables;

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
    EXPECT_FALSE(std::filesystem::exists(m.path() + ".tmp"));

    // Next start: eth0 comes up first, before loopback has its address.
    AdapterTables next;
    load_numbering(next.numbering, m.data);
    EXPECT_FALSE(next.numbering.unsaved);
    m.table.addresses.erase(m.table.addresses.begin());
    clsIPStatistics s(m.table, m.dialogs, next);
    ASSERT_EQ(s.Found_Adaptors(), 2);
    EXPECT_EQ(s.entry(2).description, "eth0");
    EXPECT_TRUE(s.entry(2).connected);
    EXPECT_TRUE(s.entry(1).present);
    EXPECT_FALSE(s.entry(1).connected);
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
    EXPECT_TRUE(m.read().entry(3).connected);
}

TEST(NumberingFile, DamagedFileKeepsWhatIsReadableAndIsWrittenAgain) {
    Machine m;
    write_text(m.path(), "2 eth0\nbanana\n0 lo\n16 wlan0\n2 wlan0\n4 eth0\n5\n6 bad\x01name\n" + std::string("\xff\xfe\x00\x07", 4));
    load_numbering(m.tables.numbering, m.data);
    EXPECT_TRUE(m.tables.numbering.unsaved);
    m.read();
    save_numbering(m.tables.numbering, m.data);
    EXPECT_EQ(file_text(m.path()), "1 lo\n2 eth0\n");

    // Nothing readable at all: the numbers are given again from the table, without a word.
    Machine fresh;
    write_text(fresh.path(), std::string("\x00\x01\x02 KV garbage", 15));
    load_numbering(fresh.tables.numbering, fresh.data);
    fresh.read();
    save_numbering(fresh.tables.numbering, fresh.data);
    EXPECT_EQ(file_text(fresh.path()), "1 lo\n2 eth0\n");
    EXPECT_TRUE(fresh.dialogs.shown.empty());
}

}  // namespace
