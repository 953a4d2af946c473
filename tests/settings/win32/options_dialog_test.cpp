// The options dialog on the real main window of a real run, driven by its controls'
// identifiers as a user drives them, with the settings in HKCU\software\Kelvanto.
#include <gtest/gtest.h>

#include "platform/win32/windows_api.h"
#include <commctrl.h>
#include <cstdlib>

#include "core/option_pages.h"
#include "platform/date.h"
#include "platform/win32/dialog_controls.h"
#include "platform/win32/message_window.h"
#include "settings/number_text.h"
#include "settings/win32/options_dialog.h"
#include "support/win32_program.h"

namespace {

class OptionsDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        run = std::make_unique<Win32Program>();
        ASSERT_TRUE(run->started);
        run->window->open_options();
        dialog = static_cast<HWND>(run->window->options_dialog()->handle());
        decls = option_page_decls(run->window->options_period_names());
    }
    void TearDown() override { run.reset(); }
    HWND item(int page, int control, int piece = 0) const { return ::GetDlgItem(dialog, option_control_id(page, control, piece)); }
    void notify(HWND control, unsigned code) const {
        ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(control), code), reinterpret_cast<LPARAM>(control));
    }
    std::string stored(const std::string& name) const { return run->store.read(name).value_or("(none)"); }
    bool apply_enabled() const { return ::IsWindowEnabled(::GetDlgItem(dialog, kOptionsApplyId)) != FALSE; }

    std::unique_ptr<Win32Program> run;
    HWND dialog = nullptr;
    std::vector<OptionPageDecl> decls;
};

// The colour dialog as a user answers it: red set to 12 (the setting follows at once), OK.
struct ColourAnswer {
    const OptionBinder* binder = nullptr;
    std::string setting;
    bool previewed = false;
};
// A timer of the options window, which runs inside the colour dialog's own loop.
void CALLBACK answer_colour_dialog(HWND options, UINT, UINT_PTR timer, DWORD) {
    HWND colour = ::FindWindowW(nullptr, L"Color");
    auto* answer = static_cast<ColourAnswer*>(::GetPropW(options, L"KelvantoTestAnswer"));
    if (colour == nullptr || answer == nullptr) return;
    ::KillTimer(options, timer);
    ::SetDlgItemTextW(colour, 706, L"12");
    answer->previewed = (answer->binder->number(answer->setting) & 0xFF) == 12;
    ::PostMessageW(colour, WM_COMMAND, IDOK, 0);
}

