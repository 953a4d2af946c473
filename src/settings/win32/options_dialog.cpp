#include "settings/win32/options_dialog.h"

#include "settings/win32/option_controls.h"

#include <algorithm>
#include <functional>

#include "core/option_pages.h"
#include "platform/win32/dialog_controls.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/window_owner.h"

namespace {

constexpr int kWidth = 690;
constexpr int kHeight = 580;
constexpr int kTreeWidth = 170;
constexpr int kMargin = 10;
constexpr int kButtonWidth = 84;
constexpr int kButtonHeight = 26;
constexpr UINT_PTR kSlotTextsTimer = 1;
LRESULT CALLBACK options_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    OptionsDialog* self = window_owner<OptionsDialog>(window, message, lparam);
    LRESULT result = 0;
    if (self != nullptr && self->handle(message, wparam, lparam, &result)) return result;
    return ::DefWindowProcW(window, message, wparam, lparam);
}

HWND as_window(void* w) { return static_cast<HWND>(w); }

}  // namespace

OptionsDialog::OptionsDialog(OptionsDialogHost& host, void* owner) : host_(host) {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                  ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    register_window_class(kOptionsClass, options_proc);
    binder_ = std::make_unique<OptionBinder>(host_.options_settings());

    RECT outer{0, 0, kWidth, kHeight};
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    ::AdjustWindowRectEx(&outer, style, FALSE, WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT);
    window_ = ::CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kOptionsClass, L"Settings", style,
                                CW_USEDEFAULT, CW_USEDEFAULT, outer.right - outer.left, outer.bottom - outer.top,
                                as_window(owner), nullptr, ::GetModuleHandleW(nullptr), this);
    ::SetPropW(as_window(window_), kDialogKeysProperty, window_);
    // The fonts of the screen the dialog opens on; its controls, laid out for 96 dots per
    // inch, are made to fit them.
    dpi_ = static_cast<int>(::GetDpiForWindow(as_window(window_)));
    if (dpi_ <= 0) dpi_ = 96;
    font_ = create_message_font(static_cast<UINT>(dpi_));
    bold_ = create_message_font(static_cast<UINT>(dpi_), true);
    build();
    scale_children(as_window(window_), 96, dpi_);
    outer = RECT{0, 0, scaled(as_window(window_), kWidth), scaled(as_window(window_), kHeight)};
    ::AdjustWindowRectEx(&outer, style, FALSE, WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT);
    fill();
    select(0);
    // The lines of text on the pages (the endpoint tried again, the current period) follow
    // each second while the dialog is open.
    ::SetTimer(as_window(window_), kSlotTextsTimer, 1000, nullptr);
    // Beside the main window where there is room, so that the live preview shows; else
    // centred over it. Above the other windows.
    const long w = outer.right - outer.left, h = outer.bottom - outer.top;
    RECT main{};
    ::GetWindowRect(owner != nullptr ? as_window(owner) : ::GetDesktopWindow(), &main);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromRect(&main, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    long x = (main.left + main.right - w) / 2;
    if (main.right + 8 + w <= work.right) x = main.right + 8;
    else if (main.left - 8 - w >= work.left) x = main.left - 8 - w;
    const long y = std::clamp(main.top, work.top, std::max(work.top, work.bottom - h));
    x = std::clamp(x, work.left, std::max(work.left, work.right - w));
    ::SetWindowPos(as_window(window_), HWND_TOP, static_cast<int>(x), static_cast<int>(y), static_cast<int>(w),
                   static_cast<int>(h), SWP_SHOWWINDOW);
    ::SetForegroundWindow(as_window(window_));
    ::SetFocus(::GetDlgItem(as_window(window_), kOptionsTreeId));
}

OptionsDialog::~OptionsDialog() {
    if (window_ != nullptr) {
        ::SetWindowLongPtrW(as_window(window_), GWLP_USERDATA, 0);
        ::RemovePropW(as_window(window_), kDialogKeysProperty);
        ::DestroyWindow(as_window(window_));
    }
    ::DeleteObject(static_cast<HFONT>(font_));
    ::DeleteObject(static_cast<HFONT>(bold_));
}

