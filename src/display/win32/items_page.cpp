// The "Items" page of the Win32 options dialog: the custom items with their check marks and
// the buttons that edit the list; New and Modify open the item editor.
#include "display/win32/items_page.h"

#include "platform/win32/windows_api.h"

#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

#include "display/item_list.h"
#include "settings/form_item.h"
#include "settings/settings.h"
#include "display/win32/frm_edit_item.h"
#include "measure/adapter_list.h"
#include "measure/ip_statistics.h"
#include "platform/services.h"
#include "platform/win32/win32_text.h"
#include "settings/win32/option_controls.h"

namespace {

constexpr int kButtonWidth = 84;
constexpr int kButtonHeight = 26;
constexpr int kGap = 6;
constexpr int kNoteHeight = 48;

class ItemsPage final : public OptionsPageView {
public:
    ItemsPage(DisplayView state, Services& services, AdapterTables& tables, std::function<void()> redraw,
              OptionsPageEvents events)
        : state_(state), services_(services), tables_(tables), redraw_(std::move(redraw)), events_(std::move(events)) {}

    std::vector<void*> create(const OptionsPageArea& area) override;
    void fill() override;
    bool command(int id, unsigned code) override;
    bool notify(const void* header, std::intptr_t* result) override;

private:
    int count() const { return static_cast<int>(state_.display_list.size()); }
    void update_buttons();
    void row_changed(const NMLISTVIEW& change);
    void after_edit();
    bool refuse_when_full();
    void new_item();
    void modify_item();
    void open_editor(bool creating, int previous);
    std::vector<std::string> adapter_names();

    DisplayView state_;
    Services& services_;
    AdapterTables& tables_;
    std::function<void()> redraw_;
    OptionsPageEvents events_;
    HWND dialog_ = nullptr;
    HWND list_ = nullptr;
    HWND note_ = nullptr;
    std::vector<HWND> buttons_;  // New, Modify, Copy, Remove, up, down
    int selected_ = 0;           // 1-based, 0 when none
    bool filling_ = false;
};

std::vector<void*> ItemsPage::create(const OptionsPageArea& area) {
    ViewWindows windows(area);
    dialog_ = windows.dialog;
    const int list_width = area.width - kButtonWidth - 2 * kGap;
    const int list_height = area.height - kNoteHeight - 2 * kGap;
    list_ = windows.check_list(kItemsList, area.left, area.top, list_width, list_height);
    buttons_ = windows.button_column({L"&New", L"&Modify", L"&Copy", L"&Remove", L"\x2191", L"\x2193"}, kItemsNew,
                                     area.left + area.width - kButtonWidth, area.top, kButtonWidth, kButtonHeight, kGap);
    note_ = windows.make(0, L"STATIC",
                 L"Your own items are made here once \"Enable custom items\" is ticked on the Layout page; until then "
                 L"the Layout page chooses the standard items.",
                 SS_LEFT, kItemsSwitchNote, area.left, area.top + list_height + 2 * kGap, area.width, kNoteHeight);
    return windows.made;
}

// The list of custom items when they are on; an empty, disabled page when they are off.
void ItemsPage::fill() {
    const bool custom = state_.settings.ShowAdvItems != 0;
    if (::IsWindowVisible(list_)) ::ShowWindow(note_, custom ? SW_HIDE : SW_SHOW);
    ::EnableWindow(list_, custom ? TRUE : FALSE);
    ::EnableWindow(buttons_[0], custom ? TRUE : FALSE);
    filling_ = true;
    ::SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
    const int n = custom ? count() : 0;
    for (int i = 0; i < n; ++i) {
        const FormItem& item = state_.display_list[static_cast<std::size_t>(i)];
        std::wstring name = widen(item.Name);
        LVITEMW row = {};
        row.mask = LVIF_TEXT;
        row.iItem = i;
        row.pszText = name.data();
        ::SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row));
        row.mask = 0;
        row.stateMask = LVIS_STATEIMAGEMASK;
        row.state = INDEXTOSTATEIMAGEMASK(item.Enabled != 0 ? 2 : 1);
        ::SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&row));
    }
    if (selected_ > n) selected_ = n;
    if (selected_ == 0 && n > 0) selected_ = 1;
    if (selected_ > 0) {
        LVITEMW row = {};
        row.stateMask = row.state = LVIS_SELECTED | LVIS_FOCUSED;
        ::SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(selected_ - 1), reinterpret_cast<LPARAM>(&row));
        ::SendMessageW(list_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(selected_ - 1), FALSE);
    }
    filling_ = false;
    update_buttons();
}

