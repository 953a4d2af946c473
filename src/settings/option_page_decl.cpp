#include "settings/option_page_decl.h"

#include <algorithm>
#include <climits>

#include "settings/connection_types.h"

const SettingDef* OptionBinder::find(const std::string& name) const {
    for (const SettingDef& d : table_) {
        if (d.name == name) return &d;
    }
    return nullptr;
}

std::int64_t OptionBinder::number(const std::string& name) const {
    const SettingDef* d = find(name);
    if (d == nullptr) return 0;
    if (auto* const* small = std::get_if<std::uint8_t*>(&d->field)) return **small;
    if (auto* const* wide = std::get_if<std::int32_t*>(&d->field)) return **wide;
    if (auto* const* real = std::get_if<double*>(&d->field)) return static_cast<std::int64_t>(**real);
    return 0;
}

bool OptionBinder::set_number(const std::string& name, std::int64_t value) {
    const SettingDef* d = find(name);
    if (d == nullptr) return false;
    if (auto* const* small = std::get_if<std::uint8_t*>(&d->field)) {
        if (value < 0 || value > 255) return false;
        **small = static_cast<std::uint8_t>(value);
        return true;
    }
    if (auto* const* wide = std::get_if<std::int32_t*>(&d->field)) {
        if (value < INT32_MIN || value > INT32_MAX) return false;
        **wide = static_cast<std::int32_t>(value);
        return true;
    }
    if (auto* const* real = std::get_if<double*>(&d->field)) {
        **real = static_cast<double>(value);
        return true;
    }
    return false;
}

std::string OptionBinder::text(const std::string& name) const {
    const SettingDef* d = find(name);
    if (d == nullptr) return {};
    if (auto* const* s = std::get_if<std::string*>(&d->field)) return **s;
    return {};
}

void OptionBinder::set_text(const std::string& name, const std::string& value) {
    const SettingDef* d = find(name);
    if (d == nullptr) return;
    if (auto* const* s = std::get_if<std::string*>(&d->field)) **s = value;
}

double OptionBinder::decimal(const std::string& name) const {
    const SettingDef* d = find(name);
    if (d == nullptr) return 0.0;
    if (auto* const* real = std::get_if<double*>(&d->field)) return **real;
    return static_cast<double>(number(name));
}

void OptionBinder::set_decimal(const std::string& name, double value) {
    const SettingDef* d = find(name);
    if (d == nullptr) return;
    if (auto* const* real = std::get_if<double*>(&d->field)) **real = value;
}

SettingRange OptionBinder::range(const std::string& name) const {
    const SettingDef* d = find(name);
    if (d == nullptr || (d->kind != SettingKind::number && d->kind != SettingKind::decimal &&
                         d->kind != SettingKind::day_number))
        return SettingRange{INT32_MIN, INT32_MAX};
    return SettingRange{d->min, d->max};
}

int OptionBinder::entry_of(const OptionControl& control) const {
    const std::int64_t value = number(control.setting);
    int below = -1;
    for (std::size_t i = 0; i < control.entries.size(); ++i) {
        const std::int32_t v = control.entries[i].value;
        if (v == value) return static_cast<int>(i);
        if (v < value && (below < 0 || v > control.entries[static_cast<std::size_t>(below)].value))
            below = static_cast<int>(i);
    }
    return below < 0 ? 0 : below;
}

void OptionBinder::choose_entry(const OptionControl& control, int entry) {
    if (entry < 0 || static_cast<std::size_t>(entry) >= control.entries.size()) return;
    set_number(control.setting, control.entries[static_cast<std::size_t>(entry)].value);
}

bool OptionBinder::enabled(const OptionControl& control) const {
    return control.enabled_by.empty() || number(control.enabled_by) == control.enabled_when;
}

std::vector<OptionEntry> numbered_entries(int from, int to) {
    std::vector<OptionEntry> out;
    for (int i = from; i <= to; ++i) out.push_back({std::to_string(i), i});
    return out;
}

std::string whole_numbers_message(std::string caption) {
    while (!caption.empty() && caption.back() == ' ') caption.pop_back();
    while (!caption.empty() && caption.front() == ' ') caption.erase(caption.begin());
    if (!caption.empty() && caption.back() == ':') caption.pop_back();
    return "\"" + caption + "\" takes whole numbers only. Please enter it without a fraction.";
}

void connection_speeds_from_types(Settings& s) {
    s.ConnectionSpeed = s.ConnectionType == kCustomConnection
                            ? std::max(s.ConnectionCustom, 1)
                            : kConnectionKbps[std::min<std::size_t>(s.ConnectionType, kConnectionTypes - 1)];
    if (s.ConnectionTypeUp == kCustomConnectionUp) s.ConnectionSpeedUp = std::max(s.ConnectionCustomUp, 1);
    else if (s.ConnectionTypeUp == 0) s.ConnectionSpeedUp = s.ConnectionSpeed;
    else s.ConnectionSpeedUp = kConnectionKbps[std::min<std::size_t>(s.ConnectionTypeUp - 1u, kConnectionTypes - 1)];
}