void OptionsDialog::build() {
    const HWND w = as_window(window_);
    const auto child = [&](const wchar_t* cls, const wchar_t* text, DWORD style, int id, int x, int y, int cx, int cy,
                           DWORD ex = 0) {
        HWND c = ::CreateWindowExW(ex, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, cx, cy, w,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        ::SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        return c;
    };
    const int bottom = kHeight - kMargin - kButtonHeight - kMargin;
    HWND tree = child(WC_TREEVIEWW, L"", WS_TABSTOP | WS_GROUP | TVS_HASLINES | TVS_LINESATROOT | TVS_HASBUTTONS |
                                             TVS_SHOWSELALWAYS,
                      kOptionsTreeId, kMargin, kMargin, kTreeWidth, bottom - kMargin, WS_EX_CLIENTEDGE);
    PageArea area{w, kMargin * 2 + kTreeWidth, kMargin, kWidth - kTreeWidth - 3 * kMargin,
                  static_cast<HFONT>(font_), static_cast<HFONT>(bold_), {}};
    const std::vector<OptionPageDecl> decls = option_page_decls(host_.options_period_names());
    for (const OptionPageDecl& page : decls)
        for (const OptionControl& c : page.controls)
            if (c.kind == OptionControlKind::slot && !host_.options_slot_text(c.setting).empty())
                area.text_slots.push_back(c.setting);
    text_slots_ = area.text_slots;
    const HWND tips = create_tooltips(w);
    for (std::size_t i = 0; i < decls.size(); ++i) {
        auto page = std::make_unique<Page>();
        page->decl = decls[i];
        if (page->decl.has_own_view)
            page->view = host_.options_page_view(page->decl.name, {[this] { view_changed(); },
                                                                   [this](const std::string& name, const std::string& setting) {
                                                                       show_setting(name, setting);
                                                                   }});
        create_page_windows(*page, static_cast<int>(i), area);
        if (page->view != nullptr) {
            Page& made = *page;
            const auto declared = [&made](const std::string& setting) -> void* {
                for (std::size_t k = 0; k < made.decl.controls.size(); ++k)
                    if (made.decl.controls[k].setting == setting) return made.controls[k].main;
                return nullptr;
            };
            const OptionsPageArea own{w, area.left, page->rows_bottom, area.width, bottom - page->rows_bottom, font_, declared,
                                      bold_};
            for (void* view_window : page->view->create(own)) page->windows.push_back(as_window(view_window));
        }
        for (std::size_t k = 0; k < page->decl.controls.size(); ++k) {
            const OptionControl& c = page->decl.controls[k];
            const std::string tip =
                c.tooltip.empty() && c.kind == OptionControlKind::colour ? "Click to choose the colour" : c.tooltip;
            if (!tip.empty()) add_tooltip(tips, page->controls[k].main, widen(tip));
        }
        // The node goes under its parent page's node, which comes earlier in the list.
        TVINSERTSTRUCTW node{};
        node.hParent = TVI_ROOT;
        for (const auto& earlier : pages_)
            if (earlier->decl.name == page->decl.parent) node.hParent = earlier->node;
        node.hInsertAfter = TVI_LAST;
        const std::wstring name = widen(page->decl.name);
        node.item.mask = TVIF_TEXT | TVIF_PARAM;
        node.item.pszText = const_cast<wchar_t*>(name.c_str());
        node.item.lParam = static_cast<LPARAM>(i);
        page->node = reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&node)));
        pages_.push_back(std::move(page));
    }
    for (const auto& page : pages_) ::SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(page->node));
    const int y = kHeight - kMargin - kButtonHeight;
    int x = kWidth - kMargin - 3 * kButtonWidth - 2 * 6;
    child(L"BUTTON", L"&OK", WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, IDOK, x, y, kButtonWidth, kButtonHeight);
    x += kButtonWidth + 6;
    child(L"BUTTON", L"Cancel", WS_TABSTOP | WS_GROUP, IDCANCEL, x, y, kButtonWidth, kButtonHeight);
    x += kButtonWidth + 6;
    HWND apply = child(L"BUTTON", L"&Apply", WS_TABSTOP | WS_GROUP, kOptionsApplyId, x, y, kButtonWidth, kButtonHeight);
    ::EnableWindow(apply, FALSE);
}

