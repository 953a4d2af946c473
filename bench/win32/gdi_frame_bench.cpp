// The cost of the main window's frame on the GDI back buffer, run under Wine or Windows:
//   kelvanto_gdi_bench [FRAMES]
// Each frame is a second of the window: a new sample with traffic, then the redraw. Printed:
// microseconds per incremental frame (what each second costs), per full redraw, and per
// quiet second (no new sample).
#include "platform/win32/windows_api.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "core/program_state.h"
#include "display/item_list.h"
#include "display/refresh_screen.h"
#include "platform/win32/gdi_canvas.h"

namespace {

double microseconds_per_frame(ProgramState& state, GdiCanvas& canvas, bool incremental, bool traffic, int frames) {
    EnglishLocale locale;
    const DrawInputs inputs{locale, 46000.5, nullptr};
    DisplayCache cache;
    cache.incremental = incremental;
    AdapterState& a = state.adapters[static_cast<std::size_t>(state.settings.Adapter)];
    RefreshScreen(state, canvas, cache, inputs, true);
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    for (int i = 0; i < frames; ++i) {
        if (traffic) {
            std::copy_backward(a.download_graph.begin(), a.download_graph.end() - 1, a.download_graph.end());
            std::copy_backward(a.upload_graph.begin(), a.upload_graph.end() - 1, a.upload_graph.end());
            a.download_graph[0] = 300.0 + 200.0 * (i % 5);
            a.upload_graph[0] = 100.0 * (i % 7);
            a.current_received = a.download_graph[0];
            a.current_sent = a.upload_graph[0];
        }
        RefreshScreen(state, canvas, cache, inputs, true);
    }
    ::QueryPerformanceCounter(&end);
    return 1e6 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart) / frames;
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
    const auto state = std::make_unique<ProgramState>();
    state->window.visible = true;
    BuildDisplayList(*state);
    AdapterState& a = state->adapters[static_cast<std::size_t>(state->settings.Adapter)];
    a.shown_peak_download = a.shown_peak_upload = 1000;
    GdiCanvas canvas;
    if (!canvas.resize(191, 326)) return 1;
    const double incremental = microseconds_per_frame(*state, canvas, true, true, frames);
    const double full = microseconds_per_frame(*state, canvas, false, true, frames / 4 + 1);
    const double quiet = microseconds_per_frame(*state, canvas, true, false, frames);
    std::printf("GDI frame, 191 x 326, default items, soft graph: incremental %.1f us, full %.1f us, quiet %.1f us\n",
                incremental, full, quiet);
    return 0;
}
