#pragma once

#include <cstdint>

// Style bits of a top-level window. The values are those the stored behaviour was built
// around; the platform host translates them to its own window flags.
inline constexpr std::uint32_t kStyleCaption = 0xC00000;
inline constexpr std::uint32_t kStyleThickFrame = 0x40000;
inline constexpr std::uint32_t kStyleSysMenu = 0x80000;
inline constexpr std::uint32_t kStyleMinimizeBox = 0x20000;
inline constexpr std::uint32_t kStyleMaximizeBox = 0x10000;
inline constexpr std::uint32_t kExStyleToolWindow = 0x80;
inline constexpr std::uint32_t kExStyleContextHelp = 0x400;
inline constexpr std::uint32_t kExStyleLayered = 0x80000;

// The window whose frame clsStyle switches. The host reads and writes the style words,
// redraws the frame after a change and places the window topmost or not.
class WindowStyleHost {
public:
    virtual ~WindowStyleHost() = default;
    virtual std::uint32_t read_style(bool extended) const = 0;
    virtual void write_style(bool extended, std::uint32_t value) = 0;
    virtual void frame_changed() = 0;
    virtual void set_topmost(bool on) = 0;
};

// Switches the frame parts of one window. Each setter reads the style word, sets or clears
// its bit, writes it back, redraws the frame and reports whether the style read back is the
// one written (false when the platform refused part of it).
class clsStyle {
public:
    void set_client(WindowStyleHost* host) { client_ = host; }
    WindowStyleHost* Client() const { return client_; }

    bool Titlebar() const { return get(false, kStyleCaption); }
    bool set_Titlebar(bool on) { return set(false, kStyleCaption, on); }
    bool Sizable() const { return get(false, kStyleThickFrame); }
    bool set_Sizable(bool on) { return set(false, kStyleThickFrame, on); }
    bool ControlBox() const { return get(false, kStyleSysMenu); }
    bool set_ControlBox(bool on) { return set(false, kStyleSysMenu, on); }
    bool MinButton() const { return get(false, kStyleMinimizeBox); }
    bool set_MinButton(bool on) { return set(false, kStyleMinimizeBox, on); }
    bool MaxButton() const { return get(false, kStyleMaximizeBox); }
    bool set_MaxButton(bool on) { return set(false, kStyleMaximizeBox, on); }
    bool ToolWindow() const { return get(true, kExStyleToolWindow); }
    bool set_ToolWindow(bool on) { return set(true, kExStyleToolWindow, on); }
    bool WhatsThisButton() const { return get(true, kExStyleContextHelp); }
    bool set_WhatsThisButton(bool on) { return set(true, kExStyleContextHelp, on); }
    bool Layered() const { return get(true, kExStyleLayered); }
    bool set_Layered(bool on) { return set(true, kExStyleLayered, on); }

    // Topmost placement can only be set; it does not move or size the window.
    void set_TopMost(bool on);

    // A left press in the client area drags the window; a right release opens its menu.
    bool AutoDrag = false;
    bool AutoSysMenu = false;

    // The frame with title bar, sizing border and control box all on or all off.
    bool set_Border(bool on);

private:
    bool get(bool extended, std::uint32_t bit) const;
    bool set(bool extended, std::uint32_t bit, bool on);

    WindowStyleHost* client_ = nullptr;
};