void OptionsDialog::fill() {
    ++loading_;
    for (const auto& page : pages_) {
        for (std::size_t k = 0; k < page->decl.controls.size(); ++k) {
            const OptionControl& c = page->decl.controls[k];
            const ControlWindows& cw = page->controls[k];
            fill_control(*binder_, c, cw);
            if (c.enabled_by.empty()) continue;
            const BOOL on = binder_->enabled(c) ? TRUE : FALSE;
            for (HWND piece : {cw.main, cw.label}) ::EnableWindow(piece, on);
            for (HWND radio : cw.radios) ::EnableWindow(radio, on);
        }
    }
    --loading_;
    for (const auto& page : pages_)
        if (page->view != nullptr) page->view->fill();
    show_slot_texts();
}

void OptionsDialog::show_slot_texts() {
    for (const auto& page : pages_)
        for (std::size_t k = 0; k < page->decl.controls.size(); ++k)
            if (page->decl.controls[k].kind == OptionControlKind::slot && page->controls[k].main != nullptr &&
                std::find(text_slots_.begin(), text_slots_.end(), page->decl.controls[k].setting) != text_slots_.end())
            {
                // Only a changed text is written, as this runs each second.
                const std::wstring text = widen(host_.options_slot_text(page->decl.controls[k].setting));
                if (window_text(page->controls[k].main) != text) ::SetWindowTextW(page->controls[k].main, text.c_str());
            }
}

void OptionsDialog::select(int page) {
    if (page < 0 || static_cast<std::size_t>(page) >= pages_.size() || page == shown_) return;
    if (shown_ >= 0)
        for (HWND w : pages_[static_cast<std::size_t>(shown_)]->windows) ::ShowWindow(w, SW_HIDE);
    shown_ = page;
    for (HWND w : pages_[static_cast<std::size_t>(page)]->windows) ::ShowWindow(w, SW_SHOW);
    // A view shows what other pages changed meanwhile (the Items page follows "Enable custom items").
    if (pages_[static_cast<std::size_t>(page)]->view != nullptr) pages_[static_cast<std::size_t>(page)]->view->fill();
    HWND tree = ::GetDlgItem(as_window(window_), kOptionsTreeId);
    HTREEITEM node = pages_[static_cast<std::size_t>(page)]->node;
    if (reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)) != node)
        ::SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node));
}

void OptionsDialog::show_page(const std::string& name) {
    for (std::size_t i = 0; i < pages_.size(); ++i)
        if (pages_[i]->decl.name == name) select(static_cast<int>(i));
}

void OptionsDialog::show_setting(const std::string& page, const std::string& setting) {
    show_page(page);
    for (const auto& p : pages_) {
        for (std::size_t k = 0; k < p->decl.controls.size(); ++k) {
            if (p->decl.name != page || p->decl.controls[k].setting != setting) continue;
            ::SetFocus(p->controls[k].main);
            ::SendMessageW(p->controls[k].main, EM_SETSEL, 0, -1);
        }
    }
}

void OptionsDialog::adapters_changed() {
    for (const auto& page : pages_)
        if (page->view != nullptr) page->view->adapters_changed();
}

void OptionsDialog::view_changed() {
    if (loading_ > 0) return;
    ::EnableWindow(::GetDlgItem(as_window(window_), kOptionsApplyId), TRUE);
    // A view may change what another page's own check box shows: "Minutely logging",
    // switched off by the Reset page's question.
    ++loading_;
    for (const auto& page : pages_)
        for (std::size_t k = 0; k < page->decl.controls.size(); ++k)
            if (page->decl.controls[k].kind == OptionControlKind::slot)
                fill_control(*binder_, page->decl.controls[k], page->controls[k]);
    --loading_;
}

