#!/usr/bin/python3
"""For tests only: finds a control of the running program through the accessibility tree.

The Xvfb tests drive the real window with the pointer and keyboard (xdotool); this tool tells
them where a control is, found by its role, its name (the text it shows or, for an icon-only
button, its hint) or its description, so no test depends on pixel positions that move with
fonts. It reads the session bus named by DBUS_SESSION_BUS_ADDRESS.

  atspi_find.py locate  [filters]   prints "x y width height" of the first match on the screen
  atspi_find.py text    [filters]   prints the first match's text (or its name)
  atspi_find.py count   [filters]   prints how many controls match
  atspi_find.py states  [filters]   prints the first match's states ("selected checked ...")
  atspi_find.py dump    [--window RE]  prints the tree, one control a line (to write a test)

Filters: --app RE (the application's name, default "zantrope"), --window RE (the name of the
top-level window the control is in), --role NAME (the role's name, e.g. "push button",
"page tab", "menu item", "table cell", "text"), --name RE, --description RE, --showing (only
controls shown on the screen), --index N (the N-th match, from 0). Regular expressions match
the whole text; --name matches a control's name or its text, and its description where it has
no name (an icon-only button's hint). Exit status 1 when nothing matches.
"""
import argparse
import re
import sys

import pyatspi


def text_of(node):
    """The text a control shows: its text interface where it has one, else its name."""
    try:
        text = node.queryText()
        return text.getText(0, text.characterCount)
    except (NotImplementedError, AttributeError, Exception):
        return node.name or ""


def walk(node, depth=0, limit=60, shown_only=False):
    """Every control below `node`, depth first, with its depth. With `shown_only` the controls
    inside one that is not shown are passed over: a hidden page's whole subtree costs one
    question to the program instead of one per control, which keeps look-ups quick on a loaded
    machine."""
    yield node, depth
    if depth >= limit or (shown_only and depth > 0 and not showing(node)):
        return
    try:
        count = node.childCount
    except Exception:
        return
    # Very large lists expose every row; the tests never need past the first few thousand.
    for i in range(min(count, 5000)):
        try:
            child = node.getChildAtIndex(i)
        except Exception:
            continue
        if child is not None:
            yield from walk(child, depth + 1, limit, shown_only)


def full(pattern, value):
    return pattern is None or re.fullmatch(pattern, value or "", re.S) is not None


def showing(node):
    try:
        return node.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:
        return False


def windows(args):
    """The top-level windows of the matching applications, as --app and --window name them."""
    desktop = pyatspi.Registry.getDesktop(0)
    for a in range(desktop.childCount):
        app = desktop.getChildAtIndex(a)
        if app is None or not full(args.app, app.name):
            continue
        for w in range(app.childCount):
            window = app.getChildAtIndex(w)
            if window is not None and full(args.window, window.name):
                yield window


def matches(args):
    for window in windows(args):
        for node, _ in walk(window, shown_only=args.showing):
            if args.role is not None and node.getRoleName() != args.role:
                continue
            if args.name is not None and not (
                full(args.name, node.name)
                or full(args.name, text_of(node))
                or (not node.name and full(args.name, node.description))
            ):
                continue
            if not full(args.description, node.description):
                continue
            if args.showing and not showing(node):
                continue
            yield node


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("verb", choices=["locate", "text", "count", "states", "dump"])
    parser.add_argument("--app", default="(?i)zantrope.*")
    parser.add_argument("--window")
    parser.add_argument("--role")
    parser.add_argument("--name")
    parser.add_argument("--description")
    parser.add_argument("--showing", action="store_true")
    parser.add_argument("--index", type=int, default=0)
    args = parser.parse_args()

    if args.verb == "dump":
        for window in windows(args):
            for node, depth in walk(window):
                print("%s%s | %r | %r | %r" % ("  " * depth, node.getRoleName(), node.name,
                                               node.description, text_of(node)[:60]))
        return 0

    found = list(matches(args))
    if args.verb == "count":
        print(len(found))
        return 0
    if len(found) <= args.index:
        return 1
    node = found[args.index]
    if args.verb == "text":
        print(text_of(node))
        return 0
    if args.verb == "states":
        names = [pyatspi.stateToString(s) for s in node.getState().getStates()]
        print(" ".join(names))
        return 0
    extents = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    if extents.width <= 0 or extents.height <= 0:
        return 1
    print("%d %d %d %d" % (extents.x, extents.y, extents.width, extents.height))
    return 0


if __name__ == "__main__":
    sys.exit(main())
