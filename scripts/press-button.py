#!/usr/bin/python3
"""Presses a button of the running Tradevane through the accessibility tree.

Usage: press-button.py NAME [TIMEOUT_SECONDS]
Waits until the program shows a push button with that accessible name, then presses it.
"""
import sys
import time

import pyatspi


def find_app():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name == "tradevane":
            return app
    return None


def press(name, timeout):
    deadline = time.time() + timeout
    while time.time() < deadline:
        app = find_app()
        if app is not None:
            button = pyatspi.findDescendant(
                app, lambda a: a is not None and a.getRoleName() == "push button" and a.name == name)
            if button is not None and button.getState().contains(pyatspi.STATE_ENABLED):
                action = button.queryAction()
                for i in range(action.nActions):
                    if action.getName(i) == "Press":
                        action.doAction(i)
                        return True
        time.sleep(0.5)
    return False


if __name__ == "__main__":
    ok = press(sys.argv[1], float(sys.argv[2]) if len(sys.argv) > 2 else 30)
    if not ok:
        print(f"no enabled button named {sys.argv[1]!r} found", file=sys.stderr)
    sys.exit(0 if ok else 1)
