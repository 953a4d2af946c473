#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>

#include "core/program_state.h"
#include "core/settings_steps.h"
#include "settings/colour_presets.h"
#include "settings/settings_store.h"
#include "settings/settings_table.h"
#include "settings/text_file.h"
#include "support/fakes.h"
#include "support/temp_dir.h"
#include "platform/file_access.h"

namespace {

// Records what the settings load and save ask of the window.
struct RecordingHooks : SettingsHooks {
    std::vector<int> translucent;
    std::vector<bool> transparent_background;
    int window_style = 0;
    int display_list = 0;
    int shrink = 0;
    std::optional<std::uint32_t> shadow, hilight;
    void set_translucent(int alpha) override { translucent.push_back(alpha); }
    void set_transparent_background(bool on) override { transparent_background.push_back(on); }
    std::optional<std::uint32_t> button_shadow_colour() override { return shadow; }
    std::optional<std::uint32_t> button_hilight_colour() override { return hilight; }
    void shrink_to_graph() override { ++shrink; }
    void apply_window_style() override { ++window_style; }
    void rebuild_display_list() override { ++display_list; }
};

// The stored text of a field as the save writes it; "" for an unset date.
std::string field_text(const SettingField& field) {
    if (auto* p = std::get_if<std::uint8_t*>(&field)) return std::to_string(**p);
    if (auto* q = std::get_if<std::int32_t*>(&field)) return std::to_string(**q);
    if (auto* d = std::get_if<double*>(&field)) return std::to_string(static_cast<long long>(std::floor(**d)));
    if (auto* s = std::get_if<std::string*>(&field)) return **s;
    return "";
}

class SettingsStoreTest : public ::testing::Test {
protected:
    TempDir dir;
    ProgramState state;
    FakeInterfaceTable tables;
    FakeClock clock;
    RecordingDialogs dialogs;
    MemorySettings store;
    RecordingHooks hooks;
    Services services{tables, clock, dialogs};

