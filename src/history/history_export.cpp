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

std::string export_text(const std::string& caption, const std::array<std::string, 4>& headers,
                        const HistoryItems& items) {
    std::string out = "Kelvanto " + caption + " report" + kLineEnd + kLineEnd;
    append_row(out, headers);
    out.append(89, '-');
    out += kLineEnd;
    for (const HistoryItem& item : items) append_row(out, item.cells);
    return out;
}

std::string export_html(const std::array<std::string, 4>& headers, const HistoryItems& items) {
    std::string out;
    for (const char* line : {"<HTML>", "<Center>", "<Table Border=\"1\" Cellpadding=\"4\" Cellspacing=\"1\" >"}) {
        out += line;
        out += kLineEnd;
    }
    append_html_row(out, headers);
    for (const HistoryItem& item : items) append_html_row(out, item.cells);
    for (const char* line : {"</Table>", "</Center>", "</HTML>"}) {
        out += line;
        out += kLineEnd;
    }
    return out;
}

std::string export_report(int format, const std::string& caption, const std::array<std::string, 4>& headers,
                          const HistoryItems& items) {
    return format == kExportText ? export_text(caption, headers, items) : export_html(headers, items);
}

bool write_export_file(const std::string& path, const std::string& content) { return save_file_whole(path, content); }

std::string export_failed_message(const std::string& path) {
    return "The report could not be written to\n" + path;
}
