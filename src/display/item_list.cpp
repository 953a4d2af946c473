#include "display/item_list.h"

#include "measure/adapter_state.h"
#include "platform/window_info.h"
#include "settings/form_item.h"
#include "settings/settings.h"

#include <utility>

#include "display/refresh_screen.h"
#include "history/period_totals.h"

namespace {

FormItem make_item(std::string name, std::uint8_t type, std::uint8_t period, std::uint8_t enabled, std::uint8_t adapter) {
    FormItem i;
    i.Name = std::move(name);
    i.Type = type;
    i.Period = period;
    i.Enabled = enabled;
    i.Adapter = adapter;
    return i;
}

std::uint8_t adapter_setting(const Settings& s) {
    return static_cast<std::uint8_t>(s.Adapter < 0 ? 0 : (s.Adapter > 255 ? 255 : s.Adapter));
}

bool valid_selection(const std::vector<FormItem>& items, int selected) {
    return selected >= 1 && selected <= static_cast<int>(items.size());
}

}  // namespace

std::string item_type_name(int type) {
    switch (type) {
        case kItemDownloadRate: return "Download rate";
        case kItemUploadRate: return "Upload rate";
        case kItemTransferred: return "Transferred amount";
        case kItemGraph: return "Graph";
        case kItemDownloadUploadRate: return "Download/upload rate";
        case kItemTextLabel: return "Text label";
        default: return {};
    }
}

void BuildDisplayList(DisplayView state) {
    const Settings& s = state.settings;
    if (s.ShowAdvItems != 0) {
        state.display_list = s.custom_items;
        for (FormItem& i : state.display_list) i.Height = i.Top = 0;
        return;
    }
    const std::uint8_t a = adapter_setting(s);
    state.display_list = {
        make_item("", kItemDownloadRate, 0, s.ShowDownload, a),
        make_item("", kItemUploadRate, 0, s.ShowUpload, a),
        make_item("", kItemTransferred, s.TransferOverView1, s.ShowTransferOverView1, a),
        make_item("", kItemTransferred, s.TransferOverView2, s.ShowTransferOverView2, a),
        make_item("", kItemGraph, 0, s.ShowGraph, a),
        make_item("", kItemDownloadUploadRate, 0, s.ShowUploadDownload, a),
    };
}

void StoreCustomList(DisplayView state) {
    state.settings.custom_items = state.display_list;
    state.settings.AdvItems = static_cast<std::int32_t>(state.display_list.size());
}

void seed_custom_items(DisplayView state) {
    Settings& s = state.settings;
    if (s.FormItemsCreated != 0) return;
    const std::uint8_t a = adapter_setting(s);
    s.custom_items = {
        make_item("Download rate", kItemDownloadRate, 0, s.ShowDownload, a),
        make_item("Upload rate", kItemUploadRate, 0, s.ShowUpload, a),
        make_item("Transferred " + period_name(state, s.TransferOverView1), kItemTransferred, s.TransferOverView1,
                  s.ShowTransferOverView1, a),
        make_item("Transferred " + period_name(state, s.TransferOverView2), kItemTransferred, s.TransferOverView2,
                  s.ShowTransferOverView2, a),
        make_item("Graph", kItemGraph, 0, s.ShowGraph, a),
        make_item("Download/Upload rate", kItemDownloadUploadRate, 0, s.ShowUploadDownload, a),
    };
    s.AdvItems = 6;
    s.FormItemsCreated = 1;
}

void set_custom_items(DisplayView state, bool on) {
    if (on) seed_custom_items(state);
    state.settings.ShowAdvItems = on ? 1 : 0;
    BuildDisplayList(state);
}

WindowHeightFit fit_window_height(std::vector<FormItem>& items, const Settings& s, int frame_allowance) {
    int total = s.Border != 0 ? frame_allowance : 0;
    int minimum = total;
    bool graph = false;
    for (FormItem& item : items) {
        if (item.Enabled == 0) continue;
        switch (item.Type) {
            case kItemDownloadRate:
            case kItemUploadRate:
            case kItemTransferred:
            case kItemDownloadUploadRate:
            case kItemTextLabel:
                total += fixed_row_height(item, s);
                minimum += fixed_row_height(item, s);
                break;
            case kItemGraph:
                item.Height = s.GraphHeight;
                total += s.GraphHeight + 3;
                minimum += 10;
                graph = true;
                break;
            default: break;
        }
    }
    total = total - 2 < 0 ? 0 : total - 2;
    WindowHeightFit fit;
    fit.outer_height = total;
    if (s.ShowGraph != 0 && graph) {
        fit.min_track_height = minimum;
        fit.max_track_height = 10000;
    } else {
        fit.min_track_height = fit.max_track_height = total;
    }
    return fit;
}

ItemButtons item_buttons(int count, int selected) {
    ItemButtons b;
    b.remove = b.copy = b.modify = count > 0;
    b.up = count > 0 && selected != 1;
    b.down = count > 0 && selected != count;
    return b;
}

bool copy_item(std::vector<FormItem>& items, int& selected) {
    if (!valid_selection(items, selected) || static_cast<int>(items.size()) >= kMaxItems) return false;
    FormItem copy = items[static_cast<std::size_t>(selected - 1)];
    copy.Name = "Copy of " + copy.Name;
    items.push_back(std::move(copy));
    selected = static_cast<int>(items.size());
    return true;
}

bool remove_item(std::vector<FormItem>& items, int& selected) {
    if (!valid_selection(items, selected)) return false;
    items.erase(items.begin() + (selected - 1));
    selected -= 1;
    if (selected == 0 && !items.empty()) selected = 1;
    return true;
}

bool move_item_up(std::vector<FormItem>& items, int& selected) {
    if (!valid_selection(items, selected) || selected == 1) return false;
    std::swap(items[static_cast<std::size_t>(selected - 1)], items[static_cast<std::size_t>(selected - 2)]);
    --selected;
    return true;
}

bool move_item_down(std::vector<FormItem>& items, int& selected) {
    if (!valid_selection(items, selected) || selected == static_cast<int>(items.size())) return false;
    std::swap(items[static_cast<std::size_t>(selected - 1)], items[static_cast<std::size_t>(selected)]);
    ++selected;
    return true;
}

bool append_new_item(std::vector<FormItem>& items, int& selected, int found_adapters) {
    if (static_cast<int>(items.size()) >= kMaxItems) return false;
    const std::uint8_t adapter = found_adapters >= 2 ? 2 : (found_adapters == 1 ? 1 : 0);
    items.push_back(make_item("Item #" + std::to_string(items.size() + 1), kItemDownloadRate, 0, 255, adapter));
    selected = static_cast<int>(items.size());
    return true;
}
