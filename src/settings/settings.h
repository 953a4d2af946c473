#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "settings/form_item.h"

// Packs a colour as red + 256 * green + 65536 * blue.
constexpr std::uint32_t rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return r + 256u * g + 65536u * b;
}

// The twelve colour roles of the main window, in preset-file order.
struct ColourScheme {
    std::uint32_t Background = rgb(225, 225, 255);
    std::uint32_t Header = rgb(85, 85, 85);
    std::uint32_t Description = rgb(85, 85, 85);
    std::uint32_t Values = rgb(0, 0, 0);
    std::uint32_t Seperator = rgb(190, 190, 255);
    std::uint32_t GraphUp = rgb(255, 0, 0);
    std::uint32_t GraphAverageUp = rgb(255, 190, 190);
    std::uint32_t GraphDown = rgb(0, 0, 255);
    std::uint32_t GraphAverageDown = rgb(190, 190, 255);
    std::uint32_t GridLine = rgb(200, 200, 255);
    std::uint32_t DownloadUpload = rgb(255, 255, 0);
    std::uint32_t TextLabel = rgb(85, 85, 85);
    friend bool operator==(const ColourScheme&, const ColourScheme&) = default;
};

inline constexpr int kHistoryTabs = 5;
inline constexpr int kHistoryColumns = 4;
inline constexpr double kWindowPositionUnset = 9999999;
// A history column without a stored width: it fits its widest value.
inline constexpr std::int32_t kColumnWidthUnset = 9999999;

// Every persistent setting, in memory. Field names follow the stored value names (blanks,
// dots and parentheses dropped). The defaults are those of a first start.
struct Settings {
    // Mail
    std::string EmailAlertDefault;  // receiver of alert mails
    std::string EmailAlertMail;     // sender of alert mails
    std::string EmailAlertSMTP;
    std::uint8_t EmailSubBody = 0;
    std::uint8_t EmailAuth = 0;
    std::string EmailUsername;
    std::string EmailPassword;
    std::uint8_t EmailSecurity = 0;  // MailSecurity: automatic, STARTTLS required, TLS, none

    // Units and overview lines
    std::uint8_t TransferUnit = 11;
    std::uint8_t TransferredUnitHis = 11;
    std::uint8_t TransferredUnit = 11;
    std::uint8_t BandwidthCalc = 1;  // "Bandwidth Calc."
    std::uint8_t TransferOverView1 = 0;  // "Transfer OverView No. 1"
    std::uint8_t TransferOverView2 = 8;  // "Transfer OverView No. 2"
    std::int32_t Adapter = 2;

    // Window
    std::uint8_t AlwaysOnTop = 1;  // "Always on top"
    std::uint8_t Autostart = 1;
    std::uint8_t AutoStartMinimized = 1;
    std::uint8_t Transparency = 0;
    std::string ColorPreset = "Default";
    ColourScheme colours;

    // Shown sections and history sorting
    std::uint8_t ShowDownload = 1;
    std::uint8_t ShowUpload = 1;
    std::uint8_t ShowTransferOverView1 = 1;  // "Show Transfer OverView No. 1"
    std::uint8_t ShowTransferOverView2 = 1;  // "Show Transfer OverView No. 2"
    std::uint8_t ShowGraph = 1;
    std::uint8_t ShowUploadDownload = 0;
    std::array<std::uint8_t, kHistoryTabs> lvwSortKey{0, 0, 0, 0, 0};
    std::array<std::uint8_t, kHistoryTabs> lvwSortOrder{0, 1, 1, 1, 1};
    std::int32_t GraphHeight = 117;

    // Connection speed (kbps)
    std::uint8_t ConnectionType = 0;
    std::int32_t ConnectionCustom = 0;
    std::int32_t ConnectionSpeed = 0;
    std::uint8_t ConnectionTypeUp = 0;
    std::int32_t ConnectionCustomUp = 0;
    std::int32_t ConnectionSpeedUp = 0;

    // Window and history-window geometry (pixels)
    std::int32_t WindowWidth = 199;
    std::int32_t WindowX = 9999999;
    std::int32_t WindowY = 9999999;
    std::int32_t frmHistoryLeft = 9999999;
    std::int32_t frmHistoryTop = 9999999;
    std::int32_t frmHistoryWidth = 391;
    std::int32_t frmHistoryHeight = 324;
    std::uint8_t frmHistoryState = 0;
    // [tab 0..4][column 0..3] for frmHistoryColWidth(1..5,1..4); unset until the user sizes one
    std::array<std::array<std::int32_t, kHistoryColumns>, kHistoryTabs> frmHistoryColWidth{{
        {kColumnWidthUnset, kColumnWidthUnset, kColumnWidthUnset, kColumnWidthUnset},
        {kColumnWidthUnset, kColumnWidthUnset, kColumnWidthUnset, kColumnWidthUnset},
        {kColumnWidthUnset, kColumnWidthUnset, kColumnWidthUnset, kColumnWidthUnset},
        {kColumnWidthUnset, kColumnWidthUnset, kColumnWidthUnset, kColumnWidthUnset},
        {kColumnWidthUnset, kColumnWidthUnset, kColumnWidthUnset, kColumnWidthUnset}}};

