#!/usr/bin/python3
"""Prints the accessibility (AT-SPI) tree of a running program as a screen
reader reads it: one line per object with its role, its name, the states a
reader speaks and its actions; then how many objects there are, how many have
a name, and how many of each role.

The program must run with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 on the same
session bus (tools/a11ytree.sh sets up both). Web documents inside the panes
are left out unless --web is given: their content is the pages', not ours.

Usage: a11ytree.py [--app NAME] [--wait SECONDS] [--web] [--press NAME]...
  --app    the application's name on the bus (default: Kavo游戏盒)
  --wait   how long to wait for its window to appear (default: 60)
  --press  runs the first action of the first object of this name and prints
           the tree again (once per --press, in order)
"""

import argparse
import collections
import sys
import time

import pyatspi

SPOKEN_STATES = {
    pyatspi.STATE_CHECKABLE: "checkable",
    pyatspi.STATE_CHECKED: "checked",
    pyatspi.STATE_SELECTED: "selected",
    pyatspi.STATE_PRESSED: "pressed",
    pyatspi.STATE_FOCUSABLE: "focusable",
}
WEB_ROLES = {"document web", "document frame"}


def find_app(name, wait):
    deadline = time.monotonic() + wait
    while True:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == name and any(w is not None and w.childCount > 0 for w in app):
                return app
        if time.monotonic() > deadline:
            names = [a.name for a in desktop if a is not None]
            print("applications on the bus: %s" % names, file=sys.stderr)
            return None
        time.sleep(0.5)


def describe(node):
    states = node.getState()
    words = [word for state, word in SPOKEN_STATES.items() if states.contains(state)]
    if not states.contains(pyatspi.STATE_ENABLED):
        words.append("disabled")
    if not states.contains(pyatspi.STATE_SHOWING):
        words.append("hidden")
    try:
        action = node.queryAction()
        actions = [action.getName(i) for i in range(action.nActions)]
    except NotImplementedError:
        actions = []
    line = node.getRoleName()
    if node.name:
        line += ' "%s"' % node.name.replace("\r", "\\r").replace("\n", "\\n")
    if words:
        line += " [" + ", ".join(words) + "]"
    if actions:
        line += " {" + ", ".join(actions) + "}"
    return line


def walk(node, depth, web, out, stats):
    if node is None:
        return
    role = node.getRoleName()
    stats["objects"] += 1
    stats["named"] += 1 if node.name else 0
    stats["roles"][role] += 1
    out.append("  " * depth + describe(node))
    if role in WEB_ROLES and not web:
        return
    for child in node:
        walk(child, depth + 1, web, out, stats)


def dump(app, web):
    out = []
    stats = {"objects": 0, "named": 0, "roles": collections.Counter()}
    walk(app, 0, web, out, stats)
    print("\n".join(out))
    roles = ", ".join("%s %d" % (role, n) for role, n in sorted(stats["roles"].items()))
    print("-- %d objects, %d with a name; %s" % (stats["objects"], stats["named"], roles))


def find_named(node, name):
    if node is None:
        return None
    if node.name == name:
        return node
    if node.getRoleName() in WEB_ROLES:
        return None
    for child in node:
        found = find_named(child, name)
        if found is not None:
            return found
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--app", default="Kavo游戏盒")
    parser.add_argument("--wait", type=float, default=60)
    parser.add_argument("--web", action="store_true")
    parser.add_argument("--press", action="append", default=[])
    args = parser.parse_args()

    app = find_app(args.app, args.wait)
    if app is None:
        print("no application %r with a window on the accessibility bus" % args.app, file=sys.stderr)
        return 1
    dump(app, args.web)
    for name in args.press:
        node = find_named(app, name)
        if node is None:
            print("-- nothing named %r" % name)
            continue
        node.queryAction().doAction(0)
        time.sleep(1)
        print("-- after pressing %r:" % name)
        dump(app, args.web)
    return 0


if __name__ == "__main__":
    sys.exit(main())
