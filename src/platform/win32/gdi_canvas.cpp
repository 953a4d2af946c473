#include "platform/win32/gdi_canvas.h"

#include <windows.h>

#include "platform/win32/win32_text.h"

namespace {

HDC as_dc(void* p) { return static_cast<HDC>(p); }

// The largest "Lucida Console" whose digits advance at most 7 pixels: the size the Linux
// build picks from the same rule, so the rows of text line up the same.
HFONT make_font(HDC dc, int* text_height) {
    for (int px = 16; px >= 6; --px) {
        HFONT font = ::CreateFontW(-px, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                   CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, FIXED_PITCH | FF_MODERN,
                                   L"Lucida Console");
        if (font == nullptr) continue;
        const HGDIOBJ old = ::SelectObject(dc, font);
        SIZE digit{};
        TEXTMETRICW metrics{};
        ::GetTextExtentPoint32W(dc, L"0", 1, &digit);
        ::GetTextMetricsW(dc, &metrics);
        ::SelectObject(dc, old);
        if (digit.cx <= kCharWidth || px == 6) {
            *text_height = metrics.tmHeight;
            return font;
        }
        ::DeleteObject(font);
    }
    return nullptr;
}

// Draws with GDI only inside the canvas clip.
class GdiClip {
public:
    GdiClip(HDC dc, const PixelRect& clip) : dc_(dc), saved_(::SaveDC(dc)) {
        ::IntersectClipRect(dc, clip.x0, clip.y0, clip.x1 + 1, clip.y1 + 1);
    }
    ~GdiClip() {
        ::RestoreDC(dc_, saved_);
        ::GdiFlush();  // the bits are read and written directly next
    }
    GdiClip(const GdiClip&) = delete;
    GdiClip& operator=(const GdiClip&) = delete;

private:
    HDC dc_;
    int saved_;
};

}  // namespace

GdiCanvas::GdiCanvas(bool with_font) {
    dc_ = ::CreateCompatibleDC(nullptr);
    if (dc_ == nullptr || !with_font) return;
    font_ = make_font(as_dc(dc_), &text_height_);
    if (font_ != nullptr) old_font_ = ::SelectObject(as_dc(dc_), static_cast<HFONT>(font_));
    ::SetBkMode(as_dc(dc_), TRANSPARENT);
    ::SetTextAlign(as_dc(dc_), TA_TOP | TA_LEFT | TA_NOUPDATECP);
}

GdiCanvas::~GdiCanvas() {
    release();
    if (dc_ == nullptr) return;
    if (old_font_ != nullptr) ::SelectObject(as_dc(dc_), static_cast<HGDIOBJ>(old_font_));
    if (font_ != nullptr) ::DeleteObject(static_cast<HFONT>(font_));
    ::DeleteDC(as_dc(dc_));
}

void GdiCanvas::release() {
    if (bitmap_ == nullptr) return;
    ::SelectObject(as_dc(dc_), static_cast<HGDIOBJ>(old_bitmap_));
    ::DeleteObject(static_cast<HBITMAP>(bitmap_));
    bitmap_ = old_bitmap_ = nullptr;
    bits_ = nullptr;
    surface_ = PixelSurface();
}

bool GdiCanvas::resize(int width, int height) {
    if (valid() && width == surface_.width() && height == surface_.height()) return true;
    release();
    if (dc_ == nullptr || width <= 0 || height <= 0) return width <= 0 || height <= 0;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down: row 0 first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(as_dc(dc_), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) return false;
    bitmap_ = bitmap;
    old_bitmap_ = ::SelectObject(as_dc(dc_), bitmap);
    bits_ = static_cast<std::uint32_t*>(bits);
    surface_ = PixelSurface(bits_, width, height, width);
    surface_.fill(0, 0, width - 1, height - 1, 0xFFFFFFu);
    return true;
}

void GdiCanvas::clear(std::uint32_t colour) {
    const PixelRect& c = surface_.clip();
    surface_.fill(c.x0, c.y0, c.x1, c.y1, dib_pixel(colour));
}

void GdiCanvas::line(int x0, int y0, int x1, int y1, std::uint32_t colour) {
    if (!valid() || surface_.straight_line(x0, y0, x1, y1, dib_pixel(colour), false)) return;
    slanted(x0, y0, x1, y1, colour, false);
}

void GdiCanvas::dotted_line(int x0, int y0, int x1, int y1, std::uint32_t colour) {
    if (!valid() || surface_.straight_line(x0, y0, x1, y1, dib_pixel(colour), true)) return;
    slanted(x0, y0, x1, y1, colour, true);
}

void GdiCanvas::slanted(int x0, int y0, int x1, int y1, std::uint32_t colour, bool dotted) {
    // GDI's own line: like the straight ones, it leaves out its last pixel.
    LOGBRUSH brush{BS_SOLID, colour, 0};
    HPEN pen = dotted ? ::ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &brush, 0, nullptr)
                      : ::CreatePen(PS_SOLID, 1, colour);
    if (pen == nullptr) return;
    {
        const GdiClip clip(as_dc(dc_), surface_.clip());
        const HGDIOBJ old = ::SelectObject(as_dc(dc_), pen);
        ::MoveToEx(as_dc(dc_), x0, y0, nullptr);
        ::LineTo(as_dc(dc_), x1, y1);
        ::SelectObject(as_dc(dc_), old);
    }
    ::DeleteObject(pen);
}

void GdiCanvas::fill_rect(int x0, int y0, int x1, int y1, std::uint32_t colour) {
    surface_.fill(x0, y0, x1, y1, dib_pixel(colour));
}

void GdiCanvas::text(int x, int y, const std::string& t, std::uint32_t colour) {
    if (!valid() || font_ == nullptr || t.empty()) return;
    const std::wstring wide = widen(t);
    if (advances_.size() < wide.size()) advances_.assign(wide.size(), kCharWidth);
    const GdiClip clip(as_dc(dc_), surface_.clip());
    ::SetTextColor(as_dc(dc_), colour);  // a COLORREF packs red, green, blue as the core does
    ::ExtTextOutW(as_dc(dc_), x, y, 0, nullptr, wide.c_str(), static_cast<UINT>(wide.size()), advances_.data());
}

int GdiCanvas::measure(const std::string& t) const {
    if (dc_ == nullptr || font_ == nullptr) return static_cast<int>(t.size()) * kCharWidth;
    const std::wstring wide = widen(t);
    SIZE size{};
    ::GetTextExtentPoint32W(as_dc(dc_), wide.c_str(), static_cast<int>(wide.size()), &size);
    return size.cx;
}

void GdiCanvas::bezier(const std::vector<CanvasPoint>& points, std::uint32_t colour) {
    surface_.bezier(points, dib_pixel(colour));
}

void GdiCanvas::scroll_left(int y0, int y1, int dx) { surface_.scroll_left(y0, y1, dx); }

std::uint32_t GdiCanvas::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width() || y >= height()) return 0;
    return core_colour(surface_.at(x, y));
}
