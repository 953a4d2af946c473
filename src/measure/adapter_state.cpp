#include "measure/adapter_state.h"

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
