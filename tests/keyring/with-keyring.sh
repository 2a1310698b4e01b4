#!/usr/bin/env bash
# Runs a test program against a keyring of its own: a private session bus (dbus-run-session) with
# gnome-keyring's Secret Service, its login keyring created and unlocked in a temporary home, so
# that no test ever touches the user's own keyring. Without the tools the tests are skipped (exit
# 77), except under CI, where that is a failure naming the Debian packages.
set -euo pipefail
missing=()
command -v dbus-run-session >/dev/null || missing+=("dbus-run-session (Debian package dbus-bin)")
command -v gnome-keyring-daemon >/dev/null || missing+=("gnome-keyring-daemon (Debian package gnome-keyring)")
if ((${#missing[@]})); then
    echo "The keyring tests need ${missing[*]}: scripts/install-deps.sh installs them." >&2
    [[ -n "${CI:-}" ]] && exit 1
    exit 77
fi
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -m 700 "$home/run"
export HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" XDG_CACHE_HOME="$home/cache"
export XDG_RUNTIME_DIR="$home/run"
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION GNOME_KEYRING_CONTROL
# The daemon leaves with the bus when the session ends.
exec dbus-run-session -- bash -c '
    printf "test-password" | gnome-keyring-daemon --daemonize --unlock --components=secrets >/dev/null
    exec "$@"' keyring "$@"
