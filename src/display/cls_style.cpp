#include "display/cls_style.h"

bool clsStyle::get(bool extended, std::uint32_t bit) const {
    if (client_ == nullptr) return false;
    return (client_->read_style(extended) & bit) == bit;
}

bool clsStyle::set(bool extended, std::uint32_t bit, bool on) {
    if (client_ == nullptr) return false;
    const std::uint32_t old_value = client_->read_style(extended);
    const std::uint32_t new_value = on ? (old_value | bit) : (old_value & ~bit);
    client_->write_style(extended, new_value);
    client_->frame_changed();
    return client_->read_style(extended) == new_value;
}

void clsStyle::set_TopMost(bool on) {
    if (client_ != nullptr) client_->set_topmost(on);
}

bool clsStyle::set_Border(bool on) {
    // One write for the three parts, so the frame is rebuilt once.
    return set(false, kStyleThickFrame | kStyleCaption | kStyleSysMenu, on);
}
