// The "Colors" page of the Win32 options dialog: the preset list, the colour swatches and the
// buttons that keep, name and remove presets, over the core's preset page.
#include "display/win32/colors_page.h"

#include "platform/win32/windows_api.h"

#include <commctrl.h>

#include <utility>
#include <vector>

#include "display/preset_page.h"
#include "display/win32/preset_name_window.h"
#include "platform/win32/dialog_controls.h"
#include "platform/win32/win32_text.h"
#include "settings/win32/option_controls.h"

namespace {

constexpr int kListWidth = 228;
constexpr int kButtonWidth = 54;
constexpr int kButtonHeight = 26;
constexpr int kGap = 4;
constexpr int kCaptionWidth = 130;
constexpr int kSwatchWidth = 40;
constexpr int kSwatchHeight = 18;
constexpr int kSwatchRow = 24;

constexpr const wchar_t* kCaptions[12] = {L"Background",       L"Header",         L"Description",    L"Values",
                                          L"Seperator",        L"Graph upload",   L"Average upload", L"Graph download",
                                          L"Average download", L"Grid lines",     L"Download/upload", L"Text label"};

class ColorsPageView final : public OptionsPageView {
public:
    ColorsPageView(Settings& settings, const std::string& data_dir, std::function<void()> redraw, OptionsPageEvents events)
        : settings_(settings), data_dir_(data_dir), redraw_(std::move(redraw)), events_(std::move(events)) {}
    ~ColorsPageView() override {
        for (HWND w : swatches_) ::RemoveWindowSubclass(w, swatch_proc, 0);
        if (name_window_ != nullptr) ::DestroyWindow(name_window_);
    }

    std::vector<void*> create(const OptionsPageArea& area) override;
    void fill() override;
    bool command(int id, unsigned code) override;
    bool notify(const void*, std::intptr_t*) override { return false; }
    void store(bool closing) override {
        // Deleted presets leave the file only now; OK also keeps the current preset's colours.
        store_deletions(page_);
        if (closing) save_preset(page_, settings_);
    }

private:
    static LRESULT CALLBACK swatch_proc(HWND w, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR self);
    void paint_swatch(HWND w, int n) const;
    void effect(PageEffect e) {
        if (e.redraw_main && redraw_) redraw_();
    }
    void changed() {
        if (events_.changed) events_.changed();
    }
    void pick(int swatch);
    void open_name_window(bool rename);

    Settings& settings_;
    std::string data_dir_;
    std::function<void()> redraw_;
    OptionsPageEvents events_;
    PresetPage page_;
    HWND dialog_ = nullptr;
    HWND list_ = nullptr;
    std::vector<HWND> buttons_;   // New, Rename, Save, Delete
    std::vector<HWND> swatches_;  // one per colour role
    void* colour_dialog_ = nullptr;
    HWND name_window_ = nullptr;
    bool filling_ = false;
};

std::vector<void*> ColorsPageView::create(const OptionsPageArea& area) {
    page_ = open_preset_page(settings_, data_dir_);
    ViewWindows windows(area);
    dialog_ = windows.dialog;
    const int list_height = area.height - kButtonHeight - 2 * kGap;
    list_ = windows.make(WS_EX_CLIENTEDGE, L"LISTBOX", L"", WS_TABSTOP | WS_GROUP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                 kColorsPresets, area.left, area.top, kListWidth, list_height);
    const HWND tips = create_tooltips(dialog_);
    const wchar_t* captions[] = {L"&New", L"&Rename", L"&Save", L"D&elete"};
    for (int i = 0; i < 4; ++i)
        buttons_.push_back(windows.make(0, L"BUTTON", captions[i], WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON, kColorsNew + i,
                                area.left + i * (kButtonWidth + kGap), area.top + list_height + kGap, kButtonWidth,
                                kButtonHeight));
    add_tooltip(tips, buttons_[0], L"A new preset with the colours shown");
    add_tooltip(tips, buttons_[2], L"Keep the colours shown in the selected preset");
    add_tooltip(tips, buttons_[3], L"Remove the selected preset (with OK or Apply; Cancel keeps it)");
    const int x = area.left + kListWidth + 5 * kGap;
    for (int n = 0; n < 12; ++n) {
        const int y = area.top + n * kSwatchRow;
        windows.make(0, L"STATIC", kCaptions[n], SS_LEFT | SS_CENTERIMAGE, kColorsCaptionFirst + n, x, y, kCaptionWidth,
             kSwatchHeight);
        HWND swatch = windows.make(0, L"BUTTON", kCaptions[n], WS_TABSTOP | BS_PUSHBUTTON, kColorsSwatchFirst + n,
                           x + kCaptionWidth + kGap, y, kSwatchWidth, kSwatchHeight);
        ::SetWindowSubclass(swatch, swatch_proc, 0, reinterpret_cast<DWORD_PTR>(this));
        add_tooltip(tips, swatch, L"Click to choose the colour; the main window shows it at once");
        swatches_.push_back(swatch);
    }
    return windows.made;
}

// A swatch shows its colour, framed, with the focus rectangle when it has the focus.
LRESULT CALLBACK ColorsPageView::swatch_proc(HWND w, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                             DWORD_PTR self) {
    if (message == WM_ERASEBKGND) return 1;
    if (message == WM_PAINT) {
        const auto* view = reinterpret_cast<const ColorsPageView*>(self);
        view->paint_swatch(w, ::GetDlgCtrlID(w) - kColorsSwatchFirst);
        return 0;
    }
    return ::DefSubclassProc(w, message, wparam, lparam);
}

void ColorsPageView::paint_swatch(HWND w, int n) const {
    PAINTSTRUCT paint{};
    const HDC dc = ::BeginPaint(w, &paint);
    RECT r{};
    ::GetClientRect(w, &r);
    HBRUSH fill = ::CreateSolidBrush(static_cast<COLORREF>(page_.swatches[static_cast<std::size_t>(n)]) & 0xFFFFFF);
    ::FillRect(dc, &r, fill);
    ::DeleteObject(fill);
    ::FrameRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH)));
    if (::GetFocus() == w) {
        ::InflateRect(&r, -3, -3);
        ::DrawFocusRect(dc, &r);
    }
    ::EndPaint(w, &paint);
}