void OptionsDialog::changed(int page, int control, unsigned code) {
    if (loading_ > 0 || page < 0 || static_cast<std::size_t>(page) >= pages_.size()) return;
    Page& p = *pages_[static_cast<std::size_t>(page)];
    const int piece = control % 8;
    control /= 8;
    if (control < 0 || static_cast<std::size_t>(control) >= p.decl.controls.size()) return;
    const OptionControl& c = p.decl.controls[static_cast<std::size_t>(control)];
    const ControlWindows& cw = p.controls[static_cast<std::size_t>(control)];
    if (c.kind == OptionControlKind::colour) {
        if (code != BN_CLICKED || colour_dialog_ != nullptr) return;
        const std::int64_t before = binder_->number(c.setting);
        const auto show = [this, &c, &cw](std::uint32_t colour) {
            if (binder_->number(c.setting) == static_cast<std::int64_t>(colour)) return;
            binder_->set_number(c.setting, static_cast<std::int32_t>(colour));
            ::InvalidateRect(cw.main, nullptr, TRUE);
            ::EnableWindow(::GetDlgItem(as_window(window_), kOptionsApplyId), TRUE);
            host_.options_preview();
        };
        std::uint32_t chosen = 0;
        const bool ok = choose_colour(as_window(window_), static_cast<std::uint32_t>(before), show, &colour_dialog_, &chosen);
        show(ok ? chosen : static_cast<std::uint32_t>(before));
        return;
    }
    if (c.kind == OptionControlKind::slot && c.setting == kMinuteLoggingSlot && code == BN_CLICKED) {
        if (!host_.options_minute_logging(::SendMessageW(cw.main, BM_GETCHECK, 0, 0) == BST_CHECKED)) {
            fill_control(*binder_, c, cw);
            return;
        }
    } else if (p.view != nullptr && p.view->declared_command(c.setting, code)) {
        // The page's view took it.
    } else if (!take_control(*binder_, c, cw, piece, code)) {
        return;
    }
    ::EnableWindow(::GetDlgItem(as_window(window_), kOptionsApplyId), TRUE);
    // What depends on the change is enabled by it.
    ++loading_;
    for (const auto& other : pages_) {
        for (std::size_t k = 0; k < other->decl.controls.size(); ++k) {
            const OptionControl& oc = other->decl.controls[k];
            if (oc.enabled_by.empty()) continue;
            const BOOL on = binder_->enabled(oc) ? TRUE : FALSE;
            for (HWND w : {other->controls[k].main, other->controls[k].label}) ::EnableWindow(w, on);
            for (HWND w : other->controls[k].radios) ::EnableWindow(w, on);
        }
    }
    --loading_;
    host_.options_preview();
    show_slot_texts();
}

void OptionsDialog::store(bool close_after) {
    // A fraction in a box for whole numbers is mended before anything is stored.
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        const Page& p = *pages_[i];
        for (std::size_t k = 0; k < p.decl.controls.size(); ++k) {
            const HWND box = p.controls[k].main;
            if (p.decl.controls[k].kind != OptionControlKind::number || ::GetPropW(box, kFractionProperty) == nullptr)
                continue;
            select(static_cast<int>(i));
            ::MessageBoxW(as_window(window_), widen(whole_numbers_message(p.decl.controls[k].caption)).c_str(),
                          L"Kelvanto", MB_ICONEXCLAMATION | MB_OK);
            ::SetFocus(box);
            ::SendMessageW(box, EM_SETSEL, 0, -1);
            return;
        }
    }
    const OptionsDialogHost::Refusal refusal = host_.options_refusal();
    if (!refusal.message.empty()) {
        ::MessageBoxW(as_window(window_), widen(refusal.message).c_str(), L"Kelvanto", MB_ICONEXCLAMATION | MB_OK);
        show_setting(refusal.page, refusal.setting);
        return;
    }
    for (const auto& page : pages_)
        if (page->view != nullptr) page->view->store(close_after);
    host_.options_store();
    if (close_after) {
        close(false);
        return;
    }
    ::EnableWindow(::GetDlgItem(as_window(window_), kOptionsApplyId), FALSE);
    // The boxes show what was stored (a refused number shows the setting again).
    fill();
    host_.options_preview();
    ::SetFocus(as_window(window_));
}

void OptionsDialog::close(bool discard) {
    if (discard) host_.options_discard();
    ::DestroyWindow(as_window(window_));
}

void OptionsDialog::bring_forward() {
    HWND front = colour_dialog_ != nullptr ? static_cast<HWND>(colour_dialog_) : as_window(window_);
    if (front != nullptr) ::SetForegroundWindow(front);
}

