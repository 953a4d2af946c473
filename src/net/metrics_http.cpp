#include "net/metrics_http.h"

#include <algorithm>

#include "net/metrics_exposition.h"

namespace {

// The end of the header block: an empty line (CR LF CR LF, or bare LF line ends).
bool header_block_ended(std::string_view s, std::size_t& end) {
    const std::size_t crlf = s.find("\r\n\r\n");
    const std::size_t lf = s.find("\n\n");
    if (crlf == std::string_view::npos && lf == std::string_view::npos) return false;
    end = std::min(crlf, lf);
    return true;
}

bool is_token_char(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

std::string status_line(MetricsRequest r) {
    switch (r) {
        case MetricsRequest::metrics:
        case MetricsRequest::metrics_head: return "200 OK";
        case MetricsRequest::not_found: return "404 Not Found";
        case MetricsRequest::method_not_allowed: return "405 Method Not Allowed";
        case MetricsRequest::too_large: return "431 Request Header Fields Too Large";
        default: return "400 Bad Request";
    }
}

}  // namespace

MetricsRequest classify_metrics_request(std::string_view received) {
    std::size_t end = 0;
    if (!header_block_ended(received, end)) {
        return received.size() > kMetricsRequestLimit ? MetricsRequest::too_large : MetricsRequest::incomplete;
    }
    if (end > kMetricsRequestLimit) return MetricsRequest::too_large;
    // Request line: method SP target SP HTTP/1.x
    std::string_view line = received.substr(0, received.find('\n'));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t sp1 = line.find(' ');
    const std::size_t sp2 = sp1 == std::string_view::npos ? sp1 : line.find(' ', sp1 + 1);
    if (sp1 == 0 || sp2 == std::string_view::npos || line.find(' ', sp2 + 1) != std::string_view::npos)
        return MetricsRequest::bad_request;
    const std::string_view method = line.substr(0, sp1);
    std::string_view target = line.substr(sp1 + 1, sp2 - sp1 - 1);
    const std::string_view version = line.substr(sp2 + 1);
    if (version.substr(0, 7) != "HTTP/1." || version.size() != 8 || target.empty()) return MetricsRequest::bad_request;
    for (const char c : method)
        if (!is_token_char(c)) return MetricsRequest::bad_request;
    if (method != "GET" && method != "HEAD") return MetricsRequest::method_not_allowed;
    target = target.substr(0, target.find('?'));
    if (target != kMetricsPath) return MetricsRequest::not_found;
    return method == "GET" ? MetricsRequest::metrics : MetricsRequest::metrics_head;
}

std::string metrics_response(MetricsRequest request, std::string_view exposition) {
    const bool ok = request == MetricsRequest::metrics || request == MetricsRequest::metrics_head;
    const std::string status = status_line(request);
    const std::string body = ok ? std::string(exposition) : status + '\n';
    std::string r = "HTTP/1.1 " + status + "\r\n";
    r += std::string("Content-Type: ") + (ok ? kExpositionContentType : "text/plain; charset=utf-8") + "\r\n";
    r += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    if (request == MetricsRequest::method_not_allowed) r += "Allow: GET, HEAD\r\n";
    r += "Connection: close\r\n\r\n";
    if (request != MetricsRequest::metrics_head) r += body;
    return r;
}

std::string metrics_listen_failed_message(const std::string& address, int port, const std::string& reason) {
    return "The metrics endpoint cannot listen on " + address + " port " + std::to_string(port) + " (" + reason +
           "). The monitor runs on without it.";
}
