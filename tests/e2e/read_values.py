#!/usr/bin/python3
"""Reads the values the running Tradevane shows, through the accessibility tree as a screen reader
does: each value is the description of the control its accessible name names.

Usage: read_values.py NAME=EXPECTED ... [--timeout SECONDS]
EXPECTED "*" accepts any non-empty value. Waits until every value is as expected; prints what it
read and exits 1 when they are not within the time-out.
"""
import sys
import time

import pyatspi


def find_app():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "tradevane":
            return app
    return None


def read(app, names):
    found = {}

    def visit(node, depth=0):
        if node is None or depth > 30:
            return
        if node.name in names and node.name not in found:
            found[node.name] = node.description
        for child in node:
            visit(child, depth + 1)

    visit(app)
    return found


def main():
    args = sys.argv[1:]
    timeout = 30.0
    if "--timeout" in args:
        i = args.index("--timeout")
        timeout = float(args[i + 1])
        del args[i:i + 2]
    expected = dict(arg.split("=", 1) for arg in args)
    deadline = time.time() + timeout
    found = {}
    while time.time() < deadline:
        app = find_app()
        if app is not None:
            found = read(app, set(expected))
            if all(name in found and (found[name] == value or (value == "*" and found[name]))
                   for name, value in expected.items()):
                for name in expected:
                    print(f"{name}: {found[name]!r}")
                return 0
        time.sleep(0.5)
    for name, value in expected.items():
        print(f"{name}: read {found.get(name)!r}, expected {value!r}", file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main())
