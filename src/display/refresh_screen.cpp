#include "display/refresh_screen.h"

#include "measure/adapter_state.h"
#include "platform/window_info.h"
#include "settings/form_item.h"
#include "settings/settings.h"

#include <algorithm>
#include <array>

#include "history/data_cap.h"
#include "history/period_totals.h"
#include "measure/format.h"

namespace {

constexpr int kSectionStep = 52;
constexpr int kSectionHeight = 49;
constexpr int kLineStep = 20;
constexpr int kGraphGap = 3;
constexpr int kCapLine = 16;  // one line of the data cap below a section
constexpr int kSmoothing = 50;

// Everything one redraw works with.
struct Frame {
    DisplayView state;
    PlanCanvas& canvas;
    DisplayCache& cache;
    const DrawInputs& inputs;
    int W;
    std::array<bool, kAdapterSlots> graph_seen{};
};

const AdapterState& adapter_of(const DisplayView& state, int adapter) {
    static const AdapterState kNoAdapter{};
    if (adapter < 0 || adapter >= kAdapterSlots) return kNoAdapter;
    return state.adapters[static_cast<std::size_t>(adapter)];
}

// A sample of a graph buffer; beyond the buffer reads as no traffic.
double sample(const SampleBuffer& buffer, int i) {
    return i >= 0 && i < kSampleCount ? buffer[static_cast<std::size_t>(i)] : 0.0;
}

constexpr std::size_t kKeptNumbers = 32;

// A rate or an amount as the settings format it, from the recent redraws where it was there.
const std::string& number_text(Frame& f, double v, bool rate) {
    const Settings& s = f.state.settings;
    const int unit = rate ? s.TransferUnit : s.TransferredUnit;
    const int decimals = rate ? s.TransferDec : s.TransferredDec;
    std::vector<FormattedNumber>& kept = f.cache.numbers;
    for (const FormattedNumber& n : kept)
        if (n.value == v && n.unit == unit && n.decimals == decimals && n.rate == rate && n.locale == &f.inputs.locale)
            return n.text;
    FormattedNumber made{v, unit, decimals, rate, &f.inputs.locale,
                         format_value(v, unit, rate, false, kDecimalsFromSettings, false, s, f.inputs.locale)};
    if (kept.size() < kKeptNumbers) {
        kept.push_back(std::move(made));
        return kept.back().text;
    }
    FormattedNumber& slot = kept[f.cache.next_number];
    f.cache.next_number = (f.cache.next_number + 1) % kKeptNumbers;
    slot = std::move(made);
    return slot.text;
}

std::string rate_text(Frame& f, double v) { return number_text(f, v, true) + "/s"; }

std::string amount_text(Frame& f, double v) { return number_text(f, v, false); }

void draw_rate_section(Frame& f, const FormItem& item, bool upload) {
    const ColourScheme& c = f.state.settings.colours;
    const AdapterState& a = adapter_of(f.state, item.Adapter);
    DrawLabel(f.canvas, upload ? "Upload" : "Download", item.Top + 3, kAlignCentre, c.Header);
    DrawLabel(f.canvas, "Current", item.Top + 19, kAlignLeft, c.Description);
    DrawLabel(f.canvas, "Max", item.Top + 19, kAlignRight, c.Description);
    DrawLabel(f.canvas, "Average", item.Top + 19, kAlignCentre, c.Description);
    const double current = upload ? a.upload_graph[0] : a.download_graph[0];
    const double peak = upload ? a.shown_peak_upload : a.shown_peak_download;
    const double average = upload ? a.shown_average_upload : a.shown_average_download;
    DrawLabel(f.canvas, rate_text(f, current), item.Top + 35, kAlignLeft, c.Values);
    DrawLabel(f.canvas, rate_text(f, peak), item.Top + 35, kAlignRight, c.Values);
    DrawLabel(f.canvas, rate_text(f, average), item.Top + 35, kAlignCentre, c.Values);
}

// Below the user-defined period's amounts: how much of the cap is used and, once there is
// one, the pace. The lines lie on a colour that grows stronger: from 80 % the graph's
// overlap colour (yellow in the built-in preset), from 100 % its upload colour (red).
void draw_cap_rows(Frame& f, const FormItem& item) {
    const Settings& s = f.state.settings;
    const ColourScheme& c = s.colours;
    const CapStatus cap = cap_status(f.state, item.Adapter, f.inputs.now);
    const CapLevel level = cap_level(cap.share);
    const int top = item.Top + kSectionHeight;
    const int lines = std::max<int>(item.cap_lines, 1);
    if (level != CapLevel::normal)
        f.canvas.fill_rect(0, top, f.W, top + lines * kCapLine - 1, level == CapLevel::reached ? c.GraphUp : c.DownloadUpload);
    DrawLabel(f.canvas, cap_text(cap, s, f.inputs.locale), item.Top + 51, kAlignCentre, c.Values);
    const std::string pace = pace_text(cap, s, f.inputs.locale);
    if (!pace.empty() && lines > 1) DrawLabel(f.canvas, pace, item.Top + 67, kAlignCentre, c.Values);
}

void draw_transferred_section(Frame& f, const FormItem& item) {
    const Settings& s = f.state.settings;
    const ColourScheme& c = s.colours;
    const bool known_period = item.Period < kPeriodKinds;
    DrawLabel(f.canvas, known_period ? period_name(f.state, item.Period) : std::string(), item.Top + 3, kAlignCentre,
              c.Header);
    DrawLabel(f.canvas, "Download", item.Top + 19, kAlignLeft, c.Description);
    DrawLabel(f.canvas, "Upload", item.Top + 19, kAlignRight, c.Description);
    if (s.ShowInfo == 1) DrawLabel(f.canvas, "IP", item.Top + 19, kAlignCentre, c.Description);
    if (s.ShowInfo == 2) DrawLabel(f.canvas, "-", item.Top + 19, kAlignCentre, c.Description);
    // An item naming an adapter slot that cannot exist shows nothing rather than asking for it.
    double down = 0.0;
    double up = 0.0;
    if (known_period && item.Adapter < kAdapterSlots) {
        down = period_total(f.state, item.Adapter, item.Period, kReceived, f.inputs.now);
        up = period_total(f.state, item.Adapter, item.Period, kSent, f.inputs.now);
    }
    DrawLabel(f.canvas, amount_text(f, down), item.Top + 35, kAlignLeft, c.Values);
    DrawLabel(f.canvas, amount_text(f, up), item.Top + 35, kAlignRight, c.Values);
    if (s.ShowInfo == 1) DrawLabel(f.canvas, adapter_ip_text(f.inputs, item.Adapter), item.Top + 35, kAlignCentre, c.Values);
    if (s.ShowInfo == 2) DrawLabel(f.canvas, amount_text(f, down + up), item.Top + 35, kAlignCentre, c.Values);
    if (shows_cap(item, s)) draw_cap_rows(f, item);
}

void draw_rate_line(Frame& f, const FormItem& item) {
    const AdapterState& a = adapter_of(f.state, item.Adapter);
    const std::string text =
        "DL: " + rate_text(f, a.download_graph[0]) + "  UL: " + rate_text(f, a.upload_graph[0]);
    DrawLabel(f.canvas, text, item.Top + 3, kAlignCentre, f.state.settings.colours.Values);
}

// Pixels per byte/s for a fixed line speed in kbit/s; a speed of 0 gives a flat graph.
double fixed_scale(int h, std::int32_t kbps) {
    if (kbps <= 0) return 0.0;
    return h / (kbps / 8.0 * 1000.0);
}

double peak_scale(int h, double peak) { return peak > 0 ? h / peak : 0.0; }

struct GraphScales {
    double down = 0.0;
    double up = 0.0;
};

GraphScales graph_scales(const Settings& s, const AdapterState& a, int h) {
    GraphScales g;
    g.down = s.ConnectionType == 0 ? peak_scale(h, a.shown_peak_download) : fixed_scale(h, s.ConnectionSpeed);
    if (s.ConnectionTypeUp == 0) g.up = g.down;
    else if (s.ConnectionTypeUp == 1) g.up = peak_scale(h, a.shown_peak_upload);
    else g.up = fixed_scale(h, s.ConnectionSpeedUp);
    return g;
}

void draw_grid(Frame& f, const FormItem& item, int baseline) {
    const Settings& s = f.state.settings;
    const int step = s.GraphType == 0 ? 2 * s.vGridInt : s.vGridInt;
    if (step <= 0) return;
    for (int x = f.W; x >= 0; x -= step) f.canvas.dotted_line(x, item.Top, x, baseline, s.colours.GridLine);
}

void draw_average_lines(Frame& f, const AdapterState& a, int baseline, double scale) {
    const ColourScheme& c = f.state.settings.colours;
    const int yu = to_pixel(baseline - a.shown_average_upload * scale);
    f.canvas.line(0, yu, f.W, yu, c.GraphAverageUp);
    const int yd = to_pixel(baseline - a.shown_average_download * scale);
    f.canvas.line(0, yd, f.W, yd, c.GraphAverageDown);
}

void draw_line_graph(Frame& f, const AdapterState& a, int baseline, const GraphScales& sc) {
    const Settings& s = f.state.settings;
    const int last = 2 * ((f.W + 10) / 4);
    std::vector<CanvasPoint> points(static_cast<std::size_t>(last + 1));
    auto curve = [&](const SampleBuffer& buffer, double scale, std::uint32_t colour) {
        for (int i = 0; i <= last; ++i)
            points[static_cast<std::size_t>(i)] = {f.W - 2 * i, to_pixel(baseline - sample(buffer, i) * scale)};
        DrawSmoothCurve(f.canvas, points, kSmoothing, colour, s.SoftGraph != 0, s.colours.Background);
    };
    curve(a.upload_graph, sc.up, s.colours.GraphUp);
    curve(a.download_graph, sc.down, s.colours.GraphDown);
}

void draw_bar_graph(Frame& f, const AdapterState& a, int baseline, double scale) {
    const ColourScheme& c = f.state.settings.colours;
    auto bar = [&](int x, double v, std::uint32_t colour) {
        f.canvas.line(x, baseline, x, to_pixel(baseline - v * scale - 2), colour);
    };
    for (int i = 0; i <= f.W; ++i) {
        const int x = f.W - 1 - i;
        const double d = sample(a.download_graph, i);
        const double u = sample(a.upload_graph, i);
        if (d > u) {
            if (d > 0) bar(x, d, c.GraphDown);
            if (u > 0) bar(x, u, c.DownloadUpload);
        } else {
            if (u > 0) bar(x, u, c.GraphUp);
            if (d > 0) bar(x, d, c.DownloadUpload);
        }
    }
}

void draw_graph(Frame& f, const FormItem& item) {
    Settings& s = f.state.settings;
    const int h = item.Height;
    const int baseline = item.Top + h;
    if (item.Adapter < kAdapterSlots) f.graph_seen[item.Adapter] = true;
    if (h > 0) s.GraphHeight = h;
    // Line graph samples lie 2 pixels apart, bars 1.
    f.canvas.mark_graph(item.Top, baseline, s.GraphType == 0 ? 2 : 1);
    const AdapterState& a = adapter_of(f.state, item.Adapter);
    const GraphScales sc = graph_scales(s, a, h);
    const bool grid = s.vGrid != 0 && s.vGridInt != 0;
    const bool averages = s.AverageShow != 0;

    if (grid && s.vGridTop == 0) draw_grid(f, item, baseline);
    if (averages && s.AverageTop == 0) draw_average_lines(f, a, baseline, sc.down);
    if (s.GraphType == 0) draw_line_graph(f, a, baseline, sc);
    else draw_bar_graph(f, a, baseline, sc.down);
    // Clipping band: erases whatever rose above the graph's top; the second pass redraws
    // the items up there and graphs higher up are drawn after this one.
    if (item.Top - 1 >= 0) f.canvas.fill_rect(0, 0, f.W, item.Top - 1, s.colours.Background);
    if (grid && s.vGridTop != 0) draw_grid(f, item, baseline);
    if (averages && s.AverageTop != 0) draw_average_lines(f, a, baseline, sc.down);
}

void draw_separator(Frame& f, const FormItem& item) {
    const Settings& s = f.state.settings;
    f.canvas.line(0, item.Top - 2, f.W, item.Top - 2, s.colours.Seperator);
    if (s.TransBack == 0)
        f.canvas.line(0, item.Top - 1, f.W, item.Top - 1, Highlight(f.cache.highlight, s.colours.Background));
}

void draw_content(Frame& f, const FormItem& item) {
    switch (item.Type) {
        case kItemDownloadRate: draw_rate_section(f, item, false); break;
        case kItemUploadRate: draw_rate_section(f, item, true); break;
        case kItemTransferred: draw_transferred_section(f, item); break;
        case kItemDownloadUploadRate: draw_rate_line(f, item); break;
        case kItemTextLabel: DrawLabel(f.canvas, item.Name, item.Top + 3, kAlignCentre, f.state.settings.colours.TextLabel); break;
        default: break;
    }
}

// One drawing pass over the items: graphs (in reverse order) or everything else.
void draw_pass(Frame& f, bool graphs) {
    std::vector<FormItem>& items = f.state.display_list;
    const int n = static_cast<int>(items.size());
    for (int k = 0; k < n; ++k) {
        const int index = graphs ? n - 1 - k : k;
        const FormItem& item = items[static_cast<std::size_t>(index)];
        f.canvas.begin_group(index, graphs ? 1 : 2);
        if (item.Adapter < kAdapterSlots) f.state.adapters[item.Adapter].graph_shown = f.graph_seen[item.Adapter];
        if (item.Enabled == 0) continue;
        draw_separator(f, item);
        const bool is_graph = item.Type == kItemGraph;
        if (is_graph != graphs) continue;
        if (is_graph) draw_graph(f, item);
        else draw_content(f, item);
    }
}

}  // namespace

