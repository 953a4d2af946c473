#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "settings/settings_table.h"

// The options dialog's pages as data, shared by every toolkit: a page is its name, the page
// it sits under in the tree and its controls, top to bottom. A control names the setting it
// changes by its settings-table name, so its field and its range come from the table; the
// toolkits render the declaration and bind each control through its SettingField.

enum class OptionControlKind {
    check,     // a check box for a flag
    choice,    // a drop-down list; each entry stores its own value
    radios,    // a group of radio buttons titled by the caption; each stores its own value
    number,    // a box for a whole number: digits only, within the setting's range
    decimal,   // a box for a number that may have a fraction
    text,      // a text box
    password,  // a text box that hides what is typed
    slider,    // a slider over the setting's range
    colour,    // a colour swatch that opens the colour dialog
    date,      // a date picker for a day number
    heading,   // a line that titles the rows below it
    note,      // a line of explanation
    slot,      // the place where a toolkit's page puts a control of its own (named by `setting`)
};

struct OptionEntry {
    std::string caption;
    std::int32_t value = 0;  // what the setting holds when this entry is chosen
};

struct OptionControl {
    OptionControlKind kind = OptionControlKind::check;
    std::string caption;
    std::string setting;  // the settings-table name; for a slot, the slot's name
    std::vector<OptionEntry> entries;
    std::string unit;
    std::string tooltip;
    std::int32_t empty_value = 0;  // number: what an empty box or "0" gives
    // The control is enabled while the setting `enabled_by` holds `enabled_when`.
    std::string enabled_by;
    std::int32_t enabled_when = 1;
    // choice: the box also takes a typed text, which the page's own view stores.
    bool typed = false;
};

struct OptionPageDecl {
    std::string name;
    std::string parent;  // empty at the top of the tree
    std::vector<OptionControl> controls;
    // Whether the page is more than its declared controls (lists, buttons, editors of its own).
    bool has_own_view = false;
};

// Binds declared controls to the settings of one Settings record.
class OptionBinder {
public:
    explicit OptionBinder(Settings& settings) : table_(settings_table(settings)) {}

    const SettingDef* find(const std::string& name) const;
    // The setting's value as a whole number (flags, choices, numbers, colours); 0 when unknown.
    std::int64_t number(const std::string& name) const;
    // Writes a whole number into the setting; false when the setting cannot hold it.
    bool set_number(const std::string& name, std::int64_t value);
    std::string text(const std::string& name) const;
    void set_text(const std::string& name, const std::string& value);
    double decimal(const std::string& name) const;
    void set_decimal(const std::string& name, double value);
    // The range the stored setting is read back within.
    SettingRange range(const std::string& name) const;

    // The entry shown for the setting's value: the one holding it, else the last entry below
    // it, else the first.
    int entry_of(const OptionControl& control) const;
    void choose_entry(const OptionControl& control, int entry);
    // Whether the control is enabled by the settings now.
    bool enabled(const OptionControl& control) const;

private:
    std::vector<SettingDef> table_;
};

// "from" ... "to" as entries storing their own number.
std::vector<OptionEntry> numbered_entries(int from, int to);
// What OK and Apply say while a box for whole numbers holds a fraction ("9.5"): the box keeps
// it rather than becoming another number, and nothing is stored until it is mended.
std::string whole_numbers_message(std::string caption);

// The speeds that follow the connection types as the dialog shows them: a listed type takes
// its speed, "Custom" the custom speed, at least 1 kbps; upstream "Same as downstream" the
// downstream speed.
void connection_speeds_from_types(Settings& s);
