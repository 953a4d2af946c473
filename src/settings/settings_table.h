#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "settings/settings.h"

// How a stored value is read and written.
enum class SettingKind {
    number,           // decimal text within min..max, else the default
    decimal,          // a number that may have a fraction ("9.5"), within min..max, else the default
    unchecked,        // any 32-bit decimal number (the tray colours)
    text,             // the string as stored; absent reads as ""
    text_or_default,  // as text, but an empty value reads as the default text
    day_number,       // whole day number within min..max, else today
    date_time,        // date-and-time text; unset when absent or not a date
    adapter,          // 0..15; else 1 below two adapters numbered, otherwise 2
};

// A rule that depends on earlier values and runs right after its value has been read.
enum class AfterRead {
    none,
    colour_preset,        // the preset's colours from the preset file
    downstream_speed,     // the connection-type rules for the download speed
    upstream_speed,       // the same for the upload speed
    window_transparency,  // system frame colours, then translucency or see-through background
    overview_items,       // older item-count layout, then the items themselves
};

using SettingField = std::variant<std::uint8_t*, std::int32_t*, std::string*, double*, std::optional<double>*>;

// One stored setting: its value name, how it is read, its range and default, and the
// in-memory field it is loaded into and saved from.
struct SettingDef {
    std::string name;
    SettingKind kind = SettingKind::number;
    SettingField field;
    std::int32_t min = 0;
    std::int32_t max = 0;
    std::int32_t default_number = 0;
    std::string default_text;
    AfterRead after = AfterRead::none;
};

// Every stored setting in load order, bound to the fields of `settings`. The overview items'
// own values ("FormItem(i).Name" ...) depend on the item count and are not rows of the table.
std::vector<SettingDef> settings_table(Settings& settings);

// The range a whole-number setting is read back within, so that what the options dialog
// takes is what the next start keeps; none for a name the table does not hold as a number.
struct SettingRange {
    std::int32_t min = 0;
    std::int32_t max = 0;
};
std::optional<SettingRange> setting_range(const std::string& name);

// The value names of overview item i (1-based): Name, Enabled, Type, Period, Adapter.
std::string form_item_value_name(int item, const char* field);
