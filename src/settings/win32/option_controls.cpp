// The windows of the declared options pages: made row by row, filled from the settings, and
// a user's change taken back into them.
#include "settings/win32/option_controls.h"

#include <commdlg.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>

#include "platform/date.h"
#include "platform/win32/win32_text.h"
#include "settings/number_text.h"

namespace {

// The colour dialog's boxes of red, green and blue.
constexpr int kRedBox = 706;
constexpr int kBlueBox = 708;

// A colour being chosen: each colour the colour dialog shows is tried at once.
struct ColourPick {
    const std::function<void(std::uint32_t)>& show;
    void** dialog = nullptr;  // the colour dialog while it is open
};

UINT_PTR CALLBACK colour_hook(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        auto* pick = reinterpret_cast<ColourPick*>(reinterpret_cast<CHOOSECOLORW*>(lparam)->lCustData);
        ::SetPropW(dialog, L"KelvantoColourPick", pick);
        ::SetWindowTextW(dialog, L"Color");
        *pick->dialog = dialog;
        return 0;
    }
    auto* pick = static_cast<ColourPick*>(::GetPropW(dialog, L"KelvantoColourPick"));
    if (pick == nullptr) return 0;
    if (message == WM_DESTROY) {
        ::RemovePropW(dialog, L"KelvantoColourPick");
        *pick->dialog = nullptr;
        return 0;
    }
    const int box = LOWORD(wparam);
    if (message == WM_COMMAND && HIWORD(wparam) == EN_CHANGE && box >= kRedBox && box <= kBlueBox) {
        BOOL ok[3] = {FALSE, FALSE, FALSE};
        const UINT r = ::GetDlgItemInt(dialog, kRedBox, &ok[0], FALSE);
        const UINT g = ::GetDlgItemInt(dialog, kRedBox + 1, &ok[1], FALSE);
        const UINT b = ::GetDlgItemInt(dialog, kBlueBox, &ok[2], FALSE);
        if (ok[0] && ok[1] && ok[2] && r < 256 && g < 256 && b < 256) pick->show(RGB(r, g, b));
    }
    return 0;
}

constexpr int kRow = 26;         // height of a row
constexpr int kField = 22;       // height of a box or list

using Kind = OptionControlKind;

struct Rows {
    const PageArea& area;
    OptionsDialog::Page& page;
    int index;
    int y;

    HWND make(const wchar_t* cls, const std::wstring& text, DWORD style, int control, int piece, int x, int w, int h,
              DWORD ex = 0) {
        HWND wnd = ::CreateWindowExW(ex, cls, text.c_str(), WS_CHILD | style, area.left + x, y, w, h, area.parent,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(option_control_id(index, control, piece))),
                                     nullptr, nullptr);
        ::SendMessageW(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(area.font), FALSE);
        page.windows.push_back(wnd);
        return wnd;
    }
    // A caption at the left and the field at its right; a control without a caption takes
    // the field's place alone.
    HWND field(const wchar_t* cls, const OptionControl& c, DWORD style, int control, int h = kField, DWORD ex = 0) {
        ControlWindows& cw = page.controls[static_cast<std::size_t>(control)];
        if (!c.caption.empty()) cw.label = make(L"STATIC", widen(c.caption), SS_LEFT, control, 7, 0, kOptionsLabelWidth - 6, kField);
        if (cw.label != nullptr) ::SetWindowPos(cw.label, nullptr, area.left, y + 3, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        return make(cls, L"", style | WS_TABSTOP | WS_GROUP, control, 0, kOptionsLabelWidth, area.width - kOptionsLabelWidth, h, ex);
    }
};

// Lines of text `text` takes at about 7 pixels a character in `width`.
int lines_of(const std::string& text, int width) {
    const int per_line = std::max(1, width / 7);
    return std::max(1, static_cast<int>((text.size() + static_cast<std::size_t>(per_line) - 1) / static_cast<std::size_t>(per_line)));
}

