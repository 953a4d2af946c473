#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/win32/frm_msg_box.h"
#include "app/win32/key_note.h"
#include "app/win32/notify_icon.h"
#include "app/win32/window_picture.h"
#include "core/application.h"
#include "display/cls_style.h"
#include "platform/settings_hooks.h"
#include "settings/win32/options_dialog.h"

class HistoryOpener;
class Locale;
class MetricsListener;
class NetJobs;
class ServiceManager;
struct AdaptersPageHost;
struct ResetPageHost;
struct TimeSyncPageHost;
class SettingsBackend;

// The style words of a real window: GetWindowLongPtr / SetWindowLongPtr, a frame redraw
// with SetWindowPos, topmost placement without moving or sizing.
class Win32StyleHost : public WindowStyleHost {
public:
    void* window = nullptr;
    std::uint32_t read_style(bool extended) const override;
    void write_style(bool extended, std::uint32_t value) override;
    void frame_changed() override;
    void set_topmost(bool on) override;
};

// The main window `frmMain` on Win32: a floating window whose client area is the core's
// picture, with the tray icon and the program's menus. It is the application's front-end
// in a run with a window; its window procedure receives the tray's mouse messages too.
class MainWindow : public AppFrontEnd, public SettingsHooks, public OptionsDialogHost {
public:
    struct Parts {
        Application& app;
        const Locale& locale;
        SettingsBackend& store;
        std::string data_dir;
        bool minimized = false;  // "/minimized" on the command line
        // The run's client connections and the system's service manager, for the options
        // dialog's "Time Sync" and "Service" pages; nullptr: the pages' buttons do nothing.
        NetJobs* net = nullptr;
        ServiceManager* service = nullptr;
        // The metrics endpoint, opened again with the stored settings after OK and Apply.
        MetricsListener* metrics = nullptr;
    };
    explicit MainWindow(Parts parts);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    void* handle() const { return window_; }
    // The run is over (its orderly shutdown ran): the message loop may end.
    bool ended() const { return ended_; }
    // Brought back from the tray or from behind other windows.
    void restore_window();
    // The program's message window for the alerts, owned by this window.
    ProgramMessageBox& message_box() { return *msg_box_; }
    // The core's questions and messages as message boxes over the options dialog while it is
    // open, else over this window.
    Dialogs& dialogs() { return dialogs_; }

    // AppFrontEnd
    void window_start() override;
    void cycle_starting() override;
    void cycle_done() override;
    void desktop_colours_due() override { update_tray(); }
    void run_ended() override;
    void log_notice(const std::string& text) override;
    void tell_user(const std::string& text) override;
    void update_tray() override;
    void refresh_screen() override { RefreshScreen(true); }
    void adapter_lists_changed(int found) override;

    // SettingsHooks
    void set_translucent(int alpha) override;
    void set_transparent_background(bool on) override;
    std::optional<std::uint32_t> button_shadow_colour() override;
    std::optional<std::uint32_t> button_hilight_colour() override;
    void shrink_to_graph() override;
    void rebuild_display_list() override;
    void apply_window_style() override;
    void settings_saved() override;

    // OptionsDialogHost (main_window_options.cpp)
    Settings& options_settings() override;
    std::vector<std::string> options_period_names() override;
    void options_preview() override;
    Refusal options_refusal() override;
    bool options_minute_logging(bool on) override;
    std::string options_slot_text(const std::string& slot) override;
    std::unique_ptr<OptionsPageView> options_page_view(const std::string& name, OptionsPageEvents events) override;
    void options_store() override;
    void options_discard() override;
    void options_closed() override;
    // "&Settings...": the options dialog, opened or brought forward; one at a time.
    void open_options();
    OptionsDialog* options_dialog() const { return options_.get(); }

    // Called by the window procedure; false: the default handling runs.
    bool handle(unsigned message, std::uintptr_t wparam, std::intptr_t lparam, std::intptr_t* result);

private:
    // What the options dialog's "Time Sync" page asks of the run (main_window_options.cpp).
    TimeSyncPageHost sync_page_host();
    AdaptersPageHost adapters_page_host();
    ResetPageHost reset_page_host();
    std::string endpoint_text() const;
    // Drawing (main_window.cpp)
    void RefreshScreen(bool redraw);
    void paint();
    void client_resized(int width, int height, bool minimised);
    // Mouse, keys, menus (main_window_input.cpp)
    void left_press(int x, int y);
    void pointer_moved(int x, int y, bool button_down);
    void release_press();
    bool set_cursor();
    bool key_pressed(unsigned key);
    void toggle_border();
    void toggle_always_on_top();
    void tray_message(unsigned mouse_message);
    void tray_left_click();
    void menu(bool from_main_window);
    void minimise_window();
    // Frame, size and place (window_place.cpp)
    void FitWindowHeight();
    int frame_height() const;
    int frame_width() const;
    void fill_size_limits(void* minmax) const;
    void place_at_start();
    void keep_on_monitors();
    void SaveWindowPosition();
    void write_setting(const char* name);
    bool minimised() const;
    void apply_layered();

    class WindowDialogs : public Dialogs {
    public:
        explicit WindowDialogs(const MainWindow& window) : window_(window) {}
        MsgResult message_box(const MessageBoxRequest& request) override;

    private:
        const MainWindow& window_;
    };

    Parts parts_;
    ProgramState& state_;
    WindowDialogs dialogs_{*this};
    void* window_ = nullptr;  // HWND
    Win32StyleHost host_;
    clsStyle style_;
    WindowPicture picture_;
    TrayPictureMaker tray_picture_;
    std::unique_ptr<NotifyIcon> tray_;
    std::unique_ptr<frmMsgBox> msg_box_;
    std::unique_ptr<HistoryOpener> history_;  // "&History..."
    std::unique_ptr<OptionsDialog> options_;
    unsigned taskbar_created_ = 0;  // the registered message "TaskbarCreated"
    bool ended_ = false;
    bool started_ = false;  // window_start ran: sizes now redraw
    int fitted_rows_ = -1;
    // Translucency: alpha (255 = opaque) or the colour key of the see-through background.
    std::uint8_t alpha_ = 255;
    bool colour_key_ = false;
    std::uint32_t keyed_colour_ = 0;
    // A press on the content, not yet moved: the move waits for the pointer to go.
    bool press_pending_ = false;
    int press_x_ = 0, press_y_ = 0;
    std::vector<std::string> notes_;  // for the user, shown once the current call is done
    KeyNote key_note_;                // what the last shortcut key changed
};

// Window messages of the main window's own.
inline constexpr unsigned kTrayMessage = 0x8000 + 10;
inline constexpr unsigned kTellUserMessage = 0x8000 + 11;
inline constexpr unsigned kRestoreMessage = 0x8000 + 12;
