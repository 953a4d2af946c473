#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The metrics endpoint's side of one HTTP connection: it reads one request, answers it
// and closes. The socket adapter enforces the bounds below.
inline constexpr std::size_t kMetricsRequestLimit = 8192;  // bytes of request line and headers
inline constexpr int kMetricsRequestTimeoutMs = 5000;      // from accepting to answering
inline constexpr int kMetricsMaxConnections = 8;           // served at once; more wait to be accepted
inline constexpr int kMetricsListenRetryMs = 5000;         // a port that cannot be opened is tried again
inline constexpr const char* kMetricsPath = "/metrics";

// What the bytes received so far ask for.
enum class MetricsRequest {
    incomplete,          // the request's header block has not ended yet
    metrics,             // GET /metrics: 200 with the exposition
    metrics_head,        // HEAD /metrics: 200, headers only
    not_found,           // another path: 404
    method_not_allowed,  // another method: 405
    bad_request,         // not an HTTP request line: 400
    too_large,           // no end of the headers within the limit: 431
};

// Classifies a request once its header block (ending in an empty line) is complete, or as
// too large once more than `kMetricsRequestLimit` bytes came without that end. The query
// of the target ("/metrics?x=1") is ignored.
MetricsRequest classify_metrics_request(std::string_view received);

// The whole response to a classified request, with `Connection: close`; `exposition` is
// the body of a metrics answer.
std::string metrics_response(MetricsRequest request, std::string_view exposition);

// The message shown when the endpoint cannot listen.
std::string metrics_listen_failed_message(const std::string& address, int port, const std::string& reason);
