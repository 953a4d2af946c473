#include "measure/adapter_state.h"

#include <algorithm>

void clear_live_statistics(AdapterState& a) {
    a.download_graph.fill(0.0);
    a.download_history.fill(0.0);
    a.upload_graph.fill(0.0);
    a.upload_history.fill(0.0);
    a.shown_peak_both = a.shown_peak_upload = a.shown_peak_download = 0.0;
    a.peak_both = a.peak_upload = a.peak_download = 0.0;
    a.peak_average_both.fill(0.0);
    a.peak_average_upload.fill(0.0);
    a.peak_average_download.fill(0.0);
    a.shown_average_download = a.shown_average_upload = 0.0;
}

void trim_graph_buffers(AdapterTable& adapters, int graph_length) {
    const std::size_t first = static_cast<std::size_t>(std::clamp(graph_length + 1, 0, kSampleCount));
    for (AdapterState& a : adapters) {
        for (SampleBuffer* buffer : {&a.download_graph, &a.upload_graph, &a.download_history, &a.upload_history})
            std::fill(buffer->begin() + static_cast<std::ptrdiff_t>(first), buffer->end(), 0.0);
    }
}
