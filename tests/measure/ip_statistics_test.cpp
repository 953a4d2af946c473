#include <gtest/gtest.h>

#include "measure/ip_statistics.h"
#include "support/fakes.h"

namespace {

struct Table {
    FakeInterfaceTable table;
    RecordingDialogs dialogs;
    AdapterTables latch;
    clsIPStatistics read() { return clsIPStatistics(table, dialogs, latch); }
};

TEST(AdapterNumbering, LoopbackFirstThenTheCard) {
    Table t;
    t.table.add_interface(1, "lo");
    t.table.add_interface(2, "eth0", 123, 456);
    t.table.add_address(2, 192, 168, 1, 4);
    t.table.add_address(1, 127, 0, 0, 1);
    clsIPStatistics s = t.read();
    ASSERT_EQ(s.Found_Adaptors(), 2);
    ASSERT_TRUE(s.Choose_Adaptor(1));
    EXPECT_EQ(s.Description(), "lo");
    EXPECT_EQ(s.Local_IP(), "127.0.0.1");
    ASSERT_TRUE(s.Choose_Adaptor(2));
    EXPECT_EQ(s.Description(), "eth0");
    EXPECT_EQ(s.BytesRecieved(), 123);
    EXPECT_EQ(s.BytesSends(), 456);
    EXPECT_EQ(s.OperationStatus(), "5                   ");
}

TEST(AdapterNumbering, InterfacesWithoutAnAddressLeaveNoGapBeforeTheCard) {
    Table t;
    t.table.add_interface(1, "lo");
    t.table.add_interface(2, "ifb0");
    t.table.add_interface(3, "ifb1");
    t.table.add_interface(4, "eth0");
    t.table.add_address(1, 127, 0, 0, 1);
    t.table.add_address(4, 10, 1, 2, 3);
    clsIPStatistics s = t.read();
    ASSERT_EQ(s.Found_Adaptors(), 2);
    ASSERT_TRUE(s.Choose_Adaptor(2));
    EXPECT_EQ(s.Description(), "eth0");
    EXPECT_EQ(s.Local_IP(), "10.1.2.3");
    EXPECT_EQ(adapter_descriptions(s), (std::vector<std::string>{"lo", "eth0"}));
}

TEST(AdapterNumbering, TwoAddressesOnOneInterfaceAreOneAdapterShowingTheSmaller) {
    Table t;
    t.table.add_interface(1, "lo");
    t.table.add_interface(2, "eth0");
    t.table.add_address(2, 192, 168, 9, 1);
    t.table.add_address(1, 127, 0, 0, 1);
    t.table.add_address(2, 10, 0, 0, 7);
    clsIPStatistics s = t.read();
    ASSERT_EQ(s.Found_Adaptors(), 2);
    s.Choose_Adaptor(2);
    EXPECT_EQ(s.Local_IP(), "10.0.0.7");
}

TEST(AdapterNumbering, AnAddressWhoseInterfaceVanishedBetweenTheReadsGetsNoNumber) {
    Table t;
    t.table.add_interface(1, "lo");
    t.table.add_address(1, 127, 0, 0, 1);
    t.table.add_address(7, 10, 0, 0, 1);
    clsIPStatistics s = t.read();
    EXPECT_EQ(s.Found_Adaptors(), 1);
}

TEST(AdapterNumbering, ChoosingOutOfRangeKeepsOrResetsTheChoiceWithTheMessages) {
    Table t;
    t.table.add_interface(1, "lo");
    t.table.add_interface(2, "eth0");
    t.table.add_address(1, 127, 0, 0, 1);
    t.table.add_address(2, 10, 0, 0, 1);
    clsIPStatistics s = t.read();
    s.Choose_Adaptor(2);
    EXPECT_FALSE(s.Choose_Adaptor(3));
    EXPECT_EQ(s.Choose_Adaptor(), 2);
    EXPECT_FALSE(s.Choose_Adaptor(0));
    EXPECT_EQ(s.Choose_Adaptor(), 1);
    ASSERT_EQ(t.dialogs.shown.size(), 1u);
    EXPECT_EQ(t.dialogs.shown[0].text, "adaptor To low ");

    clsAdaptors groups(t.table, t.dialogs, t.latch);
    groups.Count_adaptors();
    EXPECT_EQ(groups.Adaptor_IP(-1), "");
    EXPECT_EQ(groups.Adaptor_IP(2), "");
    EXPECT_EQ(groups.T_index(0), 2u);  // 10.0.0.1 sorts before 127.0.0.1
    ASSERT_EQ(t.dialogs.shown.size(), 3u);
    EXPECT_EQ(t.dialogs.shown[1].text, "Adaptor number(index) is too low ! ");
    EXPECT_EQ(t.dialogs.shown[1].icon, MsgIcon::error);
    EXPECT_EQ(t.dialogs.shown[2].text, "Adaptor number(index) is too big ! ");
}

}  // namespace
