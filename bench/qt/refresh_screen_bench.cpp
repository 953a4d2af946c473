#include <QGuiApplication>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>

#include "core/program_state.h"
#include "display/qt/main_window_drawing.h"

namespace {

// Fonts need a GUI application; one per benchmark process, on the offscreen platform.
QGuiApplication& gui_app() {
    static int argc = 1;
    static char name[] = "kelvanto_qt_bench";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
    return app;
}

double download_at(long long i) { return 50000 + 40000 * std::sin(static_cast<double>(i) * 0.1); }
double upload_at(long long i) { return 20000 + 15000 * std::cos(static_cast<double>(i) * 0.07); }

// A 300 x 600 window with a rate section, two soft line graphs with grid and average lines and
// the longest graph buffer, every sample carrying traffic.
ProgramState two_graphs() {
    ProgramState state;
    state.window.visible = true;
    state.settings.GraphBuffer = 1840;
    state.settings.SoftGraph = 1;
    state.settings.vGrid = 1;
    state.settings.AverageShow = 1;
    FormItem rate;
    rate.Enabled = 1;
    rate.Type = kItemDownloadRate;
    FormItem graph = rate;
    graph.Type = kItemGraph;
    FormItem second = graph;
    second.Adapter = 1;
    state.display_list = {rate, graph, second};
    for (int slot : {0, 1}) {
        AdapterState& a = state.adapters[static_cast<std::size_t>(slot)];
        for (int i = 0; i < kSampleCount; ++i) {
            a.download_graph[static_cast<std::size_t>(i)] = download_at(-i);
            a.upload_graph[static_cast<std::size_t>(i)] = upload_at(-i);
        }
        a.shown_peak_download = 90000;
        a.shown_peak_upload = 35000;
        a.shown_average_download = 50000;
        a.shown_average_upload = 20000;
    }
    return state;
}

// One full redraw.
void BM_RefreshScreenTwoGraphs(benchmark::State& st) {
    gui_app();
    ProgramState state = two_graphs();
    EnglishLocale locale;
    MainWindowDrawing drawing;
    drawing.set_incremental(false);
    drawing.resize(300, 600);
    for (auto _ : st) benchmark::DoNotOptimize(drawing.refresh(state, locale, 46000.5, true));
}
BENCHMARK(BM_RefreshScreenTwoGraphs)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// One second of the running window: both graphs take a new sample, the current rate and the
// average change, and only what changed is drawn.
void BM_RefreshScreenTwoGraphsIncremental(benchmark::State& st) {
    gui_app();
    ProgramState state = two_graphs();
    EnglishLocale locale;
    MainWindowDrawing drawing;
    drawing.resize(300, 600);
    drawing.refresh(state, locale, 46000.5, true);
    long long second = 0;
    for (auto _ : st) {
        ++second;
        for (int slot : {0, 1}) {
            AdapterState& a = state.adapters[static_cast<std::size_t>(slot)];
            std::rotate(a.download_graph.rbegin(), a.download_graph.rbegin() + 1, a.download_graph.rend());
            std::rotate(a.upload_graph.rbegin(), a.upload_graph.rbegin() + 1, a.upload_graph.rend());
            a.download_graph[0] = download_at(second);
            a.upload_graph[0] = upload_at(second);
            a.shown_average_download = 50000 + static_cast<double>(second % 97);
        }
        benchmark::DoNotOptimize(drawing.refresh(state, locale, 46000.5 + static_cast<double>(second), true));
    }
}
BENCHMARK(BM_RefreshScreenTwoGraphsIncremental)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
