// The "Adapters" page of the Win32 options dialog: which adapters "Multiple adapters" sums,
// which adapter the window shows, whether container and virtual interfaces are counted, and
// the interfaces that are not.
#include "measure/win32/adapters_page.h"

#include "platform/win32/windows_api.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "history/retired_logs.h"
#include "measure/adapter_list.h"
#include "measure/ip_statistics.h"
#include "platform/services.h"
#include "platform/win32/win32_text.h"
#include "settings/adapter_slots.h"
#include "settings/win32/option_controls.h"

namespace {

constexpr int kListHeight = 180;
constexpr int kField = 22;

class AdaptersPage final : public OptionsPageView {
public:
    AdaptersPage(AdaptersPageHost host, Services& services, OptionsPageEvents events)
        : host_(std::move(host)), services_(services), events_(std::move(events)) {}

    std::vector<void*> create(const OptionsPageArea& area) override;
    void fill() override;
    bool command(int id, unsigned code) override;
    bool notify(const void* header, std::intptr_t* result) override;
    void adapters_changed() override { fill(); }

private:
    void row_changed(const NMLISTVIEW& change);
    void changed(bool summed, bool monitored);

    AdaptersPageHost host_;
    Services& services_;
    OptionsPageEvents events_;
    HWND list_ = nullptr;
    HWND monitored_ = nullptr;
    HWND count_virtual_ = nullptr;
    HWND not_counted_ = nullptr;
    int rows_ = 0;
    bool filling_ = false;
};

std::vector<void*> AdaptersPage::create(const OptionsPageArea& area) {
    ViewWindows windows(area);
    int y = area.top;
    // Row by row: each window at `y`, `x` from the page's left.
    const auto make = [&](DWORD ex, const wchar_t* cls, const wchar_t* text, DWORD style, int id, int x, int cx, int cy) {
        return windows.make(ex, cls, text, style, id, area.left + x, y, cx, cy);
    };
    // The heading in the bold of the declared pages' headings.
    HWND heading = make(0, L"STATIC", L"Multiple selected adapters", SS_LEFT, kAdaptersHeading, 0, area.width, 18);
    if (area.bold != nullptr) ::SendMessageW(heading, WM_SETFONT, reinterpret_cast<WPARAM>(area.bold), FALSE);
    y += 22;
    make(0, L"STATIC", L"Ticked adapters are summed as \"Multiple adapters\".", SS_LEFT, kAdaptersNote, 0, area.width, 16);
    y += 22;
    list_ = windows.check_list(kAdaptersList, area.left, y, area.width, kListHeight);
    y += kListHeight + 8;
    y += 3;
    make(0, L"STATIC", L"Monitored adapter:", SS_LEFT, kAdaptersMonitoredCaption, 0, kOptionsLabelWidth - 6, kField);
    y -= 3;
    monitored_ = make(0, WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, kAdaptersMonitored,
                      kOptionsLabelWidth, area.width - kOptionsLabelWidth, 240);
    y += 30;
    count_virtual_ = make(0, L"BUTTON", L"Count container and virtual interfaces", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP,
                          kAdaptersCountVirtual, 0, area.width, kField);
    y += 26;
    make(0, L"STATIC",
         L"docker0, br-*, veth*, virbr*, vnet*, cni* and flannel* get no adapter number unless this is ticked.", SS_LEFT,
         kAdaptersVirtualNote, 0, area.width, 32);
    y += 40;
    not_counted_ = make(0, L"STATIC", L"", SS_LEFT, kAdaptersNotCounted, 0, area.width, area.top + area.height - y);
    return windows.made;
}

// The numbered adapters, also those without a connection now, read afresh.
void AdaptersPage::fill() {
    const Settings& s = host_.settings;
    clsIPStatistics stats(services_.tables, services_.dialogs, host_.tables);
    host_.known_adapter_count = stats.Found_Adaptors();
    const std::vector<std::string> names = adapter_list_names(stats);
    filling_ = true;
    ::SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
    ::SendMessageW(monitored_, CB_RESETCONTENT, 0, 0);
    ::SendMessageW(monitored_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Multiple adapters"));
    rows_ = static_cast<int>(names.size());
    for (int i = 0; i < rows_; ++i) {
        std::wstring name = widen(names[static_cast<std::size_t>(i)]);
        ::SendMessageW(monitored_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        LVITEMW row = {};
        row.mask = LVIF_TEXT;
        row.iItem = i;
        row.pszText = name.data();
        ::SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row));
        // Only the first six can be summed: the others have no check box.
        const std::size_t n = static_cast<std::size_t>(i) + 1;
        row.mask = 0;
        row.stateMask = LVIS_STATEIMAGEMASK;
        row.state = i < kSummableAdapters ? INDEXTOSTATEIMAGEMASK(s.LogAdapter[n] != 0 ? 2 : 1) : 0;
        ::SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&row));
    }
    // A monitored adapter whose interface has not been seen yet keeps its place in the list.
    int count = rows_ + 1;
    for (int i = count; i <= std::min(s.Adapter, kMaxAdapters); ++i, ++count)
        ::SendMessageW(monitored_, CB_ADDSTRING, 0,
                       reinterpret_cast<LPARAM>(widen("Adapter " + std::to_string(i) + " (not found yet)").c_str()));
    ::SendMessageW(monitored_, CB_SETCURSEL, static_cast<WPARAM>(std::clamp(s.Adapter, 0, count - 1)), 0);
    ::SendMessageW(count_virtual_, BM_SETCHECK, s.CountVirtualAdapters != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
    ::SetWindowTextW(not_counted_, widen(not_counted_text(stats, host_.tables.numbering, retired_interfaces(host_.data_dir))).c_str());
    filling_ = false;
}

