#pragma once

#include <filesystem>
#include <fstream>
#include <string>

// A desktop notification service for a test's own session bus (python3-dbus): it takes the
// name org.freedesktop.Notifications, writes every Notify call as a line
// "<application>\t<title>\t<text>" to the file named by its argument, and creates that
// file's name + ".ready" once it serves.
inline constexpr const char* kNotificationServiceScript = R"(import sys
import dbus, dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

DBusGMainLoop(set_as_default=True)
calls = sys.argv[1]

class Notifications(dbus.service.Object):
    @dbus.service.method("org.freedesktop.Notifications", in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app, replaces, icon, title, text, actions, hints, timeout):
        with open(calls, "a") as f:
            f.write("%s\t%s\t%s\n" % (app, title, text))
        return 1

    @dbus.service.method("org.freedesktop.Notifications", out_signature="as")
    def GetCapabilities(self):
        return ["body"]

bus = dbus.SessionBus()
name = dbus.service.BusName("org.freedesktop.Notifications", bus)
Notifications(bus, "/org/freedesktop/Notifications")
open(calls + ".ready", "w").close()
GLib.MainLoop().run()
)";

// The Python with the D-Bus bindings (Debian's, whatever python3 comes first on PATH).
inline constexpr const char* kSystemPython = "/usr/bin/python3";

// Writes the service's script into `folder` and returns its path.
inline std::filesystem::path write_notification_service(const std::filesystem::path& folder) {
    const std::filesystem::path script = folder / "notifications.py";
    std::ofstream(script) << kNotificationServiceScript;
    return script;
}