TEST_F(OptionsDialogTest, every_declared_control_changes_its_setting_and_apply_stores_it) {
    ASSERT_NE(dialog, nullptr);
    Settings& s = run->app->state().settings;
    OptionBinder binder(s);
    HWND tree = ::GetDlgItem(dialog, kOptionsTreeId);
    int changed = 0;
    // The pages in the tree's order, each selected as a click does.
    for (auto node = reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)); node != nullptr;
         node = reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXTVISIBLE, reinterpret_cast<LPARAM>(node)))) {
        TVITEMW tv{};
        tv.mask = TVIF_PARAM;
        tv.hItem = node;
        ::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
        ::SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node));
        const int p = static_cast<int>(tv.lParam);
        const OptionPageDecl& page = decls[static_cast<std::size_t>(p)];
        for (std::size_t k = 0; k < page.controls.size(); ++k) {
            const OptionControl& c = page.controls[k];
            const int i = static_cast<int>(k);
            HWND w = item(p, i);
            if (c.kind == OptionControlKind::heading || c.kind == OptionControlKind::note ||
                c.kind == OptionControlKind::slot || w == nullptr)
                continue;
            EXPECT_TRUE(::IsWindowVisible(w)) << page.name << " " << c.caption;
            // What an earlier change disabled (the translucency, the period's form) a user cannot change.
            if (!::IsWindowEnabled(w)) continue;
            const std::int64_t before = binder.number(c.setting);
            const std::string text_before = binder.text(c.setting);
            ::EnableWindow(::GetDlgItem(dialog, kOptionsApplyId), FALSE);
            const SettingRange range = binder.range(c.setting);
            switch (c.kind) {
                case OptionControlKind::check: ::SendMessageW(w, BM_CLICK, 0, 0); break;
                case OptionControlKind::radios:
                    ::SendMessageW(item(p, i, binder.entry_of(c) == static_cast<int>(c.entries.size()) - 1 ? 1 : static_cast<int>(c.entries.size())),
                                   BM_CLICK, 0, 0);
                    break;
                case OptionControlKind::choice:
                    ::SendMessageW(w, CB_SETCURSEL, binder.entry_of(c) == 0 ? 1 : 0, 0);
                    notify(w, CBN_SELCHANGE);
                    break;
                case OptionControlKind::number:
                    ::SetWindowTextW(w, std::to_wstring(before == range.max ? range.max - 1 : range.max).c_str());
                    break;
                case OptionControlKind::decimal: ::SetWindowTextW(w, L"9.5"); break;
                case OptionControlKind::text:
                case OptionControlKind::password: ::SetWindowTextW(w, widen(text_before + "x").c_str()); break;
                case OptionControlKind::slider:
                    ::SendMessageW(w, TBM_SETPOS, TRUE, before == 50 ? 40 : 50);
                    ::SendMessageW(dialog, WM_HSCROLL, TB_ENDTRACK, reinterpret_cast<LPARAM>(w));
                    break;
                case OptionControlKind::date: {
                    SYSTEMTIME t{2024, 2, 0, 29, 0, 0, 0, 0};
                    ::SendMessageW(w, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&t));
                    NMDATETIMECHANGE change{{w, static_cast<UINT_PTR>(::GetDlgCtrlID(w)), DTN_DATETIMECHANGE}, 0, t};
                    ::SendMessageW(dialog, WM_NOTIFY, change.nmhdr.idFrom, reinterpret_cast<LPARAM>(&change));
                    break;
                }
                case OptionControlKind::colour: {
                    ColourAnswer answer{&binder, c.setting};
                    ::SetPropW(dialog, L"KelvantoTestAnswer", &answer);
                    ::SetTimer(dialog, 77, 50, answer_colour_dialog);
                    ::PostMessageW(w, BM_CLICK, 0, 0);
                    pump_messages([&] { return (binder.number(c.setting) & 0xFF) == 12 && !::FindWindowW(nullptr, L"Color"); }, 10000);
                    ::RemovePropW(dialog, L"KelvantoTestAnswer");
                    EXPECT_TRUE(answer.previewed) << c.caption;
                    break;
                }
                default: break;
            }
            EXPECT_TRUE(apply_enabled()) << page.name << " " << c.caption;
            EXPECT_TRUE(binder.number(c.setting) != before || binder.text(c.setting) != text_before)
                << page.name << " " << c.caption;
            ++changed;
        }
    }
    EXPECT_GE(changed, 70);
    ::SendMessageW(::GetDlgItem(dialog, kOptionsApplyId), BM_CLICK, 0, 0);
    EXPECT_FALSE(apply_enabled());
    for (const OptionPageDecl& page : decls) {
        for (const OptionControl& c : page.controls) {
            const SettingDef* d = binder.find(c.setting);
            if (d == nullptr) continue;
            const std::string want = std::holds_alternative<std::string*>(d->field)  ? binder.text(c.setting)
                                     : c.kind == OptionControlKind::decimal          ? decimal_text(binder.decimal(c.setting))
                                                                                     : std::to_string(binder.number(c.setting));
            EXPECT_EQ(stored(c.setting), want) << page.name << " " << c.caption;
        }
    }
}