void add_control(Rows& rows, const OptionControl& c, int control) {
    ControlWindows& cw = rows.page.controls[static_cast<std::size_t>(control)];
    const int width = rows.area.width;
    switch (c.kind) {
        case Kind::check:
            cw.main = rows.make(L"BUTTON", widen(c.caption), BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, control, 0, 0, width, kField);
            break;
        case Kind::choice:
            cw.main = rows.field(WC_COMBOBOXW, c, (c.typed ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST) | WS_VSCROLL,
                                 control, 240);
            for (const OptionEntry& e : c.entries)
                ::SendMessageW(cw.main, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(e.caption).c_str()));
            break;
        case Kind::radios: {
            const int h = 20 + 22 * static_cast<int>(c.entries.size());
            cw.main = rows.make(L"BUTTON", widen(c.caption), BS_GROUPBOX, control, 0, 0, width, h);
            const int top = rows.y;
            for (std::size_t i = 0; i < c.entries.size(); ++i) {
                rows.y = top + 18 + 22 * static_cast<int>(i);
                const DWORD first = i == 0 ? WS_GROUP | WS_TABSTOP : 0;
                cw.radios.push_back(rows.make(L"BUTTON", widen(c.entries[i].caption), BS_AUTORADIOBUTTON | first, control,
                                              static_cast<int>(i) + 1, 12, width - 24, 20));
            }
            rows.y = top + h + 6 - kRow;
            break;
        }
        case Kind::number:
        case Kind::decimal:
        case Kind::text:
        case Kind::password: {
            DWORD style = ES_AUTOHSCROLL | (c.kind == Kind::password ? ES_PASSWORD : 0);
            cw.main = rows.field(L"EDIT", c, style, control, kField, WS_EX_CLIENTEDGE);
            // A box for whole numbers has room at its right to say so when it holds a fraction.
            if (!c.unit.empty() || c.kind == Kind::number) {
                // The unit at the box's right, the box made shorter for it.
                const std::size_t letters = std::max(c.unit.size(), c.kind == Kind::number ? kWholeNumbersOnly.size() : 0);
                const int unit_width = 7 * static_cast<int>(letters) + 8;
                ::SetWindowPos(cw.main, nullptr, 0, 0, width - kOptionsLabelWidth - unit_width, kField, SWP_NOMOVE | SWP_NOZORDER);
                rows.make(L"STATIC", widen(c.unit), SS_LEFT, control, 6, width - unit_width + 4, unit_width - 4, kField);
                ::SetWindowPos(rows.page.windows.back(), nullptr, rows.area.left + width - unit_width + 4, rows.y + 3, 0, 0,
                               SWP_NOSIZE | SWP_NOZORDER);
            }
            break;
        }
        case Kind::slider:
            cw.main = rows.field(TRACKBAR_CLASSW, c, TBS_HORZ | TBS_AUTOTICKS, control, 28);
            rows.y += 4;
            break;
        case Kind::colour:
            cw.main = rows.field(L"BUTTON", c, BS_OWNERDRAW, control);
            ::SetWindowPos(cw.main, nullptr, 0, 0, 48, kField, SWP_NOMOVE | SWP_NOZORDER);
            break;
        case Kind::date: cw.main = rows.field(DATETIMEPICK_CLASSW, c, DTS_SHORTDATEFORMAT, control); break;
        case Kind::heading:
            cw.main = rows.make(L"STATIC", widen(c.caption), SS_LEFT, control, 0, 0, width, 18 * lines_of(c.caption, width));
            ::SendMessageW(cw.main, WM_SETFONT, reinterpret_cast<WPARAM>(rows.area.bold), FALSE);
            rows.y += 18 * (lines_of(c.caption, width) - 1);
            break;
        case Kind::note: {
            const int lines = lines_of(c.caption, width);
            cw.main = rows.make(L"STATIC", widen(c.caption), SS_LEFT, control, 0, 0, width, 16 * lines);
            rows.y += 16 * lines - 18;
            break;
        }
        case Kind::slot:
            if (std::find(rows.area.text_slots.begin(), rows.area.text_slots.end(), c.setting) != rows.area.text_slots.end()) {
                cw.main = rows.make(L"STATIC", L"", SS_LEFT, control, 0, 0, width, 34);
                rows.y += 14;
                break;
            }
            // Another slot is a row kept for the page's own view, which puts its controls there.
            if (c.setting != kMinuteLoggingSlot) {
                if (rows.page.view == nullptr) return;
                cw.main = rows.make(L"STATIC", L"", SS_LEFT | SS_CENTERIMAGE, control, 0, 0, kOptionsLabelWidth - 6, kField);
                break;
            }
            // The Logging page's own check box: switching it starts or stops the minutely log.
            cw.main = rows.make(L"BUTTON", L"Minutely logging", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, control, 0, 0,
                                width, kField);
            break;
    }
    rows.y += kRow;
}

}  // namespace

