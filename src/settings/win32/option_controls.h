#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/windows_api.h"
#include <commctrl.h>

#include "settings/option_page_decl.h"
#include "settings/win32/options_dialog.h"

// The windows of one declared control: the control itself (piece 0), its radio buttons
// (pieces 1 ...) and the caption at its left.
struct ControlWindows {
    HWND main = nullptr;
    std::vector<HWND> radios;
    HWND label = nullptr;
};

struct OptionsDialog::Page {
    OptionPageDecl decl;
    HTREEITEM node = nullptr;
    std::vector<ControlWindows> controls;  // one per declared control
    std::vector<HWND> windows;             // every window of the page, shown together
    std::unique_ptr<OptionsPageView> view; // the page's own view, when it has one
    int rows_bottom = 0;                   // where the declared controls end
};

// The width of the captions' column at the left of a page; the fields start there.
inline constexpr int kOptionsLabelWidth = 220;

// The slot of the Logging page where the Windows page puts its "Minutely logging" check box.
inline constexpr const char* kMinuteLoggingSlot = "minute_logging";

// Where a page's rows go in the dialog's client area, and the fonts to use.
struct PageArea {
    HWND parent = nullptr;
    int left = 0;
    int top = 0;
    int width = 0;
    HFONT font = nullptr;
    HFONT bold = nullptr;
    std::vector<std::string> text_slots;  // slots shown as lines of text
};

// The windows a page's own view makes: children of the dialog in its font, hidden until the
// dialog shows the page, each kept in `made`, which the view hands to the dialog.
struct ViewWindows {
    explicit ViewWindows(const OptionsPageArea& area);
    HWND make(DWORD ex_style, const wchar_t* window_class, const wchar_t* text, DWORD style, int id, int x, int y,
              int width, int height);
    // A list of one column without a header, a check box on each row.
    HWND check_list(int id, int x, int y, int width, int height);
    // Push buttons one below the other, `gap` apart, with the identifiers from `first_id` on.
    std::vector<HWND> button_column(const std::vector<const wchar_t*>& captions, int first_id, int x, int y, int width,
                                    int height, int gap);

    HWND dialog = nullptr;
    HFONT font = nullptr;
    std::vector<void*> made;
};

// Creates the (hidden) windows of page `index`: its title, its declared controls row by row,
// and for a page that is more than its controls, when something of it is not shown, a line
// saying the rest comes later (not when the page has its view).
void create_page_windows(OptionsDialog::Page& page, int index, const PageArea& area);
// Shows the setting of a control in it (not the text of a text slot).
void fill_control(const OptionBinder& binder, const OptionControl& control, const ControlWindows& windows);
// Takes a user's change of a control (`piece` as in option_control_id, `code` the
// notification) into its setting; true when it counts as a change.
bool take_control(OptionBinder& binder, const OptionControl& control, const ControlWindows& windows, int piece,
                  unsigned code);
// The window property of a box for whole numbers that holds a fraction, and of the text
// beside it that says so (drawn in red), and that text.
inline constexpr const wchar_t* kFractionProperty = L"KelvantoFraction";
inline constexpr const wchar_t* kWarningProperty = L"KelvantoWarning";
inline constexpr std::string_view kWholeNumbersOnly = "whole numbers only";
// Marks box `box` of control `c` as holding a fraction or not, and says so beside it.
void show_fraction(const OptionControl& c, HWND box, bool fraction);
// The digits of `text`, nothing else.
std::wstring digits_of(const std::wstring& text);
std::wstring window_text(HWND window);
// The colour dialog "Color" over `owner`, starting at `before`: every colour it shows goes to
// `show` at once (live preview); `dialog` holds the dialog's window while it is open. True
// with the colour in `chosen` when the user took one.
bool choose_colour(HWND owner, std::uint32_t before, const std::function<void(std::uint32_t)>& show, void** dialog,
                   std::uint32_t* chosen);