bool shows_cap(const FormItem& item, const Settings& s) {
    return item.Type == kItemTransferred && item.Period == kPeriodUser && s.CapAmount > 0;
}

void measure_cap_lines(DisplayView state, double now) {
    for (FormItem& item : state.display_list) {
        item.cap_lines = 0;
        if (item.Enabled == 0 || !shows_cap(item, state.settings)) continue;
        item.cap_lines = cap_status(state, item.Adapter, now).pace ? 2 : 1;
    }
}

int fixed_items_height(const std::vector<FormItem>& items, const Settings& s) {
    int sum = 0;
    for (const FormItem& item : items) {
        if (item.Enabled != 0) sum += fixed_row_height(item, s);
    }
    return sum;
}

int fixed_row_height(const FormItem& item, const Settings& s) {
    switch (item.Type) {
        case kItemDownloadRate:
        case kItemUploadRate: return kSectionStep;
        case kItemTransferred:
            return shows_cap(item, s) ? kSectionStep + kCapLine * std::max<int>(item.cap_lines, 1) : kSectionStep;
        case kItemDownloadUploadRate:
        case kItemTextLabel: return kLineStep;
        default: return 0;
    }
}

void layout_items(std::vector<FormItem>& items, int height, const Settings& s) {
    int fixed = 0;
    int graphs = 0;
    for (const FormItem& item : items) {
        if (item.Enabled == 0) continue;
        if (item.Type == kItemGraph) ++graphs;
        else fixed += fixed_row_height(item, s);
    }
    const int h = graphs > 0 ? (height - fixed - (kGraphGap * graphs - kGraphGap)) / graphs - 1 : 0;

    // Places every enabled item from the top; `grow` pixels go one each to the graphs from
    // the top down (one walk gives each graph at most one).
    auto place = [&](int& grow, bool first) {
        int y = 0;
        for (FormItem& item : items) {
            if (item.Enabled == 0) continue;
            item.Top = y;
            if (item.Type == kItemGraph) {
                if (first) item.Height = h;
                if (grow > 0) {
                    ++item.Height;
                    --grow;
                }
                y += item.Height + kGraphGap;
            } else {
                const int step = fixed_row_height(item, s);
                // Every row but the last leaves a gap of 3 pixels; unknown types take no room.
                item.Height = step > 0 ? step - kGraphGap : 0;
                y += step;
            }
        }
    };
    int grow = 0;
    place(grow, true);
    if (graphs == 0) return;
    // The rows add up to height + 2: the last gap hangs below the client area.
    grow = height + 2 - (fixed + graphs * (h + kGraphGap));
    for (int round = 0; round < 100 && grow > 0; ++round) place(grow, false);
}