std::wstring window_text(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::wstring digits_of(const std::wstring& text) {
    std::wstring out;
    for (const wchar_t c : text)
        if (c >= L'0' && c <= L'9') out += c;
    return out;
}

void create_page_windows(OptionsDialog::Page& page, int index, const PageArea& area) {
    page.controls.assign(page.decl.controls.size(), ControlWindows{});
    Rows rows{area, page, index, area.top};
    HWND title = rows.make(L"STATIC", widen(page.decl.name), SS_LEFT, 31, 7, 0, area.width, 20);
    ::SendMessageW(title, WM_SETFONT, reinterpret_cast<WPARAM>(area.bold), FALSE);
    rows.y += kRow + 4;
    for (std::size_t i = 0; i < page.decl.controls.size(); ++i) add_control(rows, page.decl.controls[i], static_cast<int>(i));
    // A page of its own view says so when something of it is not shown here yet.
    bool missing = page.decl.controls.empty();
    for (std::size_t i = 0; i < page.decl.controls.size(); ++i)
        missing = missing || (page.decl.controls[i].kind == Kind::slot && page.controls[i].main == nullptr);
    page.rows_bottom = rows.y;
    if (page.decl.has_own_view && missing && page.view == nullptr) {
        const wchar_t* later = page.decl.controls.empty()
                                   ? L"This page comes with a later version of Kelvanto for Windows."
                                   : L"The rest of this page comes with a later version of Kelvanto for Windows.";
        HWND note = ::CreateWindowExW(0, L"STATIC", later, WS_CHILD | SS_LEFT, area.left, rows.y + 6, area.width, 36,
                                      area.parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kOptionsLaterNoteId)),
                                      nullptr, nullptr);
        ::SendMessageW(note, WM_SETFONT, reinterpret_cast<WPARAM>(area.font), FALSE);
        page.windows.push_back(note);
    }
}

void show_fraction(const OptionControl& c, HWND box, bool fraction) {
    // The unit's place beside the box says that it takes whole numbers only.
    const HWND unit = ::GetDlgItem(::GetParent(box), ::GetDlgCtrlID(box) + 6);
    if (fraction) {
        ::SetPropW(box, kFractionProperty, box);
        ::SetPropW(unit, kWarningProperty, unit);
        ::SetWindowTextW(unit, widen(kWholeNumbersOnly).c_str());
        return;
    }
    ::RemovePropW(box, kFractionProperty);
    ::RemovePropW(unit, kWarningProperty);
    ::SetWindowTextW(unit, widen(c.unit).c_str());
}

