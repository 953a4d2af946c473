#!/usr/bin/python3
"""A stand-in for logind on a private bus, for tests: owns org.freedesktop.login1 and
announces that the machine is about to sleep.

Usage: fake_logind.py BUS_ADDRESS FOLDER
Writes FOLDER/ready once it owns the name. Each time FOLDER/sleep appears it removes it,
emits PrepareForSleep(true) and writes FOLDER/slept. Runs until it is killed.
"""
import os
import sys
import time

import dbus
import dbus.lowlevel

bus = dbus.bus.BusConnection(sys.argv[1])
bus.request_name("org.freedesktop.login1")
folder = sys.argv[2]
open(os.path.join(folder, "ready"), "w").close()
trigger = os.path.join(folder, "sleep")
while True:
    if os.path.exists(trigger):
        os.remove(trigger)
        signal = dbus.lowlevel.SignalMessage("/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                                             "PrepareForSleep")
        signal.append(True, signature="b")
        bus.send_message(signal)
        bus.flush()
        open(os.path.join(folder, "slept"), "w").close()
    time.sleep(0.05)