bool OptionsDialog::handle(unsigned message, std::uintptr_t wparam, std::intptr_t lparam, std::intptr_t* result) {
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wparam);
            const unsigned code = HIWORD(wparam);
            if (id == IDOK) store(true);
            else if (id == IDCANCEL) close(true);
            else if (id == kOptionsApplyId && code == BN_CLICKED) store(false);
            else if (id >= 0x1000) changed((id - 0x1000) / 0x100, (id - 0x1000) % 0x100, code);
            else if (id >= kOptionsViewIdFirst)
                for (const auto& page : pages_)
                    if (page->view != nullptr && page->view->command(id, code)) break;
            return true;
        }
        case WM_HSCROLL: {
            const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lparam));
            if (id >= 0x1000) changed((id - 0x1000) / 0x100, (id - 0x1000) % 0x100, 0);
            return true;
        }
        case WM_NOTIFY: {
            const auto* note = reinterpret_cast<const NMHDR*>(lparam);
            if (note->idFrom >= kOptionsViewIdFirst && note->idFrom < 0x1000) {
                for (const auto& page : pages_)
                    if (page->view != nullptr && page->view->notify(note, result)) return true;
                return false;
            }
            if (note->idFrom == kOptionsTreeId && note->code == TVN_SELCHANGEDW) {
                select(static_cast<int>(reinterpret_cast<const NMTREEVIEWW*>(lparam)->itemNew.lParam));
            } else if (note->code == DTN_DATETIMECHANGE && note->idFrom >= 0x1000) {
                const int id = static_cast<int>(note->idFrom);
                changed((id - 0x1000) / 0x100, (id - 0x1000) % 0x100, 0);
            }
            return false;
        }
        case WM_DRAWITEM: {
            // A colour swatch: its colour, framed.
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
            const int id = static_cast<int>(item->CtlID) - 0x1000;
            const std::size_t page = static_cast<std::size_t>(id / 0x100), control = static_cast<std::size_t>(id % 0x100 / 8);
            if (id < 0 || page >= pages_.size() || control >= pages_[page]->decl.controls.size()) return false;
            const std::int64_t colour = binder_->number(pages_[page]->decl.controls[control].setting);
            HBRUSH fill = ::CreateSolidBrush(static_cast<COLORREF>(colour) & 0xFFFFFF);
            ::FillRect(item->hDC, &item->rcItem, fill);
            ::DeleteObject(fill);
            ::FrameRect(item->hDC, &item->rcItem, static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH)));
            if ((item->itemState & ODS_FOCUS) != 0) {
                RECT inner = item->rcItem;
                ::InflateRect(&inner, -3, -3);
                ::DrawFocusRect(item->hDC, &inner);
            }
            *result = TRUE;
            return true;
        }
        case WM_CTLCOLORSTATIC: {
            // The note beside a box that holds a fraction is red.
            if (::GetPropW(reinterpret_cast<HWND>(lparam), kWarningProperty) == nullptr) return false;
            const HDC dc = reinterpret_cast<HDC>(wparam);
            ::SetTextColor(dc, RGB(0xC0, 0, 0));
            ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
            *result = reinterpret_cast<std::intptr_t>(::GetSysColorBrush(COLOR_BTNFACE));
            return true;
        }
        case WM_TIMER:
            if (wparam != kSlotTextsTimer) return false;
            show_slot_texts();
            return true;
        case WM_DPICHANGED: {
            // Moved to a screen of another density: the controls and their fonts follow, in
            // the place the system suggests.
            const int dpi = HIWORD(wparam);
            void* font = create_message_font(static_cast<UINT>(dpi));
            void* bold = create_message_font(static_cast<UINT>(dpi), true);
            scale_children(as_window(window_), dpi_, dpi, static_cast<HFONT>(font_), static_cast<HFONT>(font),
                           static_cast<HFONT>(bold_), static_cast<HFONT>(bold));
            ::DeleteObject(static_cast<HFONT>(font_));
            ::DeleteObject(static_cast<HFONT>(bold_));
            font_ = font;
            bold_ = bold;
            dpi_ = dpi;
            const RECT& place = *reinterpret_cast<const RECT*>(lparam);
            ::SetWindowPos(as_window(window_), nullptr, place.left, place.top, place.right - place.left,
                           place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
            return true;
        }
        case WM_CLOSE: close(true); return true;
        case WM_DESTROY:
            ::RemovePropW(as_window(window_), kDialogKeysProperty);
            window_ = nullptr;
            host_.options_closed();
            return true;
        default: return false;
    }
}
