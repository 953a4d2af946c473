#pragma once

#include <string>
#include <vector>

#include "alerts/alert_rule.h"
#include "alerts/rule_sentence.h"

// What the value dialog shows for one kind of placeholder.
struct ValueDialogSpec {
    std::string caption;
    std::string prompt;
    std::vector<std::string> list;  // empty: no drop-down list
    bool field = false;              // a text field
    bool number = false;             // the field takes digits only
    int max_length = 0;              // 0: no limit
    std::string unit_label;          // shown after the field ("bps")
    std::string filter;              // file kinds: the browse filter, "Sounds (*.wav)|*.wav"
    int proposed = -1;               // list entry shown for an unfilled value (-1: the kind's own)
};

ValueDialogSpec value_dialog_spec(ValueKind kind, const std::vector<std::string>& adapter_names,
                                  const std::string& user_period_name);

// The dialog's controls: the list position (-1: none) and the field's text.
struct ValueInput {
    int list_index = -1;
    std::string field;
    friend bool operator==(const ValueInput&, const ValueInput&) = default;
};

// What the dialog shows first: the stored value, or the kind's preset when it is unfilled:
// entry `proposed` when it is in the list (the adapter dialog proposes the monitored
// adapter), else the third adapter entry when there is one, else the first entry.
ValueInput initial_input(ValueKind kind, const ValuePair& current, int list_count, int proposed = -1);

// Stores the dialog's input in `out`. Returns the refusal to show ("Please select a valid
// file." ...) and leaves `out` alone when the input is not accepted; empty when stored.
std::string accept_value(ValueKind kind, const ValueDialogSpec& form, const ValueInput& input, ValuePair& out);

// The digits of `text`, everything else dropped.
std::string digits_only(const std::string& text);
// A typed amount or rate: empty becomes 0, above 2147483647 becomes 2147483647, no leading zeros.
std::string normalise_number(const std::string& digits);

// The name shown for a path: the part after its last separator, or the whole path when it
// has none.
std::string file_name_of(const std::string& path);
// Whether a log file could be created under this name: a drive path such as "C:\logs\a.txt"
// and, on POSIX systems, an absolute path such as "/var/log/a.txt".
bool valid_log_file_name(const std::string& path);
// An existing file (hidden files included), not a folder.
bool existing_file(const std::string& path);