void ItemsPage::update_buttons() {
    const bool custom = state_.settings.ShowAdvItems != 0;
    const ItemButtons b = item_buttons(custom ? count() : 0, selected_);
    const bool on[] = {b.modify, b.copy, b.remove, b.up, b.down};
    for (int i = 0; i < 5; ++i) ::EnableWindow(buttons_[static_cast<std::size_t>(i + 1)], on[i] ? TRUE : FALSE);
}

bool ItemsPage::command(int id, unsigned code) {
    if (id < kItemsNew || id > kItemsSwitchNote) return false;
    if (code != BN_CLICKED || id == kItemsSwitchNote) return true;
    if (id == kItemsNew) {
        new_item();
    } else if (id == kItemsModify) {
        modify_item();
    } else {
        bool done = false;
        if (id == kItemsCopy) done = !refuse_when_full() && copy_item(state_.display_list, selected_);
        else if (id == kItemsRemove) done = remove_item(state_.display_list, selected_);
        else if (id == kItemsUp) done = move_item_up(state_.display_list, selected_);
        else done = move_item_down(state_.display_list, selected_);
        if (done) after_edit();
    }
    return true;
}

bool ItemsPage::notify(const void* header, std::intptr_t* result) {
    const auto& nm = *static_cast<const NMHDR*>(header);
    if (nm.idFrom != kItemsList) return false;
    if (nm.code == LVN_ITEMCHANGED) row_changed(*static_cast<const NMLISTVIEW*>(header));
    else if (nm.code == static_cast<UINT>(NM_DBLCLK)) modify_item();
    *result = 0;
    return true;
}

// A row's check mark shows or hides its item; a row selected is the one the buttons edit.
void ItemsPage::row_changed(const NMLISTVIEW& change) {
    if (filling_ || change.iItem < 0 || change.iItem >= count() || (change.uChanged & LVIF_STATE) == 0) return;
    const UINT flipped = change.uNewState ^ change.uOldState;
    if ((flipped & LVIS_SELECTED) != 0 && (change.uNewState & LVIS_SELECTED) != 0) {
        selected_ = change.iItem + 1;
        update_buttons();
    }
    if ((flipped & LVIS_STATEIMAGEMASK) != 0 && (change.uOldState & LVIS_STATEIMAGEMASK) != 0) {
        const bool ticked = (change.uNewState & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
        state_.display_list[static_cast<std::size_t>(change.iItem)].Enabled = ticked ? 255 : 0;
        StoreCustomList(state_);
        if (events_.changed) events_.changed();
        if (redraw_) redraw_();
    }
}

void ItemsPage::after_edit() {
    StoreCustomList(state_);
    fill();
    if (events_.changed) events_.changed();
    if (redraw_) redraw_();
}

bool ItemsPage::refuse_when_full() {
    if (count() < kMaxItems) return false;
    MessageBoxRequest request;
    request.text = kListFullMessage;
    request.title = "Kelvanto";
    request.icon = MsgIcon::information;
    services_.dialogs.message_box(request);
    return true;
}

std::vector<std::string> ItemsPage::adapter_names() {
    clsIPStatistics stats(services_.tables, services_.dialogs, tables_);
    return adapter_list_names(stats);
}

void ItemsPage::new_item() {
    if (refuse_when_full()) return;
    const std::vector<std::string> names = adapter_names();
    const int previous = selected_;
    if (!append_new_item(state_.display_list, selected_, static_cast<int>(names.size()))) return;
    StoreCustomList(state_);
    fill();
    open_editor(true, previous);
}

void ItemsPage::modify_item() {
    if (selected_ < 1 || selected_ > count() || state_.settings.ShowAdvItems == 0) return;
    open_editor(false, selected_);
}

// The editor works on the display list while it is open; the list is shown again when it
// closes.
void ItemsPage::open_editor(bool creating, int previous) {
    ItemEditorSession session;
    session.item = selected_;
    session.creating = creating;
    session.adapter_names = adapter_names();
    session.redraw = redraw_;
    session.closed = [this, creating, previous](bool accepted) {
        if (!accepted && creating) selected_ = previous;
        fill();
        if (accepted && events_.changed) events_.changed();
        if (redraw_) redraw_();
        ::SetFocus(list_);
    };
    open_item_editor(dialog_, state_, std::move(session));
}

}  // namespace

std::unique_ptr<OptionsPageView> create_items_page(DisplayView state, Services& services, AdapterTables& tables,
                                                   std::function<void()> redraw, OptionsPageEvents events) {
    return std::make_unique<ItemsPage>(state, services, tables, std::move(redraw), std::move(events));
}
