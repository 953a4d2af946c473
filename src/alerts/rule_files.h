#pragma once

#include <optional>
#include <string>

#include "alerts/alert_rule.h"

// Rule storage under <data folder>/Stats/: "Rules.dat" holds the rule count (32-bit signed,
// little-endian; absent when there are no rules) and "Rule<n>.dat" (n = index + 1) one record
// each: name length (16-bit LE) and ANSI name, Enabled, ConditionKind (16-bit LE), the ten
// action bytes, then the 110 value pairs slot-major (slot 0..9, within it part 0..10), every
// string as a 16-bit LE length and ANSI bytes.

std::string rule_count_path(const std::string& data_dir);
std::string rule_file_path(const std::string& data_dir, int index);

std::string encode_rule(const AlertRule& rule);
// The record at the start of `bytes`; nothing when the bytes end before the record does.
std::optional<AlertRule> decode_rule(const std::string& bytes);

// Fills the live table from the files. A missing count file means no rules; a missing,
// short or damaged rule file leaves an empty, switched-off rule in its place.
void load_rules_at_startup(LiveRules& live, const std::string& data_dir);
// Fills the working table from the files and selects rule 0 (none when there are no rules).
void load_rules_for_editing(WorkingRules& working, const std::string& data_dir);
// Normalises and writes the working table, replacing every old rule file, and copies it into
// the live table. Returns false when a file could not be written.
bool save_all_rules(WorkingRules& working, LiveRules& live, const std::string& data_dir);
// Rewrites the file of live rule `index` (after the evaluation switched it off).
bool save_one_rule(const LiveRules& live, int index, const std::string& data_dir);