void ColorsPageView::fill() {
    filling_ = true;
    ::SendMessageW(list_, LB_RESETCONTENT, 0, 0);
    for (const std::string& name : page_.names)
        ::SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(name).c_str()));
    ::SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(page_.selected), 0);
    filling_ = false;
    for (HWND w : swatches_) ::InvalidateRect(w, nullptr, TRUE);
    ::EnableWindow(buttons_[1], page_.rename_enabled ? TRUE : FALSE);
    ::EnableWindow(buttons_[2], page_.save_enabled ? TRUE : FALSE);
    ::EnableWindow(buttons_[3], page_.delete_enabled ? TRUE : FALSE);
}

bool ColorsPageView::command(int id, unsigned code) {
    if (id < kColorsPresets || id >= kColorsCaptionFirst) return false;
    if (id == kColorsPresets) {
        const int row = static_cast<int>(::SendMessageW(list_, LB_GETCURSEL, 0, 0));
        if (code != LBN_SELCHANGE || filling_ || row < 0 || row == page_.selected) return true;
        effect(select_preset(page_, settings_, row));
        fill();
        changed();
        return true;
    }
    if (code != BN_CLICKED) return true;
    switch (id) {
        case kColorsNew: open_name_window(false); break;
        case kColorsRename: open_name_window(true); break;
        case kColorsSave:
            save_preset(page_, settings_);
            fill();
            break;
        case kColorsDelete:
            effect(delete_preset(page_, settings_));
            fill();
            changed();
            break;
        default: pick(id - kColorsSwatchFirst); break;
    }
    return true;
}

// The colour dialog of a swatch: every colour it shows is tried on the main window at once;
// Cancel puts the colour back.
void ColorsPageView::pick(int swatch) {
    if (colour_dialog_ != nullptr) return;
    begin_pick(page_, swatch);
    if (page_.picking < 0) return;
    const std::function<void(std::uint32_t)> show = [this](std::uint32_t colour) {
        effect(ColorChange(page_, settings_, colour));
        for (HWND w : swatches_) ::InvalidateRect(w, nullptr, TRUE);
    };
    std::uint32_t chosen = 0;
    const bool accepted = choose_colour(dialog_, page_.colour_before, show, &colour_dialog_, &chosen);
    effect(accepted ? pick_accepted(page_, settings_, chosen) : pick_cancelled(page_, settings_));
    fill();
    if (accepted) changed();
}

void ColorsPageView::open_name_window(bool rename) {
    if (name_window_ != nullptr || (rename && page_.selected == 0)) return;
    const auto entered = [this, rename](const std::string& name) {
        auto problem = rename ? rename_preset(page_, settings_, name) : new_preset(page_, settings_, name);
        if (!problem) {
            if (redraw_) redraw_();
            fill();
            changed();
        }
        return problem;
    };
    name_window_ = open_preset_name_window(dialog_, rename, rename ? page_.current() : std::string(), entered,
                                           [this] { name_window_ = nullptr; });
}

}  // namespace

std::unique_ptr<OptionsPageView> create_colors_page(Settings& settings, const std::string& data_dir,
                                                    std::function<void()> redraw, OptionsPageEvents events) {
    return std::make_unique<ColorsPageView>(settings, data_dir, std::move(redraw), std::move(events));
}