void fill_control(const OptionBinder& binder, const OptionControl& c, const ControlWindows& w) {
    switch (c.kind) {
        case Kind::check:
            ::SendMessageW(w.main, BM_SETCHECK, binder.number(c.setting) != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
            break;
        case Kind::choice: ::SendMessageW(w.main, CB_SETCURSEL, static_cast<WPARAM>(binder.entry_of(c)), 0); break;
        case Kind::radios:
            for (std::size_t i = 0; i < w.radios.size(); ++i)
                ::SendMessageW(w.radios[i], BM_SETCHECK,
                               static_cast<int>(i) == binder.entry_of(c) ? BST_CHECKED : BST_UNCHECKED, 0);
            break;
        case Kind::number:
            show_fraction(c, w.main, false);
            ::SetWindowTextW(w.main, std::to_wstring(binder.number(c.setting)).c_str());
            break;
        case Kind::decimal: ::SetWindowTextW(w.main, widen(decimal_text(binder.decimal(c.setting))).c_str()); break;
        case Kind::text:
        case Kind::password: ::SetWindowTextW(w.main, widen(binder.text(c.setting)).c_str()); break;
        case Kind::slider: {
            const SettingRange range = binder.range(c.setting);
            ::SendMessageW(w.main, TBM_SETRANGEMIN, FALSE, range.min);
            ::SendMessageW(w.main, TBM_SETRANGEMAX, FALSE, range.max);
            ::SendMessageW(w.main, TBM_SETTICFREQ, 10, 0);
            ::SendMessageW(w.main, TBM_SETPOS, TRUE, static_cast<LPARAM>(binder.number(c.setting)));
            break;
        }
        case Kind::colour: ::InvalidateRect(w.main, nullptr, TRUE); break;
        case Kind::date: {
            const CivilDate d = civil_date(binder.decimal(c.setting));
            SYSTEMTIME t{};
            t.wYear = static_cast<WORD>(d.year);
            t.wMonth = static_cast<WORD>(d.month);
            t.wDay = static_cast<WORD>(d.day);
            ::SendMessageW(w.main, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&t));
            break;
        }
        case Kind::slot:
            if (c.setting == kMinuteLoggingSlot)
                ::SendMessageW(w.main, BM_SETCHECK, binder.number("MinuteLogging") != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
            break;
        case Kind::heading:
        case Kind::note: break;
    }
}

namespace {

// A number box: everything but digits leaves it at once; empty or "0" gives the control's
// empty value; a number outside the setting's range is refused and the setting stays.
bool take_number(OptionBinder& binder, const OptionControl& c, HWND box) {
    const std::wstring typed = window_text(box);
    std::wstring clean;
    for (wchar_t ch : typed)
        if ((ch >= L'0' && ch <= L'9') || ch == L'.' || ch == L',') clean += ch;
    if (clean != typed) {
        ::SetWindowTextW(box, clean.c_str());  // comes back with the clean text
        ::SendMessageW(box, EM_SETSEL, clean.size(), static_cast<LPARAM>(clean.size()));
        return false;
    }
    // A fraction is kept as typed, not made another number by dropping its point: the
    // setting stays, and OK and Apply say what to mend.
    const bool fraction = clean.find_first_of(L".,") != std::wstring::npos;
    show_fraction(c, box, fraction);
    if (fraction) return true;
    std::int64_t value = c.empty_value;
    if (!clean.empty() && clean != L"0") value = clean.size() > 10 ? INT64_MAX : std::wcstoll(clean.c_str(), nullptr, 10);
    const SettingRange range = binder.range(c.setting);
    if (value >= range.min && value <= range.max) binder.set_number(c.setting, value);
    return true;
}

bool take_decimal(OptionBinder& binder, const OptionControl& c, HWND box) {
    const std::wstring typed = window_text(box);
    std::wstring clean;
    bool point = false;
    for (const wchar_t ch : typed) {
        const bool is_point = ch == L'.' || ch == L',';
        if ((ch >= L'0' && ch <= L'9') || (is_point && !point)) clean += is_point ? L'.' : ch;
        point = point || is_point;
    }
    if (clean != typed) {
        ::SetWindowTextW(box, clean.c_str());
        return false;
    }
    const std::optional<double> v = clean.empty() ? std::optional<double>(0.0) : parse_decimal(narrow(clean));
    const SettingRange range = binder.range(c.setting);
    if (v && *v >= range.min && *v <= range.max) binder.set_decimal(c.setting, *v);
    return true;
}

}  // namespace

bool take_control(OptionBinder& binder, const OptionControl& c, const ControlWindows& w, int piece, unsigned code) {
    switch (c.kind) {
        case Kind::check:
            if (code != BN_CLICKED) return false;
            return binder.set_number(c.setting, ::SendMessageW(w.main, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
        case Kind::choice: {
            if (code != CBN_SELCHANGE) return false;
            const LRESULT chosen = ::SendMessageW(w.main, CB_GETCURSEL, 0, 0);
            if (chosen < 0) return false;
            binder.choose_entry(c, static_cast<int>(chosen));
            return true;
        }
        case Kind::radios:
            if (code != BN_CLICKED || piece < 1) return false;
            binder.choose_entry(c, piece - 1);
            return true;
        case Kind::number: return code == EN_CHANGE && take_number(binder, c, w.main);
        case Kind::decimal: return code == EN_CHANGE && take_decimal(binder, c, w.main);
        case Kind::text:
        case Kind::password:
            if (code != EN_CHANGE) return false;
            binder.set_text(c.setting, narrow(window_text(w.main)));
            return true;
        case Kind::slider:
            return binder.set_number(c.setting, ::SendMessageW(w.main, TBM_GETPOS, 0, 0));
        case Kind::date: {
            SYSTEMTIME t{};
            if (::SendMessageW(w.main, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&t)) != GDT_VALID) return false;
            binder.set_decimal(c.setting, static_cast<double>(day_number(t.wYear, t.wMonth, t.wDay)));
            return true;
        }
        case Kind::colour:
        case Kind::heading:
        case Kind::note:
        case Kind::slot: return false;
    }
    return false;
}

bool choose_colour(HWND owner, std::uint32_t before, const std::function<void(std::uint32_t)>& show, void** dialog,
                   std::uint32_t* chosen) {
    ColourPick pick{show, dialog};
    COLORREF custom[16] = {};
    CHOOSECOLORW choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = owner;
    choose.rgbResult = static_cast<COLORREF>(before);
    choose.lpCustColors = custom;
    choose.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK;
    choose.lCustData = reinterpret_cast<LPARAM>(&pick);
    choose.lpfnHook = colour_hook;
    if (::ChooseColorW(&choose) == FALSE) return false;
    *chosen = choose.rgbResult;
    return true;
}

ViewWindows::ViewWindows(const OptionsPageArea& area)
    : dialog(static_cast<HWND>(area.dialog)), font(static_cast<HFONT>(area.font)) {}

HWND ViewWindows::make(DWORD ex_style, const wchar_t* window_class, const wchar_t* text, DWORD style, int id, int x, int y,
                       int width, int height) {
    HWND w = ::CreateWindowExW(ex_style, window_class, text, WS_CHILD | style, x, y, width, height, dialog,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    made.push_back(w);
    return w;
}

HWND ViewWindows::check_list(int id, int x, int y, int width, int height) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    HWND list = make(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                     WS_TABSTOP | WS_GROUP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS, id, x, y,
                     width, height);
    ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    LVCOLUMNW column = {};
    column.mask = LVCF_WIDTH;
    column.cx = width - ::GetSystemMetrics(SM_CXVSCROLL) - 4;
    ::SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    return list;
}

std::vector<HWND> ViewWindows::button_column(const std::vector<const wchar_t*>& captions, int first_id, int x, int y,
                                             int width, int height, int gap) {
    std::vector<HWND> buttons;
    for (std::size_t i = 0; i < captions.size(); ++i)
        buttons.push_back(make(0, L"BUTTON", captions[i], WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON,
                               first_id + static_cast<int>(i), x, y + static_cast<int>(i) * (height + gap), width, height));
    return buttons;
}
