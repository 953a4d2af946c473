#include "settings/settings_table.h"

#include <memory>

#include "settings/connection_types.h"

namespace {

constexpr std::int32_t kLargestSpeed = 999999999;
constexpr std::int32_t kLargestPixels = 10000;
constexpr std::int32_t kLargestDayNumber = 99999;
constexpr std::int32_t kUnsetPosition = 9999999;
constexpr std::int32_t kLargestCap = 999999999;

// Appends rows in load order.
struct TableBuilder {
    std::vector<SettingDef> rows;

    template <typename Field>
    void number(std::string name, Field& field, std::int32_t min, std::int32_t max, std::int32_t def,
                AfterRead after = AfterRead::none) {
        rows.push_back(SettingDef{std::move(name), SettingKind::number, &field, min, max, def, {}, after});
    }
    void decimal(std::string name, double& field, std::int32_t min, std::int32_t max, std::int32_t def) {
        rows.push_back(SettingDef{std::move(name), SettingKind::decimal, &field, min, max, def, {}, AfterRead::none});
    }
    void flag(std::string name, std::uint8_t& field, std::int32_t def, AfterRead after = AfterRead::none) {
        number(std::move(name), field, 0, 1, def, after);
    }
    void unchecked(std::string name, std::int32_t& field, std::int32_t def) {
        rows.push_back(SettingDef{std::move(name), SettingKind::unchecked, &field, 0, 0, def, {}, AfterRead::none});
    }
    void text(std::string name, std::string& field, std::string def = {}, AfterRead after = AfterRead::none) {
        const SettingKind kind = def.empty() ? SettingKind::text : SettingKind::text_or_default;
        rows.push_back(SettingDef{std::move(name), kind, &field, 0, 0, 0, std::move(def), after});
    }
    void day(std::string name, double& field) {
        rows.push_back(SettingDef{std::move(name), SettingKind::day_number, &field, 0, kLargestDayNumber, 0, {},
                                  AfterRead::none});
    }
    void date_time(std::string name, std::optional<double>& field) {
        rows.push_back(SettingDef{std::move(name), SettingKind::date_time, &field, 0, 0, 0, {}, AfterRead::none});
    }
    void adapter(std::string name, std::int32_t& field) {
        rows.push_back(SettingDef{std::move(name), SettingKind::adapter, &field, 0, 0, 0, {}, AfterRead::none});
    }
};

}  // namespace

std::string form_item_value_name(int item, const char* field) {
    return "FormItem(" + std::to_string(item) + ")." + field;
}

