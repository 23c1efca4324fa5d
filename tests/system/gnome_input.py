#!/usr/bin/python3
# Keys and pointer for the headless GNOME world, which has no input devices, through a
# remote-desktop session of Mutter's (one for all the steps: Mutter ends such a session when its
# caller leaves the bus).
#   gnome_input.py WIDTH HEIGHT STEP...
# STEP: key:KEYSYM (pressed and released; X keysyms: 0xff53 Right, 0xff0d Return, 0xff1b Escape),
# move:X,Y, click:X,Y (left button), drag:X1,Y1,X2,Y2, scroll:X,Y,NOTCHES (positive: down) and
# sleep:SECONDS. Positions are layout points.
# Mutter places a session's pointer absolutely only on a screen cast of the session, so the
# pointer is first pushed into the bottom right corner of the WIDTH × HEIGHT layout (the top left
# one would open the overview) and moved relatively from there.
import sys
import time

from gi.repository import Gio, GLib

LEFT_BUTTON = 0x110  # BTN_LEFT
SHIFT = 0xffe1  # Shift_L
bus = Gio.bus_get_sync(Gio.BusType.SESSION)


def call(path, method, args=None, reply=None, interface="org.gnome.Mutter.RemoteDesktop.Session"):
    return bus.call_sync("org.gnome.Mutter.RemoteDesktop", path, interface, method, args,
                         reply and GLib.VariantType(reply), Gio.DBusCallFlags.NONE, 5000, None)


def main():
    width, height = float(sys.argv[1]), float(sys.argv[2])
    session = call("/org/gnome/Mutter/RemoteDesktop", "CreateSession", reply="(o)",
                   interface="org.gnome.Mutter.RemoteDesktop").unpack()[0]
    call(session, "Start")
    # Mutter makes a session's keyboard with its first key and adds it to the seat on a thread
    # of its own: that key is lost, and so are keys that follow too soon. A Shift makes it.
    if any(step.startswith("key:") for step in sys.argv[3:]):
        for pressed in (True, False):
            call(session, "NotifyKeyboardKeysym", GLib.Variant("(ub)", (SHIFT, pressed)))
        time.sleep(0.3)
    at = None

    def move(x, y):
        nonlocal at
        if at is None:
            call(session, "NotifyPointerMotionRelative", GLib.Variant("(dd)", (40000.0, 40000.0)))
            time.sleep(0.1)
            at = (width - 1, height - 1)
        call(session, "NotifyPointerMotionRelative", GLib.Variant("(dd)", (x - at[0], y - at[1])))
        at = (x, y)
        time.sleep(0.1)

    def button(pressed):
        call(session, "NotifyPointerButton", GLib.Variant("(ib)", (LEFT_BUTTON, pressed)))
        time.sleep(0.05)

    for step in sys.argv[3:]:
        kind, _, value = step.partition(":")
        numbers = [float(v) for v in value.split(",")] if kind != "key" else []
        if kind == "key":
            for pressed in (True, False):
                call(session, "NotifyKeyboardKeysym", GLib.Variant("(ub)", (int(value, 0), pressed)))
        elif kind == "move":
            move(*numbers)
        elif kind == "click":
            move(*numbers)
            button(True)
            button(False)
        elif kind == "drag":
            move(*numbers[:2])
            button(True)
            # In steps, as a hand would, so the view sees the drag begin before it ends.
            for i in range(1, 11):
                move(numbers[0] + (numbers[2] - numbers[0]) * i / 10,
                     numbers[1] + (numbers[3] - numbers[1]) * i / 10)
            button(False)
        elif kind == "scroll":
            move(*numbers[:2])
            notches = int(numbers[2])
            for _ in range(abs(notches)):
                call(session, "NotifyPointerAxisDiscrete",
                     GLib.Variant("(ui)", (0, 1 if notches > 0 else -1)))
                time.sleep(0.05)
        elif kind == "sleep":
            time.sleep(numbers[0])
            continue
        else:
            sys.exit(f"unknown step {step}")
        time.sleep(0.3)
    call(session, "Stop")


main()
