#include "history/history_export.h"

#include "platform/file_save.h"

#include <cstdio>

namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr std::array<std::size_t, 4> kWidths{21, 16, 26, 26};

// Characters, not bytes: a UTF-8 month name or date counts each letter once.
std::size_t text_length(const std::string& s) {
    std::size_t n = 0;
    for (const char c : s) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    }
    return n;
}

void append_row(std::string& out, const std::array<std::string, 4>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::size_t len = text_length(fields[i]);
        const std::size_t pad = len < kWidths[i] ? kWidths[i] - len : 0;
        if (i == 0) {
            out += fields[i];
            out.append(pad, ' ');
        } else {
            out.append(pad, ' ');
            out += fields[i];
        }
    }
    out += kLineEnd;
}

std::string escape_html(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (const char c : s) {
        switch (c) {
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '&': out += "&amp;"; break;
            default: out += c;
        }
    }
    return out;
}

void append_html_row(std::string& out, const std::array<std::string, 4>& cells) {
    out += "<tr>";
    out += kLineEnd;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        out += i == 0 ? "<td align=Left>" : "<td align=Right>";
        out += escape_html(cells[i]);
        out += "</td>";
        out += kLineEnd;
    }
    out += "</tr>";
    out += kLineEnd;
}

}  // namespace

ExportHeading export_heading(HistoryTab tab, int adapter, const std::string& name, double start, double today,
                             const Locale& locale) {
    ExportHeading h;
    if (tab == kTabTotals) h.subject = "All adapters";
    else h.subject = "Adapter " + totals_label(adapter, name);
    h.period = locale.short_date(start) + " to " + locale.short_date(today);
    return h;
}

std::string heading_line(const ExportHeading& heading) {
    if (heading.subject.empty() || heading.period.empty()) return heading.subject + heading.period;
    return heading.subject + ", " + heading.period;
}

std::string export_text(const std::string& caption, const std::array<std::string, 4>& headers,
                        const HistoryItems& items, const ExportHeading& heading) {
    const std::string title = "Kelvanto " + caption + " report";
    std::string out = title + kLineEnd;
    const std::string line = heading_line(heading);
    if (!line.empty()) out += line + kLineEnd;
    out += kLineEnd;
    append_row(out, headers);
    out.append(89, '-');
    out += kLineEnd;
    for (const HistoryItem& item : items) append_row(out, item.cells);
    return out;
}

std::string export_html(const std::string& caption, const std::array<std::string, 4>& headers,
                        const HistoryItems& items, const ExportHeading& heading) {
    const std::string title = escape_html("Kelvanto " + caption + " report");
    const std::string line = escape_html(heading_line(heading));
    std::string out;
    const auto add = [&out](const std::string& text) {
        out += text;
        out += kLineEnd;
    };
    add("<!DOCTYPE html>");
    add("<HTML>");
    add("<Head>");
    add("<Meta charset=\"UTF-8\">");
    add("<Title>" + title + (line.empty() ? "" : ": " + line) + "</Title>");
    add("</Head>");
    add("<Body>");
    add("<H1>" + title + "</H1>");
    if (!line.empty()) add("<P>" + line + "</P>");
    add("<Center>");
    add("<Table Border=\"1\" Cellpadding=\"4\" Cellspacing=\"1\" >");
    append_html_row(out, headers);
    for (const HistoryItem& item : items) append_html_row(out, item.cells);
    for (const char* end : {"</Table>", "</Center>", "</Body>", "</HTML>"}) add(end);
    return out;
}

std::string export_report(int format, const std::string& caption, const std::array<std::string, 4>& headers,
                          const HistoryItems& items, const ExportHeading& heading) {
    return format == kExportText ? export_text(caption, headers, items, heading)
                                 : export_html(caption, headers, items, heading);
}

bool write_export_file(const std::string& path, const std::string& content) { return save_file_whole(path, content); }

std::string export_failed_message(const std::string& path) {
    return "The report could not be written to\n" + path;
}
