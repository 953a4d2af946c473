#!/usr/bin/python3
"""A minimal StatusNotifier watcher and host for the tray tests.

Owns org.kde.StatusNotifierWatcher on the session bus (after DELAY seconds), accepts item
registrations and follows every registered item: it reads the item's IconPixmap and ToolTip
properties whenever the item signals a change (and twice a second besides), and writes one
line per observation to standard output, flushed at once:

    watching
    registered <service> <path>
    icon <size>x<size> <sha1 of the pixel bytes> bar=<rrggbb low in the download bar>
    tooltip <title>|<description>
    unregistered <service>

Usage: sni_watcher.py [--delay SECONDS] [--seconds SECONDS]
"""

import argparse
import hashlib
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"


def say(line):
    print(line, flush=True)


class Watcher(dbus.service.Object):
    def __init__(self, bus):
        self.bus = bus
        self.items = {}  # service -> path
        self.seen = {}  # service -> (icon line, tooltip line)
        self.name = dbus.service.BusName(WATCHER, bus)
        super().__init__(self.name, "/StatusNotifierWatcher")
        bus.add_signal_receiver(self.name_owner_changed, "NameOwnerChanged", "org.freedesktop.DBus")
        for signal in ("NewIcon", "NewToolTip", "NewStatus", "NewTitle"):
            bus.add_signal_receiver(self.item_changed, signal, ITEM, sender_keyword="sender")
        GLib.timeout_add(500, self.poll)
        say("watching")

    @dbus.service.method(WATCHER, in_signature="s", out_signature="", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        path = "/StatusNotifierItem"
        if service.startswith("/"):
            path, service = service, sender
        self.items[str(service)] = str(path)
        say("registered %s %s" % (service, path))
        self.StatusNotifierItemRegistered(service)
        self.read(str(service))

    @dbus.service.method(WATCHER, in_signature="s", out_signature="")
    def RegisterStatusNotifierHost(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemRegistered(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemUnregistered(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="")
    def StatusNotifierHostRegistered(self):
        pass

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, prop):
        return self.GetAll(interface)[prop]

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {
            "RegisteredStatusNotifierItems": dbus.Array(
                ["%s%s" % (s, p) for s, p in self.items.items()], signature="s"),
            "IsStatusNotifierHostRegistered": dbus.Boolean(True),
            "ProtocolVersion": dbus.Int32(0),
        }

    # Clients read the properties through the introspection data, so they are listed there.
    @dbus.service.method(dbus.INTROSPECTABLE_IFACE, in_signature="", out_signature="s",
                         path_keyword="object_path", connection_keyword="connection")
    def Introspect(self, object_path, connection):
        xml = super().Introspect(object_path, connection)
        props = ('<property name="RegisteredStatusNotifierItems" type="as" access="read"/>'
                 '<property name="IsStatusNotifierHostRegistered" type="b" access="read"/>'
                 '<property name="ProtocolVersion" type="i" access="read"/>')
        return xml.replace('<interface name="%s">' % WATCHER, '<interface name="%s">%s' % (WATCHER, props), 1)

    def name_owner_changed(self, name, old, new):
        if name in self.items and not new:
            del self.items[name]
            self.seen.pop(name, None)
            say("unregistered %s" % name)
            self.StatusNotifierItemUnregistered(name)

    def item_changed(self, *args, sender=None):
        for service in list(self.items):
            owner = service
            if not service.startswith(":"):
                try:
                    owner = self.bus.get_name_owner(service)
                except dbus.DBusException:
                    continue
            if owner == sender:
                self.read(service)

    def poll(self):
        for service in list(self.items):
            self.read(service)
        return True

    def read(self, service):
        path = self.items.get(service)
        if path is None:
            return
        try:
            props = dbus.Interface(self.bus.get_object(service, path, introspect=False), dbus.PROPERTIES_IFACE)
            pixmaps = props.Get(ITEM, "IconPixmap")
            tip = props.Get(ITEM, "ToolTip")
        except dbus.DBusException as e:
            say("error %s" % e.get_dbus_name())
            return
        icon = "icon none"
        if len(pixmaps) > 0:
            w, h, data = min(pixmaps, key=lambda p: int(p[0]))
            data = bytes(bytearray(data))
            # The colour low in the download bar (x 4, y 12 of the 16 x 16 picture).
            bar = "-"
            if int(w) == 16 and len(data) == 16 * 16 * 4:
                at = (12 * 16 + 4) * 4
                bar = "%02x%02x%02x" % (data[at + 1], data[at + 2], data[at + 3])
            icon = "icon %dx%d %s bar=%s" % (int(w), int(h), hashlib.sha1(data).hexdigest(), bar)
        tooltip = "tooltip %s|%s" % (str(tip[2]).replace("\n", "\\n"), str(tip[3]).replace("\n", "\\n"))
        old_icon, old_tip = self.seen.get(service, (None, None))
        if icon != old_icon:
            say(icon)
        if tooltip != old_tip:
            say(tooltip)
        self.seen[service] = (icon, tooltip)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--delay", type=float, default=0.0)
    parser.add_argument("--seconds", type=float, default=60.0)
    args = parser.parse_args()
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    loop = GLib.MainLoop()
    holder = []
    GLib.timeout_add(int(args.delay * 1000), lambda: holder.append(Watcher(bus)) and False)
    GLib.timeout_add(int(args.seconds * 1000), loop.quit)
    loop.run()
    return 0


if __name__ == "__main__":
    sys.exit(main())