TEST_F(OptionsDialogTest, numbers_keep_digits_in_range_cancel_and_escape_store_nothing_ok_stores) {
    Settings& s = run->app->state().settings;
    const auto at = [&](const std::string& page_name, const std::string& setting, int piece = 0) {
        for (std::size_t p = 0; p < decls.size(); ++p)
            for (std::size_t k = 0; k < decls[p].controls.size(); ++k)
                if (decls[p].name == page_name && decls[p].controls[k].setting == setting)
                    return item(static_cast<int>(p), static_cast<int>(k), piece);
        return HWND{};
    };
    HWND custom = at("Connection", "ConnectionCustom");
    ::SetWindowTextW(custom, L"12a4");
    EXPECT_EQ(control_text(custom), "124");
    EXPECT_EQ(s.ConnectionCustom, 124);
    // A fraction stays as typed and changes nothing (OK and Apply would ask to mend it).
    ::SetWindowTextW(custom, L"12.5");
    EXPECT_EQ(control_text(custom), "12.5");
    EXPECT_EQ(s.ConnectionCustom, 124);
    EXPECT_EQ(control_text(at("Connection", "ConnectionCustom", 6)), "whole numbers only");
    ::SetWindowTextW(custom, L"124");
    EXPECT_EQ(control_text(at("Connection", "ConnectionCustom", 6)), "");
    // Out of its range the number is refused: the setting stays, and after Apply the box says so.
    HWND buffer = at("Graph", "GraphBuffer");
    ::SetWindowTextW(buffer, L"5000");
    EXPECT_EQ(s.GraphBuffer, 1840);
    ::SendMessageW(::GetDlgItem(dialog, kOptionsApplyId), BM_CLICK, 0, 0);
    EXPECT_EQ(stored("GraphBuffer"), "1840");
    EXPECT_EQ(stored("ConnectionCustom"), "124");
    EXPECT_EQ(control_text(buffer), "1840");

    // Minutely logging switched off is stored at once.
    ::SendMessageW(at("Logging", "minute_logging"), BM_CLICK, 0, 0);
    EXPECT_EQ(s.MinuteLogging, 0);
    EXPECT_EQ(stored("MinuteLogging"), "0");

    // Cancel puts the stored graph type back in the running program.
    ::SendMessageW(at("Graph", "GraphType", 2), BM_CLICK, 0, 0);
    EXPECT_EQ(s.GraphType, 1);
    ::SendMessageW(::GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_FALSE(run->window->options_dialog()->open());
    EXPECT_EQ(s.GraphType, 0);
    EXPECT_EQ(stored("GraphType"), "0");

    // Escape through the message loop is Cancel; one dialog at a time.
    run->window->open_options();
    dialog = static_cast<HWND>(run->window->options_dialog()->handle());
    run->window->open_options();
    EXPECT_EQ(run->window->options_dialog()->handle(), dialog);
    ::SendMessageW(at("Window", "Always on top"), BM_CLICK, 0, 0);
    ::PostMessageW(::GetDlgItem(dialog, kOptionsTreeId), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(pump_messages([&] { return !run->window->options_dialog()->open(); }, 5000));
    EXPECT_EQ(stored("Always on top"), "1");

    // Enter is OK: it stores and closes.
    run->window->open_options();
    dialog = static_cast<HWND>(run->window->options_dialog()->handle());
    ::SendMessageW(at("Window", "Always on top"), BM_CLICK, 0, 0);
    ::PostMessageW(at("Window", "Always on top"), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(pump_messages([&] { return !run->window->options_dialog()->open(); }, 5000));
    EXPECT_EQ(stored("Always on top"), "0");
}

}  // namespace

namespace {

// Dragged to a screen of 144 dots per inch: the dialog takes the place the system suggests,
// its controls grow by half and their text with them.
TEST_F(OptionsDialogTest, a_denser_screen_scales_the_controls_and_their_font) {
    const HWND ok = ::GetDlgItem(dialog, IDOK);
    RECT before{};
    ::GetWindowRect(ok, &before);
    LOGFONTW font_before{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(ok, WM_GETFONT, 0, 0)), sizeof font_before, &font_before);
    RECT suggested{10, 10, 10 + 1035, 10 + 870};
    ::SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    RECT after{};
    ::GetWindowRect(ok, &after);
    EXPECT_EQ(after.right - after.left, (before.right - before.left) * 3 / 2);
    LOGFONTW font_after{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(ok, WM_GETFONT, 0, 0)), sizeof font_after, &font_after);
    EXPECT_GT(std::abs(font_after.lfHeight), std::abs(font_before.lfHeight));
    RECT window{};
    ::GetWindowRect(dialog, &window);
    EXPECT_EQ(window.right - window.left, 1035);
}

}  // namespace
