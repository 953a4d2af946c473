// The rule sentence control on Win32: owner-drawn words placed by layout_sentence.
#include "alerts/win32/rule_sentence_view.h"

#include <commctrl.h>

#include <string>

#include "platform/win32/win32_text.h"
#include "platform/win32/window_owner.h"

namespace {

constexpr const wchar_t* kSentenceClass = L"Kelvanto.RuleSentence";
constexpr COLORREF kPlain = RGB(0, 0, 0);
constexpr COLORREF kPlaceholder = RGB(0, 0, 255);
constexpr COLORREF kMissing = RGB(255, 0, 0);

struct ShownWord {
    std::wstring text;
    bool placeholder = false;
    bool missing = false;
    RECT place{};  // in the frame, before scrolling
};

struct SentenceState {
    std::vector<ShownWord> words;
    HFONT font = nullptr;       // the parent's, not owned
    HFONT underlined = nullptr;  // owned
    int scroll = 0;             // scroll bar value, in steps
    int scroll_max = 0;
    int focused = -1;  // the placeholder the keyboard acts on
};

SentenceState* state_of(HWND view) { return reinterpret_cast<SentenceState*>(::GetWindowLongPtrW(view, GWLP_USERDATA)); }

RECT shown_rect(const SentenceState& s, const ShownWord& w) {
    RECT r = w.place;
    ::OffsetRect(&r, 0, frame_top_for_scroll(s.scroll));
    return r;
}

int word_at(const SentenceState& s, POINT at) {
    for (std::size_t i = 0; i < s.words.size(); ++i) {
        const RECT r = shown_rect(s, s.words[i]);
        if (::PtInRect(&r, at)) return static_cast<int>(i);
    }
    return -1;
}

void layout(HWND view, SentenceState& s) {
    const HDC dc = ::GetDC(view);
    std::vector<int> widths;
    int height = 13;
    for (ShownWord& w : s.words) {
        const HGDIOBJ old = ::SelectObject(dc, w.placeholder ? s.underlined : s.font);
        SIZE size{};
        ::GetTextExtentPoint32W(dc, w.text.c_str(), static_cast<int>(w.text.size()), &size);
        ::SelectObject(dc, old);
        widths.push_back(static_cast<int>(size.cx));
        height = static_cast<int>(size.cy);
    }
    ::ReleaseDC(view, dc);
    RECT client{};
    ::GetClientRect(view, &client);
    // The viewport is the whole client area; the layout leaves room for the bar itself.
    if ((::GetWindowLongW(view, GWL_STYLE) & WS_VSCROLL) != 0) client.right += ::GetSystemMetrics(SM_CXVSCROLL);
    const SentenceLayout placed = layout_sentence(widths, client.right, client.bottom);
    for (std::size_t i = 0; i < s.words.size() && i < placed.places.size(); ++i)
        s.words[i].place = RECT{placed.places[i].left, placed.places[i].top, placed.places[i].left + widths[i],
                                placed.places[i].top + height};
    s.scroll_max = placed.scroll_bar ? placed.scroll_max : 0;
    if (s.scroll > s.scroll_max) s.scroll = s.scroll_max;
    ::ShowScrollBar(view, SB_VERT, placed.scroll_bar);
    SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_POS | SIF_PAGE, 0, s.scroll_max, 0, s.scroll, 0};
    ::SetScrollInfo(view, SB_VERT, &info, TRUE);
}

void paint(HWND view, const SentenceState& s) {
    PAINTSTRUCT ps;
    const HDC dc = ::BeginPaint(view, &ps);
    RECT client{};
    ::GetClientRect(view, &client);
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_WINDOW));
    ::SetBkMode(dc, TRANSPARENT);
    for (std::size_t i = 0; i < s.words.size(); ++i) {
        const ShownWord& w = s.words[i];
        RECT r = shown_rect(s, w);
        ::SelectObject(dc, w.placeholder ? s.underlined : s.font);
        ::SetTextColor(dc, !w.placeholder ? kPlain : (w.missing ? kMissing : kPlaceholder));
        ::DrawTextW(dc, w.text.c_str(), static_cast<int>(w.text.size()), &r, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
        if (static_cast<int>(i) == s.focused && ::GetFocus() == view) {
            ::InflateRect(&r, 1, 0);
            ::DrawFocusRect(dc, &r);
        }
    }
    ::EndPaint(view, &ps);
}

void notify_click(HWND view, int word) {
    SentenceClick click{};
    click.hdr.hwndFrom = view;
    click.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(view));
    click.hdr.code = static_cast<UINT>(NM_CLICK);
    click.word = word;
    ::SendMessageW(::GetParent(view), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
}

// The next placeholder from `from` in direction `step`, or `from` when there is none.
int next_placeholder(const SentenceState& s, int from, int step) {
    for (int i = from + step; i >= 0 && i < static_cast<int>(s.words.size()); i += step)
        if (s.words[static_cast<std::size_t>(i)].placeholder) return i;
    return from;
}

