#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "display/canvas.h"
#include "display/display_view.h"
#include "settings/settings.h"

struct AdapterState;
class Locale;

// The tray picture is 16 x 16 pixels on a magenta background.
inline constexpr int kTrayPictureSize = 16;
inline constexpr std::uint32_t kTrayPictureBackground = rgb(255, 0, 255);
// A full bar is 13 pixels high.
inline constexpr double kTrayBarHeight = 13.0;
// The tip of the notification icon holds at most this many characters.
inline constexpr std::size_t kTrayTipLength = 64;

// Pixels per byte/s of the two bars. A fixed line speed of 0 gives 0 (no bar) rather than
// a division by zero.
struct TrayScales {
    double download = 0.0;
    double upload = 0.0;
};
TrayScales tray_scales(const Settings& s, const AdapterState& a);

// The adapter the tray shows: the one chosen by the Adapter setting.
const AdapterState& tray_adapter(TrayQuery state);

// Everything the tray picture is drawn from: the top row of each bar (none when the bar is
// empty) and the colours. Equal descriptions draw equal pictures, so an unchanged picture
// need not be drawn again.
struct TrayPicture {
    bool download_bar = false;
    bool upload_bar = false;
    int download_top = 0;
    int upload_top = 0;
    std::uint32_t background = 0;
    std::uint32_t download = 0;
    std::uint32_t upload = 0;
    std::uint32_t shadow = 0;
    std::uint32_t highlight = 0;
    friend bool operator==(const TrayPicture&, const TrayPicture&) = default;
};
TrayPicture tray_picture(TrayQuery state);

// Draws the two-bar graph of the monitored adapter into the 16 x 16 picture: background,
// download bar left and upload bar right of a divider, sunken frame.
void DrawTrayGraph(const TrayPicture& picture, Canvas& canvas);

// "DL: <rate>/s  UL: <rate>/s" for the monitored adapter.
std::string tray_rates_line(TrayQuery state, const Locale& locale);

// Measures the pixel width of a text in the main window's font.
using TextWidth = std::function<int(const std::string&)>;

// The tooltip: "Kelvanto" when rates are off; the rates line alone before major version 5;
// otherwise the title and the rates line (CR LF between), each centred on the other with
// leading spaces. Cut to the tip's 64 characters. A `cap_line` follows as a third line of
// the two-line form, the narrower of it and the rates line centred on the wider.
std::string TrayTooltip(TrayQuery state, const Locale& locale, int os_major_version,
                        const TextWidth& text_width, const std::string& cap_line = {});
// The share of the data cap the monitored adapter has used ("12.30 GB of 50 GB, 25 %"), or
// empty when no cap is set.
std::string tray_cap_line(HistoryQuery state, const Locale& locale, double now);
// Everything TrayTooltip reads besides the locale and the font: while it stays the same, so
// does the tooltip, which then need not be made again each second.
struct TrayTipInputs {
    std::uint8_t tooltip = 0;  // SysTrayToolTip
    std::int32_t adapter = 0;
    std::uint8_t unit = 0;      // TransferUnit
    std::uint8_t decimals = 0;  // TransferDec
    double download = 0.0;
    double upload = 0.0;
    std::string cap_line;
    friend bool operator==(const TrayTipInputs&, const TrayTipInputs&) = default;
};
// The inputs with the given cap line.
TrayTipInputs tray_tip_inputs(TrayQuery state, std::string cap_line);

// The centring rule alone: both lines with their leading spaces, joined by CR LF.
std::string centred_tip(const std::string& title, const std::string& rates, const TextWidth& text_width);