bool AdaptersPage::command(int id, unsigned code) {
    if (id < kAdaptersHeading || id > kAdaptersNotCounted) return false;
    if (filling_) return true;
    if (id == kAdaptersMonitored && code == CBN_SELCHANGE) {
        const int index = static_cast<int>(::SendMessageW(monitored_, CB_GETCURSEL, 0, 0));
        if (index < 0) return true;
        host_.settings.Adapter = index;
        changed(false, true);
    } else if (id == kAdaptersCountVirtual && code == BN_CLICKED) {
        host_.settings.CountVirtualAdapters = ::SendMessageW(count_virtual_, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
        changed(false, false);
    }
    return true;
}

bool AdaptersPage::notify(const void* header, std::intptr_t* result) {
    const auto& nm = *static_cast<const NMHDR*>(header);
    if (nm.idFrom != kAdaptersList) return false;
    *result = 0;
    const auto& change = *static_cast<const NMLISTVIEW*>(header);
    if (nm.code == LVN_ITEMCHANGING) {
        // The rows past the sixth get no check box, whatever is clicked or pressed.
        if (!filling_ && change.iItem >= kSummableAdapters && (change.uChanged & LVIF_STATE) != 0 &&
            (change.uNewState & LVIS_STATEIMAGEMASK) != 0)
            *result = TRUE;
    } else if (nm.code == LVN_ITEMCHANGED) {
        row_changed(change);
    } else if (nm.code == static_cast<UINT>(NM_CUSTOMDRAW)) {
        // Those rows are shown as disabled.
        auto& draw = *const_cast<NMLVCUSTOMDRAW*>(static_cast<const NMLVCUSTOMDRAW*>(header));
        if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) *result = CDRF_NOTIFYITEMDRAW;
        else if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT && static_cast<int>(draw.nmcd.dwItemSpec) >= kSummableAdapters)
            draw.clrText = ::GetSysColor(COLOR_GRAYTEXT);
    }
    return true;
}

// A check box of the first six rows sums its adapter, or no longer.
void AdaptersPage::row_changed(const NMLISTVIEW& change) {
    if (filling_ || change.iItem < 0 || change.iItem >= std::min(rows_, kSummableAdapters) ||
        (change.uChanged & LVIF_STATE) == 0)
        return;
    const UINT flipped = change.uNewState ^ change.uOldState;
    if ((flipped & LVIS_STATEIMAGEMASK) == 0 || (change.uOldState & LVIS_STATEIMAGEMASK) == 0) return;
    const bool ticked = (change.uNewState & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
    host_.settings.LogAdapter[static_cast<std::size_t>(change.iItem) + 1] = ticked ? 1 : 0;
    changed(true, false);
}

// What the change shows at once: another monitored adapter its address and items, another
// selection of summed adapters the logs as they are summed now.
void AdaptersPage::changed(bool summed, bool monitored) {
    if (monitored && host_.monitored_changed) host_.monitored_changed();
    if (summed && host_.summed_changed) host_.summed_changed();
    if (host_.redraw) host_.redraw();
    if (events_.changed) events_.changed();
}

}  // namespace

std::unique_ptr<OptionsPageView> create_adapters_page(AdaptersPageHost host, Services& services, OptionsPageEvents events) {
    return std::make_unique<AdaptersPage>(std::move(host), services, std::move(events));
}
