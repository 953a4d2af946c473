#pragma once

#include "platform/power.h"

// Reboot and power-off through systemd ("systemctl reboot" / "systemctl poweroff").
class QtPower : public Power {
public:
    void reboot() override;
    void shutdown() override;
};
