#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Keyboard and screenshots of the GNOME end-to-end tests, through Mutter's remote desktop and
# screen cast interfaces on the session bus, so keys go through the compositor as a user's would
# (not into XWayland only). Driven by lines on stdin until it closes:
#   type <text>     each character pressed and released (Mutter adds Shift where needed)
#   key <keys>      keys by name, modifiers first, pressed then released: Return, alt+Tab
#   click <x> <y>   the pointer moved there (from the top left corner) and the left button clicked
#   sleep <seconds>
#   shot <prefix>   one picture per monitor: <prefix>-Meta-0.png, <prefix>-Meta-1.png (needs
#                   PipeWire running in the session)
# Each line is answered on stdout with "ok" or "error: <why>". One remote desktop session for a
# whole test: Mutter closes it when this program leaves the bus, and drops the first keys of a
# new one (primed below).
import os
import subprocess
import sys
import time

from gi.repository import Gio, GLib

NAMES = {"Return": 0xFF0D, "BackSpace": 0xFF08, "End": 0xFF57, "Tab": 0xFF09, "Escape": 0xFF1B,
         "alt": 0xFFE9, "ctrl": 0xFFE3, "shift": 0xFFE1, "super": 0xFFEB, "F4": 0xFFC1}
bus = Gio.bus_get_sync(Gio.BusType.SESSION)


def call(service, path, interface, method, arguments=None):
    return bus.call_sync(service, path, service + interface, method, arguments, None, 0, 5000,
                         None).unpack()


REMOTE = "org.gnome.Mutter.RemoteDesktop"
session = call(REMOTE, "/org/gnome/Mutter/RemoteDesktop", "", "CreateSession")[0]
call(REMOTE, session, ".Session", "Start")


def notify(method, signature, *values):
    call(REMOTE, session, ".Session", "Notify" + method, GLib.Variant(signature, values))


def press(keysym, down):
    notify("KeyboardKeysym", "(ub)", keysym, down)


press(NAMES["shift"], True)
press(NAMES["shift"], False)
time.sleep(0.3)


def grab(node, picture):
    # gst-launch keeps running after the one frame it was asked for: wait for the picture's last
    # chunk instead. Its first try fails now and then while PipeWire links the stream.
    for _ in range(3):
        if os.path.exists(picture):
            os.remove(picture)
        grabber = subprocess.Popen(["gst-launch-1.0", "-q", "pipewiresrc", f"path={node}",
                                    "num-buffers=1", "!", "videoconvert", "!", "pngenc", "!",
                                    "filesink", f"location={picture}"])
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline and grabber.poll() is None:
            if os.path.exists(picture) and open(picture, "rb").read()[-8:-4] == b"IEND":
                break
            time.sleep(0.05)
        grabber.kill()
        grabber.wait()
        if os.path.exists(picture) and open(picture, "rb").read()[-8:-4] == b"IEND":
            return
        time.sleep(0.2)
    raise RuntimeError(f"no picture in {picture}")


def shot(prefix):
    cast = "org.gnome.Mutter.ScreenCast"
    casting = call(cast, "/org/gnome/Mutter/ScreenCast", "", "CreateSession",
                   GLib.Variant("(a{sv})", ({},)))[0]
    streams = {}
    for monitor in ("Meta-0", "Meta-1"):
        stream = call(cast, casting, ".Session", "RecordMonitor",
                      GLib.Variant("(sa{sv})", (monitor, {"cursor-mode": GLib.Variant("u", 0)})))
        streams[stream[0]] = monitor
    nodes = {}
    loop = GLib.MainLoop()

    def added(_bus, _sender, path, _interface, _signal, parameters):
        nodes[streams[path]] = parameters.unpack()[0]
        if len(nodes) == len(streams):
            loop.quit()

    watch = bus.signal_subscribe(cast, cast + ".Stream", "PipeWireStreamAdded", None, None, 0,
                                 added)
    call(cast, casting, ".Session", "Start")
    timeout = GLib.timeout_add(5000, loop.quit)
    loop.run()
    if len(nodes) == len(streams):
        GLib.source_remove(timeout)
    bus.signal_unsubscribe(watch)
    try:
        if len(nodes) != len(streams):
            raise RuntimeError("no screen cast stream (is PipeWire running?)")
        for monitor, node in nodes.items():
            grab(node, f"{prefix}-{monitor}.png")
    finally:
        call(cast, casting, ".Session", "Stop")


for line in sys.stdin:
    command, _, argument = line.rstrip("\n").partition(" ")
    try:
        if command == "type":
            for character in argument:
                press(ord(character), True)
                press(ord(character), False)
        elif command == "key":
            keys = [NAMES.get(name) or ord(name) for name in argument.split("+")]
            for keysym in keys:
                press(keysym, True)
            for keysym in reversed(keys):
                press(keysym, False)
        elif command == "click":
            # Absolute motion needs a screen cast stream; relative motion from a corner does not.
            x, y = (float(value) for value in argument.split())
            notify("PointerMotionRelative", "(dd)", -100000.0, -100000.0)
            notify("PointerMotionRelative", "(dd)", x, y)
            for down in (True, False):
                notify("PointerButton", "(ib)", 0x110, down)  # BTN_LEFT
        elif command == "sleep":
            time.sleep(float(argument))
        elif command == "shot":
            shot(argument)
        else:
            raise RuntimeError(f"unknown command {command}")
        print("ok", flush=True)
    except (GLib.Error, RuntimeError, ValueError, TypeError) as error:
        print(f"error: {error}", flush=True)
