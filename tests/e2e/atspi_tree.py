#!/usr/bin/python3
"""Prints, as JSON, the accessible objects of the application named in argv[1] on the accessibility bus
of the session bus in DBUS_SESSION_BUS_ADDRESS: [window, role, name, description, focusable, showing]
each; a web page's own content is not gone into."""

import json
import sys

import pyatspi


def walk(node, window, out, depth=0):
    if node is None or depth > 40:
        return
    role = node.getRoleName()
    states = node.getState()
    out.append([window, role, node.name or "", node.description or "", states.contains(pyatspi.STATE_FOCUSABLE),
                states.contains(pyatspi.STATE_SHOWING)])
    if role in ("document web", "document frame"):
        return
    for i in range(node.childCount):
        walk(node.getChildAtIndex(i), window, out, depth + 1)


def main():
    found = []
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and (app.name or "").lower() == sys.argv[1].lower():
            for i in range(app.childCount):
                window = app.getChildAtIndex(i)
                walk(window, window.name or "", found)
    json.dump(found, sys.stdout)


main()
