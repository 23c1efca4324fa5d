#!/usr/bin/python3
# Prints the centre "X Y" (root coordinates) of the first showing element named NAME in the
# accessible tree of the application with process id PID; exits 1 when there is none.
# With --description, prints the element's description (a button's tooltip) instead; with
# --press, presses it through its first action (where its place on the screen is not known:
# Wayland tells a window nothing of where it is).
#   atspi_point.py PID NAME [--description | --press]
import sys

import pyatspi


def find(node, name, depth=0):
    if node is None or depth > 40:
        return None
    try:
        if node.name == name and node.getState().contains(pyatspi.STATE_SHOWING):
            return node
        for i in range(node.childCount):
            found = find(node.getChildAtIndex(i), name, depth + 1)
            if found is not None:
                return found
    except Exception:
        return None
    return None


def main():
    pid, name = int(sys.argv[1]), sys.argv[2]
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        try:
            if app is None or app.get_process_id() != pid:
                continue
        except Exception:
            continue
        node = find(app, name)
        if node is None:
            continue
        if sys.argv[3:] == ["--description"]:
            print(node.description)
            return 0
        if sys.argv[3:] == ["--press"]:
            return 0 if node.queryAction().doAction(0) else 1
        x, y, w, h = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        print(x + w // 2, y + h // 2)
        return 0
    return 1


sys.exit(main())
