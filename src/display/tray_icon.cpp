#include "display/tray_icon.h"

#include "measure/adapter_state.h"
#include "settings/settings.h"

#include <algorithm>
#include <cmath>

#include "display/display_view.h"
#include "history/data_cap.h"
#include "measure/format.h"

namespace {

// Pixels per byte/s for a line speed in kbit/s; 0 for a speed of 0.
double line_scale(std::int32_t kbits) {
    if (kbits <= 0) return 0.0;
    return kTrayBarHeight / (kbits / 8.0 * 1000.0);
}

// Pixels per byte/s for the largest averaged rate seen; 0 before any traffic.
double peak_scale(double peak) { return peak > 0.0 ? kTrayBarHeight / peak : 0.0; }

int averaging_index(const Settings& s) { return std::clamp<int>(s.BandwidthCalc, 1, kMaxAveraging); }

double download_scale_by_connection(const Settings& s, const AdapterState& a) {
    if (s.ConnectionType == 0) return peak_scale(a.peak_average_download[static_cast<std::size_t>(averaging_index(s))]);
    return line_scale(s.ConnectionSpeed);
}

// The top of a bar (bars are filled from their top down to row 14) of a rate: 14 minus its height, kept within int range for huge rates.
int bar_top(double scale, double rate) {
    const double top = 14.0 - scale * rate;
    return static_cast<int>(std::lround(std::clamp(top, -32768.0, 14.0)));
}

}  // namespace

TrayScales tray_scales(const Settings& s, const AdapterState& a) {
    TrayScales sc;
    if (s.SysDl != 0) {
        sc.download = s.SysDlSpeed < 1 ? 1.0 : line_scale(s.SysDlSpeed);
    } else {
        sc.download = download_scale_by_connection(s, a);
    }
    if (s.SysUl != 0) {
        sc.upload = s.SysUlSpeed < 1 ? 1.0 : line_scale(s.SysUlSpeed);
    } else if (s.ConnectionTypeUp == 0) {
        sc.upload = download_scale_by_connection(s, a);
    } else if (s.ConnectionTypeUp == 1) {
        sc.upload = peak_scale(a.peak_average_upload[static_cast<std::size_t>(averaging_index(s))]);
    } else {
        sc.upload = line_scale(s.ConnectionSpeedUp);
    }
    return sc;
}

const AdapterState& tray_adapter(TrayQuery state) {
    const int slot = std::clamp<int>(state.settings.Adapter, 0, kMaxAdapters);
    return state.adapters[static_cast<std::size_t>(slot)];
}

TrayPicture tray_picture(TrayQuery state) {
    const Settings& s = state.settings;
    const AdapterState& a = tray_adapter(state);
    const double d = a.download_graph[0];
    const double u = a.upload_graph[0];
    const TrayScales sc = tray_scales(s, a);
    TrayPicture p;
    p.download_bar = d > 0 && sc.download > 0;
    p.upload_bar = u > 0 && sc.upload > 0;
    if (p.download_bar) p.download_top = bar_top(sc.download, d);
    if (p.upload_bar) p.upload_top = bar_top(sc.upload, u);
    p.background = static_cast<std::uint32_t>(s.SysTrayColorBackground);
    p.download = static_cast<std::uint32_t>(s.SysTrayColorDownload);
    p.upload = static_cast<std::uint32_t>(s.SysTrayColorUpload);
    p.shadow = s.ButtonShadow;
    p.highlight = s.ButtonHilight;
    return p;
}

void DrawTrayGraph(const TrayPicture& p, Canvas& canvas) {
    canvas.clear(kTrayPictureBackground);
    canvas.fill_rect(2, 1, 12, 15, p.background);
    if (p.download_bar) canvas.fill_rect(2, p.download_top, 6, 14, p.download);
    if (p.upload_bar) canvas.fill_rect(8, p.upload_top, 12, 14, p.upload);
    canvas.line(1, 0, 13, 0, p.shadow);
    canvas.line(1, 0, 1, 16, p.shadow);
    canvas.line(2, 15, 13, 15, p.highlight);
    canvas.line(13, 0, 13, 16, p.highlight);
    canvas.line(7, 1, 7, 15, p.highlight);
}

std::string tray_rates_line(TrayQuery state, const Locale& locale) {
    const Settings& s = state.settings;
    const AdapterState& a = tray_adapter(state);
    auto rate = [&](double v) {
        return format_value(v, s.TransferUnit, true, false, kDecimalsFromSettings, false, s, locale);
    };
    return "DL: " + rate(a.download_graph[0]) + "/s  UL: " + rate(a.upload_graph[0]) + "/s";
}

TrayTipInputs tray_tip_inputs(TrayQuery state, std::string cap_line) {
    const Settings& s = state.settings;
    const AdapterState& a = tray_adapter(state);
    return {s.SysTrayToolTip, s.Adapter,          s.TransferUnit,      s.TransferDec,
            a.download_graph[0], a.upload_graph[0], std::move(cap_line)};
}

std::string centred_tip(const std::string& title, const std::string& rates, const TextWidth& text_width) {
    const int space = std::max(1, text_width(" "));
    const int k = ((text_width(rates) - text_width(title)) / 2) / space;
    const std::string title_pad(k >= 2 ? static_cast<std::size_t>(k) : 0u, ' ');
    std::size_t rates_spaces = 0;
    if (k == 0) rates_spaces = 1;
    if (k < 0) rates_spaces = static_cast<std::size_t>(2 - k);
    return title_pad + title + "\r\n" + std::string(rates_spaces, ' ') + rates;
}

std::string TrayTooltip(TrayQuery state, const Locale& locale, int os_major_version,
                        const TextWidth& text_width, const std::string& cap_line) {
    const std::string title = "Kelvanto";
    if (state.settings.SysTrayToolTip == 0) return title;
    const std::string rates = tray_rates_line(state, locale);
    if (os_major_version < 5) return rates.substr(0, kTrayTipLength);
    std::string tip = centred_tip(title, rates, text_width);
    if (tip.size() > kTrayTipLength) tip.resize(kTrayTipLength);
    if (cap_line.empty()) return tip;
    // The narrower of the rates and the cap line is moved right to the middle of the wider;
    // the title keeps its place over the rates.
    const int space = std::max(1, text_width(" "));
    const int pad = ((text_width(rates) - text_width(cap_line)) / 2) / space;
    if (pad >= 0) return tip + "\r\n" + std::string(static_cast<std::size_t>(pad), ' ') + cap_line;
    const std::string shift(static_cast<std::size_t>(-pad), ' ');
    const std::size_t break_at = tip.find("\r\n");
    if (break_at != std::string::npos) tip.insert(break_at + 2, shift);
    return shift + tip + "\r\n" + cap_line;
}

std::string tray_cap_line(HistoryQuery state, const Locale& locale, double now) {
    if (cap_bytes(state.settings) <= 0) return {};
    const int adapter = std::clamp<int>(state.settings.Adapter, 0, kMaxAdapters);
    return cap_text(cap_status(state, adapter, now), state.settings, locale);
}
