#!/usr/bin/python3
# Prints the centre "X Y" (root coordinates) of the first showing element named NAME in the
# accessible tree of the application with process id PID; exits 1 when there is none.
# With --description, prints the element's description (a button's tooltip) instead; with
# --press, presses it through its first action (where its place on the screen is not known:
# Wayland tells a window nothing of where it is). With --role ROLE, only an element of that
# role ("check box", "push button") counts, and a visible one is taken for shown.
#   atspi_point.py PID NAME [--role ROLE] [--description | --press]
import sys

import pyatspi


def find(node, name, role=None, depth=0):
    if node is None or depth > 40:
        return None
    try:
        # GTK 4 marks what it shows only "visible", never "showing".
        shown = pyatspi.STATE_SHOWING if role is None else pyatspi.STATE_VISIBLE
        if (node.name == name and node.getState().contains(shown) and
                (role is None or node.getRoleName() == role)):
            return node
        for i in range(node.childCount):
            found = find(node.getChildAtIndex(i), name, role, depth + 1)
            if found is not None:
                return found
    except Exception:
        return None
    return None


def main():
    pid, name = int(sys.argv[1]), sys.argv[2]
    options = sys.argv[3:]
    role = None
    if options[:1] == ["--role"]:
        role, options = options[1], options[2:]
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        try:
            if app is None or app.get_process_id() != pid:
                continue
        except Exception:
            continue
        node = find(app, name, role)
        if node is None:
            continue
        if options == ["--description"]:
            print(node.description)
            return 0
        if options == ["--press"]:
            return 0 if node.queryAction().doAction(0) else 1
        x, y, w, h = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        print(x + w // 2, y + h // 2)
        return 0
    return 1


sys.exit(main())