    SettingsStoreTest() {
        state.found_adapters = 3;
        state.data_dir = dir.str() + "/";
        state.config_dir = dir.str() + "/config";
        state.program_path = "/opt/kelvanto/kelvanto";
        services.settings_store = &store;
        services.settings_hooks = &hooks;
    }
    // A fresh start: new in-memory settings, loaded from the store.
    const Settings& load() {
        state.settings = Settings{};
        reload_settings(state, services);
        return state.settings;
    }
    std::string autostart_file() const { return state.config_dir + "/autostart/kelvanto.desktop"; }
    double today() const { return std::floor(clock.value); }
};

TEST_F(SettingsStoreTest, EmptyStoreYieldsEveryDefaultAndWritesAllBack) {
    const Settings& s = load();
    Settings defaults;
    defaults.CusPerFrom = defaults.CusPerTo = defaults.CusPerStart = today();
    const auto loaded = settings_table(state.settings);
    const auto expected = settings_table(defaults);
    ASSERT_EQ(loaded.size(), expected.size());
    for (std::size_t i = 0; i < loaded.size(); ++i) {
        EXPECT_EQ(field_text(loaded[i].field), field_text(expected[i].field)) << loaded[i].name;
        if (loaded[i].kind == SettingKind::date_time) {
            EXPECT_EQ(store.values.count(loaded[i].name), 0u) << "an unset date is not written";
            continue;
        }
        ASSERT_EQ(store.values.count(loaded[i].name), 1u) << loaded[i].name << " not written back";
        EXPECT_EQ(store.values[loaded[i].name], field_text(expected[i].field)) << loaded[i].name;
    }
    EXPECT_EQ(s.Adapter, 2);
    EXPECT_EQ(s.WindowX, 9999999);
    EXPECT_EQ(s.ColorPreset, "Default");
    EXPECT_EQ(s.colours, ColourScheme{});
    EXPECT_EQ(s.graph_length, 1840);
    EXPECT_EQ(store.values["Bandwidth Calc."], "1");
    EXPECT_EQ(store.values["frmHistoryColWidth(2,1)"], "9999999");  // not set: the column fits its values
    EXPECT_EQ(store.values["lvwSortOrder0"], "0");
    EXPECT_EQ(store.values["lvwSortOrder4"], "1");
    EXPECT_EQ(store.values["CusPerFrom"], std::to_string(static_cast<long long>(today())));
    EXPECT_FALSE(s.SyncLast.has_value());
    EXPECT_EQ(hooks.window_style, 1);
    EXPECT_EQ(hooks.display_list, 1);
}

TEST_F(SettingsStoreTest, TableNamesAreUniqueAndByteFieldsHaveByteRanges) {
    Settings s;
    std::set<std::string> names;
    for (const SettingDef& d : settings_table(s)) {
        EXPECT_TRUE(names.insert(d.name).second) << "duplicate " << d.name;
        if (std::holds_alternative<std::uint8_t*>(d.field) && d.kind == SettingKind::number) {
            EXPECT_GE(d.min, 0) << d.name;
            EXPECT_LE(d.max, 255) << d.name;
        }
    }
}

// Every value must load into the field it is saved from: a distinct value for each number
// survives load and save unchanged, however often the program starts.
TEST_F(SettingsStoreTest, EveryValueRoundTripsThroughManyStarts) {
    Settings scratch;
    const std::set<std::string> rewritten{"ConnectionSpeed", "ConnectionSpeedUp", "FormItems", "AdvItems"};
    std::map<std::string, std::string> written;
    int k = 0;
    for (const SettingDef& d : settings_table(scratch)) {
        if (rewritten.count(d.name) != 0) continue;
        std::string text;
        if (d.kind == SettingKind::number || d.kind == SettingKind::day_number) {
            const std::int64_t span = static_cast<std::int64_t>(d.max) - d.min + 1;
            text = std::to_string(d.min + (k++ * 7 + 3) % span);
        } else if (d.kind == SettingKind::decimal) {
            text = std::to_string(k++) + ".25";  // a fraction survives too
        } else if (d.kind == SettingKind::unchecked) {
            text = std::to_string(-1000 - k++);
        } else if (d.kind == SettingKind::adapter) {
            text = "3";
        } else if (d.kind == SettingKind::date_time) {
            text = "2026-03-04 05:06:07";
        } else {
            text = d.name + " text " + std::to_string(k++);
        }
        store.values[d.name] = text;
        written[d.name] = text;
    }
    store.values["Transparency"] = written["Transparency"] = "0";
    store.values["ColorPreset"] = written["ColorPreset"] = "Default";
    store.values["ConnectionType"] = written["ConnectionType"] = "19";
    store.values["TransferredUnit"] = written["TransferredUnit"] = "7";
    store.values["TransferredUnitHis"] = written["TransferredUnitHis"] = "9";
    for (int start = 0; start < 5; ++start) load();
    for (const auto& [name, text] : written) EXPECT_EQ(store.values[name], text) << name;
    EXPECT_EQ(state.settings.TransferredUnit, 7);
    EXPECT_EQ(state.settings.TransferredUnitHis, 9);
}

TEST_F(SettingsStoreTest, OutOfRangeAndUnreadableValuesTakeTheirDefaults) {
    store.values["Transparency"] = "95";
    store.values["WindowX"] = "20000";
    store.values["WindowY"] = "-10000";
    store.values["GraphBuffer"] = "199";
    store.values["LocalPort"] = "65536";
    store.values["TransferUnit"] = "abc";
    store.values["TransferDec"] = "3.5";
    store.values["LogWriteInt"] = "12x";
    store.values["GraphHeight"] = "99999999999";
    store.values["vGridInt"] = "";
    store.values["SoftGraph"] = " 0 ";
    store.values["SysTrayColorUpload"] = "-5";
    store.values["ShowInfo"] = "1";
    store.other_type.insert("ShowInfo");
    store.values["ClientName"] = "pc";
    store.other_type.insert("ClientName");
    store.values["RemoteIP"] = std::string("127.0.0.1\0junk", 14);
    const Settings& s = load();
    EXPECT_EQ(s.Transparency, 0);
    EXPECT_EQ(s.WindowX, 9999999);
    EXPECT_EQ(s.WindowY, -10000);
    EXPECT_EQ(s.GraphBuffer, 1840);
    EXPECT_EQ(s.LocalPort, 1888);
    EXPECT_EQ(s.TransferUnit, 11);
    EXPECT_EQ(s.TransferDec, 0);
    EXPECT_EQ(s.LogWriteInt, 1);
    EXPECT_EQ(s.GraphHeight, 117);
    EXPECT_EQ(s.vGridInt, 30);
    EXPECT_EQ(s.SoftGraph, 0) << "blanks around a number are accepted";
    EXPECT_EQ(s.SysTrayColorUpload, -5) << "the tray colours have no range";
    EXPECT_EQ(s.ShowInfo, 2) << "a value of another type reads as absent";
    EXPECT_EQ(s.ClientName, "");
    EXPECT_EQ(s.RemoteIP, "127.0.0.1") << "a string ends at its first NUL";
    EXPECT_EQ(store.values["Transparency"], "0");
    EXPECT_EQ(store.values["TransferUnit"], "11");
}

TEST_F(SettingsStoreTest, AdapterDefaultDependsOnTheAdaptersFoundAndAnAbsentAdapterIsKept) {
    state.found_adapters = 1;
    EXPECT_EQ(load().Adapter, 1);
    store.values.clear();
    state.found_adapters = 3;
    EXPECT_EQ(load().Adapter, 2);
    store.values["Adapter"] = "0";
    EXPECT_EQ(load().Adapter, 0);
    // A start before the network is up: the monitored adapter is not there yet, and stays.
    state.found_adapters = 1;
    store.values["Adapter"] = "4";
    EXPECT_EQ(load().Adapter, 4);
    EXPECT_EQ(store.values["Adapter"], "4");
    store.values["Adapter"] = "15";
    EXPECT_EQ(load().Adapter, 15);
    store.values["Adapter"] = "16";
    EXPECT_EQ(load().Adapter, 1);
}

TEST_F(SettingsStoreTest, ConnectionTypeRules) {
    store.values["ConnectionType"] = "19";
    store.values["ConnectionCustom"] = "0";
    store.values["ConnectionTypeUp"] = "20";
    store.values["ConnectionCustomUp"] = "0";
    load();
    EXPECT_EQ(state.settings.ConnectionSpeed, 0);
    EXPECT_EQ(state.settings.ConnectionSpeedUp, 1);

    store.values["ConnectionType"] = "18";
    store.values["ConnectionCustom"] = "300";
    load();
    EXPECT_EQ(state.settings.ConnectionType, 19);
    EXPECT_EQ(state.settings.ConnectionSpeed, 300);
    EXPECT_EQ(store.values["ConnectionType"], "19");

    // "1000 mbps (LAN)" without a custom speed keeps its own speed.
    store.values["ConnectionType"] = "18";
    store.values["ConnectionCustom"] = "0";
    load();
    EXPECT_EQ(state.settings.ConnectionType, 18);
    EXPECT_EQ(state.settings.ConnectionSpeed, 1024000);

    store.values["ConnectionType"] = "25";  // 100 gbps, after "Custom"
    load();
    EXPECT_EQ(state.settings.ConnectionSpeed, 104857600);

    // A listed type overrides a stale stored speed; upstream 0 follows the downstream speed.
    store.values["ConnectionType"] = "5";
    store.values["ConnectionSpeed"] = "999";
    store.values["ConnectionTypeUp"] = "0";
    store.values["ConnectionSpeedUp"] = "7";
    load();
    EXPECT_EQ(state.settings.ConnectionSpeed, 64);
    EXPECT_EQ(state.settings.ConnectionSpeedUp, 64);

    store.values["ConnectionTypeUp"] = "4";
    store.values["ConnectionSpeedUp"] = "34";
    store.values["ConnectionCustomUp"] = "500";
    load();
    EXPECT_EQ(state.settings.ConnectionSpeedUp, 34);
    store.values["ConnectionTypeUp"] = "20";
    load();
    EXPECT_EQ(state.settings.ConnectionSpeedUp, 500);
}

TEST_F(SettingsStoreTest, TranslucencyResetsTheTransparentBackground) {
    store.values["Transparency"] = "90";
    store.values["TransBack"] = "1";
    load();
    EXPECT_EQ(hooks.translucent, std::vector<int>{26});
    EXPECT_EQ(state.settings.TransBack, 0);
    EXPECT_EQ(store.values["TransBack"], "0");

    store.values["Transparency"] = "50";
    hooks.translucent.clear();
    load();
    EXPECT_EQ(hooks.translucent, std::vector<int>{128});

    store.values["Transparency"] = "0";
    store.values["TransBack"] = "1";
    hooks.translucent.clear();
    load();
    EXPECT_TRUE(hooks.translucent.empty());
    EXPECT_EQ(hooks.transparent_background.back(), true);
    EXPECT_EQ(state.settings.TransBack, 1);
}

TEST_F(SettingsStoreTest, FrameColoursComeFromTheDesktopOrDefaults) {
    load();
    EXPECT_EQ(state.settings.ButtonShadow, rgb(128, 128, 128));
    EXPECT_EQ(state.settings.ButtonHilight, rgb(255, 255, 255));
    hooks.shadow = rgb(1, 2, 3);
    hooks.hilight = rgb(4, 5, 6);
    load();
    EXPECT_EQ(state.settings.ButtonShadow, rgb(1, 2, 3));
    EXPECT_EQ(state.settings.ButtonHilight, rgb(4, 5, 6));
}

TEST_F(SettingsStoreTest, OlderItemCountMovesToTheItemList) {
    store.values["FormItems"] = "3";
    store.values["AdvItems"] = "1";
    store.values["FormItem(1).Name"] = "Month";
    store.values["FormItem(1).Enabled"] = "1";
    store.values["FormItem(1).Type"] = "2";
    store.values["FormItem(1).Period"] = "4";
    store.values["FormItem(1).Adapter"] = "300";
    store.values["FormItem(3).Type"] = "3";
    const Settings& s = load();
    EXPECT_EQ(s.AdvItems, 3);
    EXPECT_EQ(s.ShowAdvItems, 1);
    EXPECT_EQ(store.values["FormItems"], "0");
    EXPECT_EQ(store.values["AdvItems"], "3");
    ASSERT_EQ(s.custom_items.size(), 3u);
    EXPECT_EQ(s.custom_items[0].Name, "Month");
    EXPECT_EQ(s.custom_items[0].Type, 2);
    EXPECT_EQ(s.custom_items[0].Period, 4);
    EXPECT_EQ(s.custom_items[0].Adapter, 0) << "a number beyond 8 bits reads as 0";
    EXPECT_EQ(s.custom_items[1].Name, "");
    EXPECT_EQ(s.custom_items[2].Type, 3);
    EXPECT_EQ(store.values["FormItem(2).Name"], "");
    EXPECT_EQ(store.values["FormItem(3).Type"], "3");
    EXPECT_EQ(load().AdvItems, 3) << "stable on the next start";

    // More items than the list holds keeps the count readable on the next start.
    store.values["FormItems"] = "999";
    EXPECT_EQ(load().AdvItems, 255);
    EXPECT_EQ(load().AdvItems, 255);
}

TEST_F(SettingsStoreTest, EmptyNamesReadAsTheirDefaults) {
    store.values["CusPerName"] = "";
    store.values["SyncTxt"] = "";
    store.values["ColorPreset"] = "";
    store.values["FoundUpdate"] = "";
    const Settings& s = load();
    EXPECT_EQ(s.CusPerName, "User defined");
    EXPECT_EQ(s.SyncTxt, "Last synchronization: n/a");
    EXPECT_EQ(s.ColorPreset, "Default");
    EXPECT_EQ(store.values["CusPerName"], "User defined");
}

TEST_F(SettingsStoreTest, DatesAreWholeDayNumbersAndSyncTimeText) {
    store.values["CusPerFrom"] = "38353";
    store.values["CusPerTo"] = "100000";
    store.values["SyncLast"] = "2026-02-29 10:00:00";
    load();
    EXPECT_EQ(state.settings.CusPerFrom, 38353);
    EXPECT_EQ(state.settings.CusPerTo, today());
    EXPECT_FALSE(state.settings.SyncLast.has_value()) << "not a date";

    state.settings.CusPerStart = 38353.75;
    state.settings.SyncLast = make_date(2026, 6, 1, 8, 30, 15);
    save_settings(state, services);
    EXPECT_EQ(store.values["CusPerStart"], "38353");
    EXPECT_EQ(store.values["SyncLast"], "2026-06-01 08:30:15");
    load();
    ASSERT_TRUE(state.settings.SyncLast.has_value());
    EXPECT_NEAR(*state.settings.SyncLast, make_date(2026, 6, 1, 8, 30, 15), 1e-9);

    // Single values written at once, by their stored names.
    state.settings.SyncLast = make_date(2026, 7, 2, 0, 0, 1);
    state.settings.FoundUpdate = "2.0";
    const int before = store.write_count;
    EXPECT_TRUE(write_single_setting(store, state.settings, "SyncLast"));
    EXPECT_TRUE(write_single_setting(store, state.settings, "FoundUpdate"));
    EXPECT_FALSE(write_single_setting(store, state.settings, "NoSuchValue"));
    EXPECT_EQ(store.write_count, before + 2);
    EXPECT_EQ(store.values["SyncLast"], "2026-07-02 00:00:01");
    EXPECT_EQ(store.values["FoundUpdate"], "2.0");
}

TEST_F(SettingsStoreTest, AutostartEntryFollowsTheSetting) {
    load();
    EXPECT_EQ(read_text_file(autostart_file()),
              "[Desktop Entry]\nType=Application\nName=Kelvanto\nComment=Network traffic monitor\n"
              "Exec=/opt/kelvanto/kelvanto /minimized\nTerminal=false\nX-GNOME-Autostart-enabled=true\n");
    state.settings.AutoStartMinimized = 0;
    save_settings(state, services);
    const auto text = read_text_file(autostart_file()).value_or("");
    EXPECT_NE(text.find("\nExec=/opt/kelvanto/kelvanto\n"), std::string::npos) << text;
    state.settings.Autostart = 0;
    save_settings(state, services);
    EXPECT_FALSE(std::filesystem::exists(native_path(autostart_file())));
    save_settings(state, services);  // removing a missing entry is fine
    EXPECT_FALSE(std::filesystem::exists(native_path(autostart_file())));
}

TEST_F(SettingsStoreTest, SaveTrimsGraphBuffersAndNarrowsAWideWindow) {
    store.values["GraphBuffer"] = "200";
    for (AdapterState& a : state.adapters) {
        a.download_graph.fill(1.0);
        a.upload_graph.fill(1.0);
        a.download_history.fill(1.0);
        a.upload_history.fill(1.0);
    }
    state.window.client_width = 150;
    load();
    EXPECT_EQ(hooks.shrink, 0);
    for (const AdapterState& a : state.adapters) {
        for (const SampleBuffer* b : {&a.download_graph, &a.upload_graph, &a.download_history, &a.upload_history}) {
            EXPECT_EQ((*b)[200], 1.0);
            EXPECT_EQ((*b)[201], 0.0);
            EXPECT_EQ((*b)[kSampleCount - 1], 0.0);
        }
    }
    state.window.client_width = 201;
    store_settings(state, services);
    EXPECT_EQ(hooks.shrink, 1);
    state.window.minimized = true;
    store_settings(state, services);
    EXPECT_EQ(hooks.shrink, 1) << "a minimised window is left alone";
}

TEST_F(SettingsStoreTest, ColourPresetComesFromThePresetFile) {
    const std::string path = preset_file_path(state.data_dir);
    ColourScheme night;
    night.Background = rgb(0, 0, 0);
    night.Values = rgb(255, 255, 255);
    ASSERT_TRUE(write_preset(path, "Night", night));
    ASSERT_TRUE(write_preset(path, "Day", ColourScheme{}));
    {
        std::ofstream append(native_path(path), std::ios::app | std::ios::binary);
        append << "\r\n\r\n[Partial]\r\nBackground=255\r\n\r\n";
    }
    store.values["ColorPreset"] = "Night";
    EXPECT_EQ(load().colours, night);
    EXPECT_EQ(state.settings.ColorPreset, "Night");
    const std::string text = read_text_file(path).value_or("");
    EXPECT_EQ(text.find("\r\n\r\n\r\n"), std::string::npos) << "the file is tidied at load";
    EXPECT_NE(text.find("TextLabel=5592405\r\n\r\n[Partial]\r\nBackground=255\r\n"), std::string::npos) << text;

    store.values["ColorPreset"] = "Partial";
    ColourScheme partial{};
    for (int n = 0; n < kColourRoles; ++n) colour_role(partial, n) = 0;
    partial.Background = 255;
    EXPECT_EQ(load().colours, partial) << "missing keys read as black";

    store.values["ColorPreset"] = "night";
    EXPECT_EQ(load().colours, ColourScheme{}) << "preset names are compared exactly";
    EXPECT_EQ(state.settings.ColorPreset, "Default");
    EXPECT_EQ(store.values["ColorPreset"], "Default");
}

TEST_F(SettingsStoreTest, WithoutAStoreEverySettingTakesItsDefault) {
    Services bare{tables, clock, dialogs};
    state.settings.Transparency = 40;
    load_settings(state, bare);
    EXPECT_EQ(state.settings.Transparency, 0);
    EXPECT_EQ(state.settings.GraphBuffer, 1840);
}

TEST(SettingsReads, RangesIncludeTheirEndsAndKeepAnOutOfRangeDefault) {
    MemorySettings store;
    store.values["a"] = "10";
    store.values["b"] = "-2147483648";
    EXPECT_EQ(read_number(store, "a", 0, 10, 5), 10);
    EXPECT_EQ(read_number(store, "a", 10, 20, 5), 10);
    EXPECT_EQ(read_number(store, "a", 11, 20, 5), 5);
    EXPECT_EQ(read_number(store, "missing", 0, 1, 9999999), 9999999);
    EXPECT_EQ(read_number_unchecked(store, "b", 0), -2147483647 - 1);
    store.values["c"] = "2147483648";
    EXPECT_EQ(read_number_unchecked(store, "c", 4), 4);
    EXPECT_EQ(read_string(store, "missing"), "");
    write_value(store, "d", 42);
    EXPECT_EQ(store.values["d"], "42");
}

}  // namespace
