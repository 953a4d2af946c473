#include "core/option_pages.h"

#include <utility>

#include "net/time_sync.h"
#include "service/service_control.h"
#include "settings/connection_types.h"

namespace {

#ifdef _WIN32
constexpr const char* kTranslucency = "Translucency (Win2K or better) ";
constexpr const char* kAutostart = "Start with Windows";
#else
// Every system the program runs on here can make its window translucent.
constexpr const char* kTranslucency = "Translucency ";
constexpr const char* kAutostart = "Start with the desktop session";
#endif

using Kind = OptionControlKind;

// Appends the controls of one page, top to bottom.
struct PageBuilder {
    OptionPageDecl page;

    PageBuilder(std::string name, std::string parent = {}, bool own_view = false) {
        page.name = std::move(name);
        page.parent = std::move(parent);
        page.has_own_view = own_view;
    }
    OptionControl& add(Kind kind, std::string caption, std::string setting = {}) {
        OptionControl c;
        c.kind = kind;
        c.caption = std::move(caption);
        c.setting = std::move(setting);
        page.controls.push_back(std::move(c));
        return page.controls.back();
    }
    OptionControl& check(std::string caption, std::string setting) { return add(Kind::check, std::move(caption), std::move(setting)); }
    OptionControl& choice(std::string caption, std::string setting, std::vector<OptionEntry> entries) {
        OptionControl& c = add(Kind::choice, std::move(caption), std::move(setting));
        c.entries = std::move(entries);
        return c;
    }
    OptionControl& radios(std::string caption, std::string setting, std::vector<OptionEntry> entries) {
        OptionControl& c = add(Kind::radios, std::move(caption), std::move(setting));
        c.entries = std::move(entries);
        return c;
    }
    OptionControl& number(std::string caption, std::string setting, std::int32_t empty_value = 0, std::string unit = {}) {
        OptionControl& c = add(Kind::number, std::move(caption), std::move(setting));
        c.empty_value = empty_value;
        c.unit = std::move(unit);
        return c;
    }
    OptionControl& text(std::string caption, std::string setting) { return add(Kind::text, std::move(caption), std::move(setting)); }
    OptionControl& password(std::string caption, std::string setting) {
        return add(Kind::password, std::move(caption), std::move(setting));
    }
    void heading(std::string caption) { add(Kind::heading, std::move(caption)); }
    void note(std::string caption) { add(Kind::note, std::move(caption)); }
    void slot(std::string name) { add(Kind::slot, {}, std::move(name)); }
};

OptionControl& tip(OptionControl& c, std::string tooltip) {
    c.tooltip = std::move(tooltip);
    return c;
}

OptionControl& enabled_while(OptionControl& c, std::string setting, std::int32_t value) {
    c.enabled_by = std::move(setting);
    c.enabled_when = value;
    return c;
}

std::vector<OptionEntry> entries(std::initializer_list<const char*> captions, std::int32_t first = 0) {
    std::vector<OptionEntry> out;
    for (const char* c : captions) out.push_back({c, first++});
    return out;
}

std::vector<OptionEntry> unit_entries() {
    return entries({"b (bits)", "kb (kilobits)", "mb (megabits)", "gb (gigabits)", "tb (terabits)", "Automatic (bits)",
                    "B (bytes)", "KB (kilobytes)", "MB (megabytes)", "GB (gigabytes)", "TB (terabytes)",
                    "Automatic (bytes)"});
}

OptionPageDecl connection_page() {
    PageBuilder p("Connection");
    std::vector<OptionEntry> down;
    for (const int type : kConnectionOrder) down.push_back({kConnectionLabels[static_cast<std::size_t>(type)], type});
    std::vector<OptionEntry> up{{"Same as downstream", 0}};
    for (const OptionEntry& e : down) up.push_back({e.caption, e.value + 1});
    tip(p.choice("Downstream connection type", "ConnectionType", std::move(down)),
        "The speed the graph's full height stands for; Auto follows the highest rate seen");
    p.number("Custom connection speed (kbps)", "ConnectionCustom");
    p.choice("Upstream connection type", "ConnectionTypeUp", std::move(up));
    p.number("Custom connection speed (kbps) ", "ConnectionCustomUp");
    return p.page;
}

OptionPageDecl rates_page() {
    PageBuilder p("Rates", "Connection");
    p.choice("Transferring speed:", "TransferUnit", unit_entries());
    p.choice("Transferred data:", "TransferredUnit", unit_entries());
    std::vector<OptionEntry> seconds{{"1 second", 1}};
    for (int n = 2; n <= 10; ++n) seconds.push_back({std::to_string(n) + " seconds", n});
    tip(p.choice("Calculated from the last", "Bandwidth Calc.", std::move(seconds)),
        "The rates shown are the average of this many seconds (keypad + and - in the main window)");
    p.choice("Decimals of rates:", "TransferDec", numbered_entries(0, 9));
    p.choice("Decimals of amounts:", "TransferredDec", numbered_entries(0, 9));
    return p.page;
}

OptionPageDecl layout_page(const std::vector<std::string>& period_names) {
    PageBuilder p("Layout");
    std::vector<OptionEntry> periods;
    for (std::size_t k = 0; k < period_names.size(); ++k) periods.push_back({period_names[k], static_cast<std::int32_t>(k)});
    const auto standard = [](OptionControl& c) { enabled_while(c, "ShowAdvItems", 0); };
    standard(p.check("Download rate", "ShowDownload"));
    standard(p.check("Upload rate", "ShowUpload"));
    standard(p.check("Transfer OverView 1", "Show Transfer OverView No. 1"));
    standard(p.choice("", "Transfer OverView No. 1", periods));
    standard(p.check("Transfer OverView 2", "Show Transfer OverView No. 2"));
    standard(p.choice("", "Transfer OverView No. 2", periods));
    standard(p.check("Graph", "ShowGraph"));
    standard(p.check("Download/Upload rate", "ShowUploadDownload"));
    p.heading("Style");
    p.check("Show form border", "Border");
    p.check("Enable custom items", "ShowAdvItems");
    p.radios("Middle Information ", "ShowInfo", {{"Show totals", 2}, {"Show IP", 1}, {"Show nothing", 0}});
    return p.page;
}

OptionPageDecl period_page() {
    PageBuilder p("Period", {}, true);
    p.heading("User defined time period ");
    p.text("Name:", "CusPerName");
    p.radios("Form:", "CusPerDay",
             entries({"From a date to a date", "The last", "Monthly, starting on day", "Starting at a date"}));
    enabled_while(p.add(Kind::date, "From:", "CusPerFrom"), "CusPerDay", 0);
    enabled_while(p.add(Kind::date, "To:", "CusPerTo"), "CusPerDay", 0);
    enabled_while(p.number("Last:", "CusPerDays", 1), "CusPerDay", 1);
    enabled_while(p.choice("Unit:", "CusPerUnit", entries({"Minutes", "Hours", "Days"})), "CusPerDay", 1);
    enabled_while(p.choice("Month starts on day:", "CusMonthStart", numbered_entries(1, 31)), "CusPerDay", 2);
    enabled_while(p.add(Kind::date, "Start:", "CusPerStart"), "CusPerDay", 3);
    p.slot("current_period");
    p.add(Kind::decimal, "Data cap:", "CapAmount");
    p.choice("Cap unit:", "CapUnit", entries({"KB", "MB", "GB", "TB"}));
    p.note("The amount the period may use (0: no cap). The main window shows how much of it is used; alert rules can "
           "name a share of it.");
    return p.page;
}

OptionPageDecl graph_page() {
    PageBuilder p("Graph");
    p.radios("Graph type:", "GraphType", entries({"Line graph", "Bar graph"}));
    p.radios("Average and max:", "AverageMaxType", entries({"Visible graph", "Full session"}));
    tip(p.number("Max graph history:", "GraphBuffer", 0, "seconds (200 to 1840)"),
        "How many seconds of traffic the graph keeps; the window is never wider than them");
    p.heading("Lines ");
    p.check("Vertical grid lines", "vGrid");
    p.number("Grid interval (seconds):", "vGridInt");
    p.check("Grid lines on top", "vGridTop");
    p.check("Average lines", "AverageShow");
    p.check("Average lines on top", "AverageTop");
    tip(p.check("Soft graph lines", "SoftGraph"), "Improves the look of the graph lines");
    return p.page;
}

OptionPageDecl window_page() {
    PageBuilder p("Window");
    tip(p.check("Always on top", "Always on top"), "The window and its dialogs stay above other windows");
    p.slot("placement_note");
    p.check(kAutostart, "Autostart");
    p.slot("build_folder_note");
    tip(p.check("Start minimized", "AutoStartMinimized"), "Started with the session, the program shows only its tray icon");
    tip(p.add(Kind::slider, kTranslucency, "Transparency"),
        "How much of the desktop shows through the whole window, in percent");
    enabled_while(tip(p.check("Transparent background", "TransBack"),
                      "Pixels of the Background colour let the desktop show through"),
                  "Transparency", 0);
    p.slot("see_through_note");
    return p.page;
}

OptionPageDecl systray_page() {
    PageBuilder p("Systray");
    p.slot("no_tray_note");
    p.check("Graph in systray", "SysTrayGraph");
    p.check("Transfer rates as tooltip", "SysTrayToolTip");
    p.add(Kind::colour, "Background:", "SysTrayColorBackground");
    p.add(Kind::colour, "Download:", "SysTrayColorDownload");
    p.add(Kind::colour, "Upload:", "SysTrayColorUpload");
    p.heading("Custom graph scale ");
    p.check("Use a different scale than the main graph (download)", "SysDl");
    p.number("Download scale (kbps):", "SysDlSpeed");
    p.check("Use a different scale than the main graph (upload)", "SysUl");
    p.number("Upload scale (kbps):", "SysUlSpeed");
    return p.page;
}

OptionPageDecl mail_page() {
    PageBuilder p("E-mail", "Alerts");
    p.text("Sender:", "EmailAlertMail");
    p.text("Receiver:", "EmailAlertDefault");
    p.text("SMTP server:", "EmailAlertSMTP");
    // In the order of the setting's values (MailSecurity).
    tip(p.choice("Encryption:", "EmailSecurity",
                 entries({"Automatic (STARTTLS when offered)", "STARTTLS required", "TLS from the first byte", "None"})),
        "Automatic: TLS from the first byte on port 465, elsewhere STARTTLS whenever the server offers it. \"STARTTLS "
        "required\" never sends in clear.");
    p.check("Display alert message in e-mail subject", "EmailSubBody");
    p.check("Server requires authentication", "EmailAuth");
    p.text("User name:", "EmailUsername");
    p.password("Password:", "EmailPassword");
    p.slot("password_store");
    return p.page;
}

OptionPageDecl service_page() {
    PageBuilder p("Service", {}, true);
    p.heading(kServiceHeading);
    p.heading(kServiceLine1);
    p.heading(kServiceLine2);
    p.slot("service_buttons");
    return p.page;
}

OptionPageDecl logging_page() {
    PageBuilder p("Logging");
    p.heading("Transfer History ");
    p.choice("Unit:", "TransferredUnitHis", unit_entries());
    p.choice("Decimals:", "TransferredDecHis", numbered_entries(0, 9));
    p.choice("First day of week:", "FirstDayOfWeek",
             entries({"System", "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"}));
    tip(p.number("Diskwrite interval:", "LogWriteInt", 1, "minutes"), "How often the traffic logs are written to disk");
    p.slot("minute_logging");
    // The remote monitoring settings: what this machine reports to a remote logging server.
    p.heading("Incoming connections ");
    p.check("Accept incoming connections on port", "LocalAccept");
    p.number("Port:", "LocalPort");
    p.choice("Max connections:", "LocalMaxCon", numbered_entries(1, 10));
    p.password("Password:", "LocalPassword");
    p.heading("Outgoing connection ");
    p.check("Enable outgoing connection to remote logging server", "RemoteOut");
    p.text("IP/Domain : port:", "RemoteIP");
    p.number("Remote port:", "RemotePort");
    p.password("Password:", "RemotePassword");
    p.text("Client name:", "ClientName");
    return p.page;
}

OptionPageDecl metrics_page() {
    PageBuilder p("Metrics", "Logging");
    p.heading("Prometheus endpoint ");
    p.number("Port:", "MetricsPort");
    p.text("Address:", "MetricsAddress");
    p.slot("endpoint_lines");
    p.note("Port 0 switches the endpoint off. 127.0.0.1 answers this computer only; 0.0.0.0 answers every network this "
           "computer is on, without a password.");
    return p.page;
}

OptionPageDecl time_sync_page() {
    PageBuilder p("Time Sync", {}, true);
    p.heading("Atomic Time Synchronization ");
    std::vector<OptionEntry> servers;
    for (const char* name : kTimeServers) servers.push_back({name, static_cast<std::int32_t>(servers.size())});
    p.choice("Time server:", "SyncSrv", std::move(servers)).typed = true;
    p.slot("sync_now");
    p.check("Automatic time synchronization every", "SyncAuto");
    p.choice("", "SyncInt", entries({"15 minutes", "30 minutes", "1 hour", "1 day", "1 week", "30 days", "365 days"}));
    p.slot("sync_lines");
    return p.page;
}

OptionPageDecl update_page() {
    PageBuilder p("Update");
    p.check("Check for updates at start", "CheckForUpdate");
    return p.page;
}

}  // namespace

std::vector<OptionPageDecl> option_page_decls(const std::vector<std::string>& period_names) {
    return {
        connection_page(),
        rates_page(),
        PageBuilder("Adapters", "Connection", true).page,
        layout_page(period_names),
        PageBuilder("Items", "Layout", true).page,
        period_page(),
        graph_page(),
        PageBuilder("Colors", {}, true).page,
        window_page(),
        systray_page(),
        PageBuilder("Alerts", {}, true).page,
        mail_page(),
        service_page(),
        logging_page(),
        PageBuilder("Reset", "Logging", true).page,
        metrics_page(),
        time_sync_page(),
        update_page(),
    };
}

OptionPageDecl option_page_decl(const std::string& name, const std::vector<std::string>& period_names) {
    for (OptionPageDecl& page : option_page_decls(period_names)) {
        if (page.name == name) return std::move(page);
    }
    return {};
}