std::string adapter_ip_text(const DrawInputs& inputs, int adapter) {
    if (adapter == 0) return "Multiple";
    std::string ip = inputs.adapter_ip ? inputs.adapter_ip(adapter) : std::string();
    return ip.empty() ? "0.0.0.0" : ip;
}

bool RefreshScreen(DisplayView state, Canvas& canvas, DisplayCache& cache, const DrawInputs& inputs, bool redraw) {
    if (!state.window.visible || state.window.minimized) return false;
    if (!redraw) return true;
    const int width = canvas.width();
    const int height = canvas.height();
    if (width <= 0 || height <= 0) return true;
    // The frame is planned first, then drawn: in full, or where it differs from the frame the
    // canvas shows.
    PlanCanvas plan(cache.next, width, height, canvas.text_height());
    plan.begin_group(-1, 0);
    plan.clear(state.settings.colours.Background);
    measure_cap_lines(state, inputs.now);
    layout_items(state.display_list, height, state.settings);
    Frame f{state, plan, cache, inputs, width, {}};
    draw_pass(f, true);
    draw_pass(f, false);
    plan.finish();
    if (cache.incremental && cache.shown_valid) {
        cache.change = plan_change(cache.shown, cache.next);
    } else {
        cache.change = FrameChange{};
        cache.change.picture = {0, 0, width - 1, height - 1};
    }
    apply_change(cache.next, cache.change, canvas);
    std::swap(cache.shown, cache.next);
    cache.shown_valid = cache.incremental;
    return true;
}
