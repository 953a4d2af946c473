#include "app/win32/notify_icon.h"

#include <windows.h>
#include <shellapi.h>

#include "display/tray_icon.h"
#include "platform/win32/gdi_canvas.h"
#include "platform/win32/win32_text.h"

namespace {

// An icon of the picture: colour with alpha, magenta fully transparent (also in the mask,
// for notification areas that use only that).
HICON icon_from(const GdiCanvas& picture) {
    const int n = kTrayPictureSize;
    BITMAPV5HEADER header = {};
    header.bV5Size = sizeof header;
    header.bV5Width = n;
    header.bV5Height = -n;
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    header.bV5AlphaMask = 0xFF000000;
    void* bits = nullptr;
    HDC screen = ::GetDC(nullptr);
    HBITMAP colour = ::CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits,
                                        nullptr, 0);
    ::ReleaseDC(nullptr, screen);
    if (colour == nullptr) return nullptr;
    // Rows of the mask are padded to 16 bits: two bytes for 16 pixels.
    unsigned char mask_bits[kTrayPictureSize * 2] = {};
    const std::uint32_t key = dib_pixel(kTrayPictureBackground);
    auto* out = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const std::uint32_t p = picture.bits()[y * n + x] & 0xFFFFFFu;
            const bool clear = p == key;
            out[y * n + x] = clear ? 0u : (0xFF000000u | p);
            if (clear) mask_bits[y * 2 + x / 8] |= static_cast<unsigned char>(0x80u >> (x % 8));
        }
    HBITMAP mask = ::CreateBitmap(n, n, 1, 1, mask_bits);
    ICONINFO info = {};
    info.fIcon = TRUE;
    info.hbmColor = colour;
    info.hbmMask = mask;
    HICON icon = ::CreateIconIndirect(&info);
    ::DeleteObject(colour);
    if (mask != nullptr) ::DeleteObject(mask);
    return icon;
}

}  // namespace

NotifyIcon::NotifyIcon(void* window, unsigned callback) : window_(window), callback_(callback) {}

NotifyIcon::~NotifyIcon() {
    remove();
    if (own_icon_ && icon_ != nullptr) ::DestroyIcon(static_cast<HICON>(icon_));
}

void NotifyIcon::set_picture(const GdiCanvas& picture) {
    HICON made = icon_from(picture);
    if (made == nullptr) return;
    if (own_icon_ && icon_ != nullptr) ::DestroyIcon(static_cast<HICON>(icon_));
    icon_ = made;
    own_icon_ = true;
    icon_changed_ = true;
    ++pictures_;
}

void NotifyIcon::set_program_icon() {
    if (!own_icon_ && icon_ != nullptr) return;  // shows it already
    HICON program = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    if (program == nullptr) program = ::LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    if (own_icon_ && icon_ != nullptr) ::DestroyIcon(static_cast<HICON>(icon_));
    icon_ = program;
    own_icon_ = false;
    icon_changed_ = true;
}

void NotifyIcon::set_tooltip(const std::string& text) {
    std::wstring tip = widen(text);
    if (tip.size() > 127) tip.resize(127);
    if (tip != tip_) icon_changed_ = true;
    tip_ = std::move(tip);
}

void NotifyIcon::send(unsigned what) {
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof data;
    data.hWnd = static_cast<HWND>(window_);
    data.uID = 1;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = callback_;
    data.hIcon = static_cast<HICON>(icon_);
    tip_.copy(data.szTip, sizeof data.szTip / sizeof data.szTip[0] - 1);
    ::Shell_NotifyIconW(what, &data);
}

void NotifyIcon::show() {
    if (!shown_) {
        send(NIM_ADD);
        shown_ = true;
    } else if (icon_changed_) {
        // Only a changed picture or tip goes to the shell: the tray redraws for every call.
        send(NIM_MODIFY);
    }
    icon_changed_ = false;
}

void NotifyIcon::taskbar_created() {
    if (!shown_) return;
    send(NIM_ADD);
}

void NotifyIcon::remove() {
    if (!shown_) return;
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof data;
    data.hWnd = static_cast<HWND>(window_);
    data.uID = 1;
    ::Shell_NotifyIconW(NIM_DELETE, &data);
    shown_ = false;
}