    // Graph, update and tray
    std::uint8_t CheckForUpdate = 1;
    std::string FoundUpdate;
    std::uint8_t AverageMaxType = 1;
    std::uint8_t vGrid = 0;
    std::int32_t vGridInt = 30;
    std::uint8_t GraphType = 0;
    std::uint8_t vGridTop = 0;
    std::uint8_t AverageShow = 0;
    std::uint8_t AverageTop = 0;
    std::uint8_t SysTrayToolTip = 1;
    std::uint8_t SysTrayGraph = 1;
    std::int32_t SysTrayColorBackground = static_cast<std::int32_t>(rgb(0, 128, 0));
    std::int32_t SysTrayColorDownload = static_cast<std::int32_t>(rgb(0, 255, 0));
    std::int32_t SysTrayColorUpload = static_cast<std::int32_t>(rgb(255, 255, 0));
    std::uint8_t TransBack = 0;

    // Logging, formatting, periods and tray scales
    std::uint8_t Border = 1;
    std::int32_t LogWriteInt = 1;
    std::uint8_t TransferDec = 0;
    std::uint8_t TransferredDec = 2;
    std::uint8_t TransferredDecHis = 2;
    std::int32_t GraphBuffer = 1840;
    std::uint8_t FirstDayOfWeek = 0;
    std::uint8_t SoftGraph = 1;
    std::uint8_t FormItemsCreated = 0;
    double CusPerFrom = 0;   // whole day numbers; 0 until loaded (load sets today)
    double CusPerTo = 0;
    double CusPerStart = 0;
    std::string CusPerName = "User defined";
    std::uint8_t CusPerUnit = 2;
    std::int32_t LockedWidth = 199;
    std::uint8_t SysDl = 0;
    std::uint8_t SysUl = 0;
    std::int32_t SysDlSpeed = 0;
    std::int32_t SysUlSpeed = 0;
    std::uint8_t CusPerDay = 0;
    std::int32_t CusPerDays = 1;
    std::uint8_t CusMonthStart = 1;
    std::uint8_t ShowInfo = 2;
    std::uint8_t ShowAdvItems = 0;
    double CapAmount = 0.0;  // data cap of the user-defined period, may have a fraction; 0 = no cap
    std::uint8_t CapUnit = 2;    // its unit: 0 KB, 1 MB, 2 GB, 3 TB

    // Time synchronisation and remote monitoring
    std::uint8_t SyncAuto = 0;
    std::uint8_t SyncSrv = 0;
    std::string SyncHost;  // a time server typed on the Time Sync page; empty: SyncSrv's
    std::uint8_t SyncInt = 3;
    std::string SyncTxt = "Last synchronization: n/a";
    std::optional<double> SyncLast;  // date; unset when never synchronised
    std::uint8_t LocalAccept = 0;
    std::int32_t LocalPort = 1888;
    std::uint8_t LocalMaxCon = 1;
    std::string LocalPassword;
    std::uint8_t RemoteOut = 0;
    std::string RemoteIP;
    std::int32_t RemotePort = 1888;
    std::string RemotePassword;
    std::string ClientName;
    std::uint8_t LastExportFormat = 1;
    std::string OptionsPage;  // the page the options dialog showed when it was last closed

    // Per-adapter logging and overview items
    std::array<std::uint8_t, 7> LogAdapter{};  // index 1..6
    std::int32_t AdvItems = 0;
    std::int32_t FormItems = 0;
    std::vector<FormItem> custom_items;  // the custom list, item i at index i-1
    std::uint8_t MinuteLogging = 1;
    // Container and virtual interfaces (docker0, br-*, veth* ...) get adapter numbers too.
    std::uint8_t CountVirtualAdapters = 0;

    // Metrics endpoint: HTTP port (0 = off) and the address it listens on
    std::int32_t MetricsPort = 0;
    std::string MetricsAddress = "127.0.0.1";

    // Derived at load, not stored under their own names.
    std::int32_t graph_length = 1840;  // working graph length, set from GraphBuffer
    std::uint32_t ButtonShadow = rgb(128, 128, 128);
    std::uint32_t ButtonHilight = rgb(255, 255, 255);
};

// Whether adapter i (1..6) belongs to the aggregate "Multiple adapters".
inline bool in_aggregate(const Settings& s, int i) {
    return i >= 1 && i <= 6 && s.LogAdapter[static_cast<std::size_t>(i)] == 1;
}