void set_font(SentenceState& s, HFONT font) {
    s.font = font != nullptr ? font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTW lf = {};
    ::GetObjectW(s.font, sizeof lf, &lf);
    lf.lfUnderline = TRUE;
    if (s.underlined != nullptr) ::DeleteObject(s.underlined);
    s.underlined = ::CreateFontIndirectW(&lf);
}

void scroll_to(HWND view, SentenceState& s, int value) {
    value = value < 0 ? 0 : (value > s.scroll_max ? s.scroll_max : value);
    if (value == s.scroll) return;
    s.scroll = value;
    ::SetScrollPos(view, SB_VERT, value, TRUE);
    ::InvalidateRect(view, nullptr, TRUE);
}

LRESULT on_key(HWND view, SentenceState& s, WPARAM key) {
    if (key == VK_LEFT || key == VK_RIGHT) {
        const int start = s.focused >= 0 ? s.focused : (key == VK_RIGHT ? -1 : static_cast<int>(s.words.size()));
        s.focused = next_placeholder(s, start, key == VK_RIGHT ? 1 : -1);
        ::InvalidateRect(view, nullptr, TRUE);
    } else if (key == VK_SPACE && s.focused >= 0) {
        notify_click(view, s.focused);
    }
    return 0;
}

LRESULT CALLBACK sentence_procedure(HWND view, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* created = new SentenceState;
        set_font(*created, nullptr);
        ::SetWindowLongPtrW(view, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    SentenceState* s = state_of(view);
    if (s == nullptr) return ::DefWindowProcW(view, message, wparam, lparam);
    switch (message) {
        case WM_NCDESTROY:
            ::SetWindowLongPtrW(view, GWLP_USERDATA, 0);
            if (s->underlined != nullptr) ::DeleteObject(s->underlined);
            delete s;
            break;
        case WM_SETFONT: set_font(*s, reinterpret_cast<HFONT>(wparam)); return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
        case WM_PAINT: paint(view, *s); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_SETCURSOR: {
            POINT at{};
            ::GetCursorPos(&at);
            ::ScreenToClient(view, &at);
            const int word = word_at(*s, at);
            if (LOWORD(lparam) != HTCLIENT || word < 0 || !s->words[static_cast<std::size_t>(word)].placeholder) break;
            ::SetCursor(::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
            return TRUE;
        }
        case WM_LBUTTONDOWN: ::SetFocus(view); return 0;
        case WM_LBUTTONUP: {
            const int word = word_at(*s, POINT{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))});
            if (word >= 0 && s->words[static_cast<std::size_t>(word)].placeholder) {
                s->focused = word;
                notify_click(view, word);
            }
            return 0;
        }
        case WM_VSCROLL: {
            const int code = LOWORD(wparam);
            int value = s->scroll;
            if (code == SB_LINEUP || code == SB_PAGEUP) --value;
            else if (code == SB_LINEDOWN || code == SB_PAGEDOWN) ++value;
            else if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) value = HIWORD(wparam);
            scroll_to(view, *s, value);
            return 0;
        }
        case WM_MOUSEWHEEL: scroll_to(view, *s, s->scroll - GET_WHEEL_DELTA_WPARAM(wparam) / WHEEL_DELTA); return 0;
        case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_KEYDOWN: return on_key(view, *s, wparam);
        case WM_SETFOCUS:
            if (s->focused < 0) s->focused = next_placeholder(*s, -1, 1);
            ::InvalidateRect(view, nullptr, TRUE);
            return 0;
        case WM_KILLFOCUS: ::InvalidateRect(view, nullptr, TRUE); return 0;
        case kSentenceWordRect: {
            if (wparam >= s->words.size()) return FALSE;
            *reinterpret_cast<RECT*>(lparam) = shown_rect(*s, s->words[wparam]);
            return TRUE;
        }
        default: break;
    }
    return ::DefWindowProcW(view, message, wparam, lparam);
}

}  // namespace

HWND create_sentence_view(HWND parent, int id, int x, int y, int width, int height) {
    register_window_class(kSentenceClass, sentence_procedure, false);
    return ::CreateWindowExW(WS_EX_CLIENTEDGE, kSentenceClass, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL, x, y,
                             width, height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             ::GetModuleHandleW(nullptr), nullptr);
}

void show_sentence(HWND view, const std::vector<SentenceWord>& words, bool highlight_missing) {
    SentenceState* s = state_of(view);
    if (s == nullptr) return;
    s->words.clear();
    std::wstring text;
    for (const SentenceWord& w : words) {
        ShownWord shown;
        shown.text = widen(w.text);
        shown.placeholder = w.placeholder();
        shown.missing = highlight_missing && !w.text.empty() && w.text[0] == '<';
        s->words.push_back(shown);
        if (!text.empty()) text += L' ';
        text += shown.text;
    }
    if (s->focused >= static_cast<int>(s->words.size()) ||
        (s->focused >= 0 && !s->words[static_cast<std::size_t>(s->focused)].placeholder))
        s->focused = -1;
    ::SetWindowTextW(view, text.c_str());
    layout(view, *s);
    ::InvalidateRect(view, nullptr, TRUE);
}