std::vector<SettingDef> settings_table(Settings& s) {
    TableBuilder t;

    // Mail
    t.text("EmailAlertDefault", s.EmailAlertDefault);
    t.text("EmailAlertMail", s.EmailAlertMail);
    t.text("EmailAlertSMTP", s.EmailAlertSMTP);
    t.flag("EmailSubBody", s.EmailSubBody, 0);
    t.flag("EmailAuth", s.EmailAuth, 0);
    t.text("EmailUsername", s.EmailUsername);
    t.text("EmailPassword", s.EmailPassword);
    t.number("EmailSecurity", s.EmailSecurity, 0, 3, 0);

    // Units and overview lines
    t.number("TransferUnit", s.TransferUnit, 0, 11, 11);
    t.number("TransferredUnitHis", s.TransferredUnitHis, 0, 11, 11);
    t.number("TransferredUnit", s.TransferredUnit, 0, 11, 11);
    t.number("Bandwidth Calc.", s.BandwidthCalc, 1, 10, 1);
    t.number("Transfer OverView No. 1", s.TransferOverView1, 0, 10, 0);
    t.number("Transfer OverView No. 2", s.TransferOverView2, 0, 10, 8);
    t.adapter("Adapter", s.Adapter);

    // Window
    t.flag("Always on top", s.AlwaysOnTop, 1);
    t.flag("Autostart", s.Autostart, 1);
    t.flag("AutoStartMinimized", s.AutoStartMinimized, 1);
    t.number("Transparency", s.Transparency, 0, 90, 0);
    t.text("ColorPreset", s.ColorPreset, "Default", AfterRead::colour_preset);

    // Shown sections and history sorting
    t.flag("ShowDownload", s.ShowDownload, 1);
    t.flag("ShowUpload", s.ShowUpload, 1);
    t.flag("Show Transfer OverView No. 1", s.ShowTransferOverView1, 1);
    t.flag("Show Transfer OverView No. 2", s.ShowTransferOverView2, 1);
    t.flag("ShowGraph", s.ShowGraph, 1);
    t.flag("ShowUploadDownload", s.ShowUploadDownload, 0);
    for (std::size_t n = 0; n < kHistoryTabs; ++n) {
        t.number("lvwSortKey" + std::to_string(n), s.lvwSortKey[n], 0, 2, 0);
        t.flag("lvwSortOrder" + std::to_string(n), s.lvwSortOrder[n], n == 0 ? 0 : 1);
    }
    t.number("GraphHeight", s.GraphHeight, 1, kLargestPixels, 117);

    // Connection speed (kbps)
    t.number("ConnectionType", s.ConnectionType, 0, kConnectionTypes - 1, 0);
    t.number("ConnectionCustom", s.ConnectionCustom, 0, kLargestSpeed, 0);
    t.number("ConnectionSpeed", s.ConnectionSpeed, 0, kLargestSpeed, 0, AfterRead::downstream_speed);
    t.number("ConnectionTypeUp", s.ConnectionTypeUp, 0, kConnectionTypes, 0);
    t.number("ConnectionCustomUp", s.ConnectionCustomUp, 0, kLargestSpeed, 0);
    t.number("ConnectionSpeedUp", s.ConnectionSpeedUp, 0, kLargestSpeed, 0, AfterRead::upstream_speed);

    // Window and history-window geometry (pixels)
    t.number("WindowWidth", s.WindowWidth, 50, kLargestPixels, 199);
    t.number("WindowX", s.WindowX, -kLargestPixels, kLargestPixels, kUnsetPosition);
    t.number("WindowY", s.WindowY, -kLargestPixels, kLargestPixels, kUnsetPosition);
    t.number("frmHistoryLeft", s.frmHistoryLeft, -kLargestPixels, kLargestPixels, kUnsetPosition);
    t.number("frmHistoryTop", s.frmHistoryTop, -kLargestPixels, kLargestPixels, kUnsetPosition);
    t.number("frmHistoryWidth", s.frmHistoryWidth, 0, kLargestPixels, 391);
    t.number("frmHistoryHeight", s.frmHistoryHeight, 0, kLargestPixels, 324);
    t.number("frmHistoryState", s.frmHistoryState, 0, 2, 0);
    // Like the positions, the default lies outside the range: it reads back as "not set".
    for (std::size_t tab = 0; tab < kHistoryTabs; ++tab)
        for (std::size_t col = 0; col < kHistoryColumns; ++col)
            t.number("frmHistoryColWidth(" + std::to_string(tab + 1) + "," + std::to_string(col + 1) + ")",
                     s.frmHistoryColWidth[tab][col], 0, kLargestPixels, kColumnWidthUnset);

    // Graph, update and tray
    t.flag("CheckForUpdate", s.CheckForUpdate, 1);
    t.text("FoundUpdate", s.FoundUpdate);
    t.flag("AverageMaxType", s.AverageMaxType, 1);
    t.flag("vGrid", s.vGrid, 0);
    t.number("vGridInt", s.vGridInt, 0, 999, 30);
    t.flag("GraphType", s.GraphType, 0);
    t.flag("vGridTop", s.vGridTop, 0);
    t.flag("AverageShow", s.AverageShow, 0);
    t.flag("AverageTop", s.AverageTop, 0);
    t.flag("SysTrayToolTip", s.SysTrayToolTip, 1);
    t.flag("SysTrayGraph", s.SysTrayGraph, 1);
    t.unchecked("SysTrayColorBackground", s.SysTrayColorBackground, static_cast<std::int32_t>(rgb(0, 128, 0)));
    t.unchecked("SysTrayColorDownload", s.SysTrayColorDownload, static_cast<std::int32_t>(rgb(0, 255, 0)));
    t.unchecked("SysTrayColorUpload", s.SysTrayColorUpload, static_cast<std::int32_t>(rgb(255, 255, 0)));
    t.flag("TransBack", s.TransBack, 0, AfterRead::window_transparency);

    // Logging, formatting, periods and tray scales
    t.flag("Border", s.Border, 1);
    t.number("LogWriteInt", s.LogWriteInt, 1, 999, 1);
    t.number("TransferDec", s.TransferDec, 0, 9, 0);
    t.number("TransferredDec", s.TransferredDec, 0, 9, 2);
    t.number("TransferredDecHis", s.TransferredDecHis, 0, 9, 2);
    t.number("GraphBuffer", s.GraphBuffer, 200, 1840, 1840);
    t.number("FirstDayOfWeek", s.FirstDayOfWeek, 0, 7, 0);
    t.flag("SoftGraph", s.SoftGraph, 1);
    t.flag("FormItemsCreated", s.FormItemsCreated, 0);
    t.day("CusPerFrom", s.CusPerFrom);
    t.day("CusPerTo", s.CusPerTo);
    t.day("CusPerStart", s.CusPerStart);
    t.text("CusPerName", s.CusPerName, "User defined");
    t.number("CusPerUnit", s.CusPerUnit, 0, 2, 2);
    t.number("LockedWidth", s.LockedWidth, 0, kLargestPixels, 199);
    t.flag("SysDl", s.SysDl, 0);
    t.flag("SysUl", s.SysUl, 0);
    t.number("SysDlSpeed", s.SysDlSpeed, 0, kLargestSpeed, 0);
    t.number("SysUlSpeed", s.SysUlSpeed, 0, kLargestSpeed, 0);
    t.number("CusPerDay", s.CusPerDay, 0, 3, 0);
    t.number("CusPerDays", s.CusPerDays, 1, kLargestSpeed, 1);
    t.number("CusMonthStart", s.CusMonthStart, 1, 31, 1);
    t.number("ShowInfo", s.ShowInfo, 0, 2, 2);
    t.flag("ShowAdvItems", s.ShowAdvItems, 0);
    t.decimal("CapAmount", s.CapAmount, 0, kLargestCap, 0);
    t.number("CapUnit", s.CapUnit, 0, 3, 2);

    // Time synchronisation and remote monitoring
    t.flag("SyncAuto", s.SyncAuto, 0);
    t.number("SyncSrv", s.SyncSrv, 0, 14, 0);
    t.text("SyncHost", s.SyncHost);
    t.number("SyncInt", s.SyncInt, 0, 6, 3);
    t.text("SyncTxt", s.SyncTxt, "Last synchronization: n/a");
    t.date_time("SyncLast", s.SyncLast);
    t.flag("LocalAccept", s.LocalAccept, 0);
    t.number("LocalPort", s.LocalPort, 1, 65535, 1888);
    t.number("LocalMaxCon", s.LocalMaxCon, 1, 10, 1);
    t.text("LocalPassword", s.LocalPassword);
    t.flag("RemoteOut", s.RemoteOut, 0);
    t.text("RemoteIP", s.RemoteIP);
    t.number("RemotePort", s.RemotePort, 1, 65535, 1888);
    t.text("RemotePassword", s.RemotePassword);
    t.text("ClientName", s.ClientName);
    t.number("LastExportFormat", s.LastExportFormat, 1, 2, 1);
    t.text("OptionsPage", s.OptionsPage);

    // Per-adapter logging and overview items
    for (std::size_t n = 1; n <= 6; ++n) t.flag("LogAdapter" + std::to_string(n), s.LogAdapter[n], 0);
    t.number("AdvItems", s.AdvItems, 0, 255, 0);
    t.number("FormItems", s.FormItems, 0, 999, 0, AfterRead::overview_items);
    t.flag("MinuteLogging", s.MinuteLogging, 1);
    t.flag("CountVirtualAdapters", s.CountVirtualAdapters, 0);

    // Metrics endpoint
    t.number("MetricsPort", s.MetricsPort, 0, 65535, 0);
    t.text("MetricsAddress", s.MetricsAddress, "127.0.0.1");

    return std::move(t.rows);
}

std::optional<SettingRange> setting_range(const std::string& name) {
    const auto scratch = std::make_unique<Settings>();
    for (const SettingDef& d : settings_table(*scratch)) {
        if (d.name == name && d.kind == SettingKind::number) return SettingRange{d.min, d.max};
    }
    return std::nullopt;
}
