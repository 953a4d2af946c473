#pragma once

#include <array>
#include <string>

#include "history/history_list.h"

// The save dialog's file types: 1 = plain text, 2 = HTML.
inline constexpr const char* kExportFilter = "Plain text (*.txt)|*.txt|Html (*.htm)|*.htm";
inline constexpr const char* kExportDefaultExt = "txt";
enum ExportFormat : int { kExportText = 1, kExportHtml = 2 };

// What a report is of: the adapter ("Adapter 2 - eth0", "All adapters") and the days it
// covers ("01/06/2026 to 15/06/2026"); either may be empty.
struct ExportHeading {
    std::string subject;
    std::string period;
};
// The heading of a tab's report: all adapters on the Totals tab, else adapter `adapter` with
// its interface name; the days from `start` to `today` in the short date format.
ExportHeading export_heading(HistoryTab tab, int adapter, const std::string& name, double start, double today,
                             const Locale& locale);
// "Adapter 2 - eth0, 01/06/2026 to 15/06/2026": the heading's parts that are given.
std::string heading_line(const ExportHeading& heading);

// The fixed-width plain-text report of a list: title, the heading line when there is one,
// empty line, headers, 89 hyphens, one line per item; every line ends with CR LF. Fields are
// 21 (left-aligned), 16, 26 and 26 (right-aligned) characters wide; a longer field is kept
// whole and pushes the rest right.
std::string export_text(const std::string& caption, const std::array<std::string, 4>& headers,
                        const HistoryItems& items, const ExportHeading& heading = {});
// The list as a complete HTML document in UTF-8: its title and heading name the report, the
// adapter and the period; then the table, one line per tag, CR LF line ends. <, > and & in
// the texts are written as entities, so no text can add markup.
std::string export_html(const std::string& caption, const std::array<std::string, 4>& headers,
                        const HistoryItems& items, const ExportHeading& heading = {});
// The report in the chosen format (1 text, anything else HTML).
std::string export_report(int format, const std::string& caption, const std::array<std::string, 4>& headers,
                          const HistoryItems& items, const ExportHeading& heading = {});

// Creates or truncates `path` and writes `content`; false when the file could not be written.
bool write_export_file(const std::string& path, const std::string& content);
// The message shown when an export file cannot be written.
std::string export_failed_message(const std::string& path);
