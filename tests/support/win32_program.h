#pragma once

#include "platform/win32/windows_api.h"

#include <functional>
#include <memory>
#include <string>

#include "app/win32/main_window.h"
#include "app/win32/net_jobs.h"
#include "app/win32/windowless_run.h"
#include "core/application.h"
#include "core/option_pages.h"
#include "platform/locale.h"
#include "platform/win32/metrics_listener.h"
#include "platform/win32/registry_settings.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_interface_table.h"
#include "platform/win32/win32_text.h"
#include "support/temp_dir.h"

// The Windows program as the dialog tests open it: a data folder of the test's own
// (KELVANTO_HOME) and an emptied registry key, the application started on them with its main
// window, its network jobs, a metrics endpoint and `service` as the system's service manager.
// `prepare` runs on the data folder ("...\") before the start.
struct Win32Program {
    explicit Win32Program(const std::function<void(const std::string& data)>& prepare = {},
                          ServiceManager* service = nullptr) {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"software\\Kelvanto");
        ::SetEnvironmentVariableW(L"KELVANTO_HOME", widen(home.str()).c_str());
        if (prepare) prepare(data);
        services.settings_store = &store;
        app = std::make_unique<Application>(services, front);
        net = std::make_unique<NetJobs>(app->state(), clock, locale, store);
        metrics = std::make_unique<MetricsListener>([] { return std::string("kelvanto_up 1\n"); });
        window = std::make_unique<MainWindow>(
            MainWindow::Parts{*app, locale, store, data, false, net.get(), service, metrics.get()});
        services.settings_hooks = window.get();
        services.msg_box = &window->message_box();
        AppPlaces places;
        places.data_dir = data;
        started = app->start(places, false);
    }
    ~Win32Program() {
        window.reset();
        metrics.reset();
        net.reset();
        ::SetEnvironmentVariableW(L"KELVANTO_HOME", nullptr);
    }
    Win32Program(const Win32Program&) = delete;
    Win32Program& operator=(const Win32Program&) = delete;

    // The core's questions as the real run asks them: message boxes over the main window or
    // its options dialog, not answered "no" on standard error.
    void ask_in_message_boxes() { dialogs.window = &window->dialogs(); }

    // The options dialog, opened from the main window on page `page`.
    HWND open_options(const char* page) {
        window->open_options();
        window->options_dialog()->show_page(page);
        return static_cast<HWND>(window->options_dialog()->handle());
    }

    // The identifier of the options dialog's declared control of `setting` on page `page`.
    static int declared_id(const char* page, const char* setting) {
        const std::vector<OptionPageDecl> pages = option_page_decls({});
        for (std::size_t i = 0; i < pages.size(); ++i)
            for (std::size_t k = 0; k < pages[i].controls.size(); ++k)
                if (pages[i].name == page && pages[i].controls[k].setting == setting)
                    return option_control_id(static_cast<int>(i), static_cast<int>(k));
        return 0;
    }

    TempDir home;
    const std::string data = home.str() + "/";
    Win32InterfaceTable tables;
    Win32Clock clock;
    ConsoleDialogs dialogs;
    EnglishLocale locale;
    RegistrySettings store;
    Services services{tables, clock, dialogs, &locale};
    AppFrontEnd front;
    std::unique_ptr<Application> app;
    std::unique_ptr<NetJobs> net;
    std::unique_ptr<MetricsListener> metrics;
    std::unique_ptr<MainWindow> window;
    bool started = false;
};
