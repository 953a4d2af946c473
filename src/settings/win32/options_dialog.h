#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/message_window.h"
#include "settings/option_page_decl.h"

// Where a page's own view goes: the dialog's window, the part of the page below its declared
// controls (client coordinates) and the dialog's font. HWND and HFONT.
struct OptionsPageArea {
    void* dialog = nullptr;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    void* font = nullptr;
    // The window of the page's declared control of a setting or slot (a slot's row is an
    // empty caption the view may fill); nullptr when the page declares none.
    std::function<void*(const std::string& setting)> declared;
    void* bold = nullptr;  // the dialog's font for headings (HFONT)
};

// What a page's own view tells the dialog: something changed (Apply is enabled), or a setting
// of another page is to be shown with the focus (a refused mail setting).
struct OptionsPageEvents {
    std::function<void()> changed;
    std::function<void(const std::string& page, const std::string& setting)> show_setting;
};

// A page that is more than its declared controls (the rules of "Alerts", ...): windows of its
// own below them, which the dialog shows and hides with the page. The view's controls use
// identifiers from kOptionsViewIdFirst up to (not including) 0x1000.
class OptionsPageView {
public:
    virtual ~OptionsPageView() = default;
    // Creates the view's windows, hidden, as children of the dialog; answers them (HWNDs).
    virtual std::vector<void*> create(const OptionsPageArea& area) = 0;
    // Shows what the view edits as it is now: when the dialog opens and after Apply.
    virtual void fill() = 0;
    // WM_COMMAND and WM_NOTIFY from the dialog's children; true when they were the view's
    // (`result` is the answer to WM_NOTIFY).
    virtual bool command(int id, unsigned code) = 0;
    virtual bool notify(const void* header, std::intptr_t* result) = 0;
    // A notification `code` of the page's declared control of `setting`, before the dialog
    // takes it into the setting; true when the view took it (Apply is enabled, the main
    // window shows it).
    virtual bool declared_command(const std::string& /*setting*/, unsigned /*code*/) { return false; }
    // OK (`closing`) and Apply, before the host stores the settings: what the view keeps
    // outside the settings is written.
    virtual void store(bool /*closing*/) {}
    // Adapters came, went or changed status: the view's adapter lists are read again.
    virtual void adapters_changed() {}
};
inline constexpr int kOptionsViewIdFirst = 0x800;

// What the options dialog asks of the running program; the main window answers.
class OptionsDialogHost {
public:
    virtual ~OptionsDialogHost() = default;
    // The in-memory settings the dialog changes.
    virtual Settings& options_settings() = 0;
    // The names of the periods the overview lines offer, as shown now.
    virtual std::vector<std::string> options_period_names() { return {}; }
    // Live preview: the window shows the in-memory settings.
    virtual void options_preview() = 0;
    // The text shown at a declared slot of a page (the current period, the last time
    // synchronisation, where the passwords are kept); empty: the slot shows nothing.
    virtual std::string options_slot_text(const std::string& /*slot*/) { return {}; }
    // "Minutely logging" switched: the minutely log starts or stops (switched off, that is
    // stored at once); false when the user kept it as it was.
    virtual bool options_minute_logging(bool /*on*/) { return true; }
    // Before OK and Apply store anything: why they may not, with the page and the setting
    // to show (the mail addresses and server); an empty message lets them store.
    struct Refusal {
        std::string message;
        std::string page;
        std::string setting;
    };
    virtual Refusal options_refusal() { return {}; }
    // The view of page `name` when the page is more than its declared controls; none: the
    // page says the rest of it comes later.
    virtual std::unique_ptr<OptionsPageView> options_page_view(const std::string& /*name*/, OptionsPageEvents /*events*/) {
        return nullptr;
    }
    // OK and Apply: every setting stored.
    virtual void options_store() = 0;
    // Cancel: the stored settings are loaded again and shown.
    virtual void options_discard() = 0;
    // The dialog's window is gone.
    virtual void options_closed() {}
};

// The identifiers of the dialog's controls, for the code and for tests that drive them:
// the page tree, OK (IDOK), Cancel (IDCANCEL), Apply; then each declared control of page
// `page` (its place in option_page_decls()) at place `control` on its page: `piece` 0 is the
// control itself (check box, list, box, slider, date picker, colour swatch, or the group box
// of radio buttons), piece 1 + i the radio button of entry i, piece 6 a box's unit, piece 7 the
// caption beside it.
inline constexpr int kOptionsTreeId = 100;
inline constexpr int kOptionsApplyId = 3;
inline constexpr int kOptionsLaterNoteId = 101;  // the line on a page that shows only some of itself
constexpr int option_control_id(int page, int control, int piece = 0) { return 0x1000 + page * 0x100 + control * 8 + piece; }

// The window class of the dialog. It has the dialog keys through the message loop's
// kDialogKeysProperty.
inline constexpr const wchar_t* kOptionsClass = L"KelvantoOptions";

// The options dialog "Settings": the tree of pages at the left, the chosen page's controls
// at the right, rendered from the declared pages, and "&OK", "Cancel", "&Apply". Every change
// goes into the in-memory settings at once and is shown (live preview); OK and Apply store,
// Cancel, Escape and closing the window put the stored settings back. Modeless, owned by the
// main window.
class OptionsDialog {
public:
    OptionsDialog(OptionsDialogHost& host, void* owner);
    ~OptionsDialog();
    OptionsDialog(const OptionsDialog&) = delete;
    OptionsDialog& operator=(const OptionsDialog&) = delete;

    void* handle() const { return window_; }
    bool open() const { return window_ != nullptr; }
    // Brings the dialog (or its colour dialog) to the front.
    void bring_forward();
    // Shows page `name` as a click in the tree does.
    void show_page(const std::string& name);
    // Shows page `page` with the focus on the control of `setting` (its text selected).
    void show_setting(const std::string& page, const std::string& setting);
    // Adapters came, went or changed status: the views list them anew.
    void adapters_changed();

    // Called by the window procedure; false: the default handling runs.
    bool handle(unsigned message, std::uintptr_t wparam, std::intptr_t lparam, std::intptr_t* result);

    struct Page;  // a declared page and its windows

private:
    void build();
    void fill();
    void changed(int page, int control, unsigned code);
    void store(bool close_after);
    void close(bool discard);
    void select(int page);
    void show_slot_texts();
    void view_changed();

    OptionsDialogHost& host_;
    std::unique_ptr<OptionBinder> binder_;
    std::vector<std::unique_ptr<Page>> pages_;
    std::vector<std::string> text_slots_;  // the slots shown as lines of text
    void* window_ = nullptr;   // HWND
    void* font_ = nullptr;     // HFONT
    void* bold_ = nullptr;     // HFONT
    void* colour_dialog_ = nullptr;  // HWND of the open colour dialog
    int shown_ = -1;
    int loading_ = 0;
    int dpi_ = 96;  // the dots per inch the controls are placed for
};
