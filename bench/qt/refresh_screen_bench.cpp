#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cmath>

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

// One full redraw of a 300 x 600 window with a rate section, two soft line graphs and the
// longest graph buffer, every sample carrying traffic.
void BM_RefreshScreenTwoGraphs(benchmark::State& st) {
    gui_app();
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
            a.download_graph[static_cast<std::size_t>(i)] = 50000 + 40000 * std::sin(i * 0.1);
            a.upload_graph[static_cast<std::size_t>(i)] = 20000 + 15000 * std::cos(i * 0.07);
        }
        a.shown_peak_download = 90000;
        a.shown_peak_upload = 35000;
        a.shown_average_download = 50000;
        a.shown_average_upload = 20000;
    }
    EnglishLocale locale;
    MainWindowDrawing drawing;
    drawing.resize(300, 600);
    for (auto _ : st) benchmark::DoNotOptimize(drawing.refresh(state, locale, 46000.5, true));
}
BENCHMARK(BM_RefreshScreenTwoGraphs)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
