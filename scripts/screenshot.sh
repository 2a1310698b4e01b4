#!/usr/bin/env bash
# Photographs Tradevane's windows under a virtual display (Xvfb), from a scratch program folder
# made by `cmake --install`, so the pictures can be remade whenever a window changes.
#   scripts/screenshot.sh          the main window during a running day (the quote service's
#                                  simulated market, the demo stocks, a Monday at 10:00 under
#                                  libfaketime), into docs/main-window.png, and the first
#                                  stock's chart into docs/chart.png (for the README and Help)
#   scripts/screenshot.sh DIR      main, start-up, terms, log, help (every page) and about
#                                  windows, into DIR
# Needs a build (scripts/build.sh), xvfb-run, ImageMagick, xdotool, dbus, faketime and
# python3-pyatspi.
set -euo pipefail
cd "$(dirname "$0")/.."
[[ -x build/tradevane ]] || scripts/build.sh

if [[ "${1:-}" == --inside ]]; then
    # Runs inside xvfb-run and a D-Bus session; $2 the program folder, $3 the output folder.
    folder=$2 out=$3 all=$4 port=$5
    export QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    shoot() { # window name pattern, file
        local id
        id=$(timeout 20 xdotool search --sync --onlyvisible --name "$1" | head -1)
        sleep 0.7
        import -window "$id" "$2"
    }
    press() { # accessible role, name
        /usr/bin/python3 - "$1" "$2" <<'PY'
import sys, time
import pyatspi
role, name = sys.argv[1], sys.argv[2]
for _ in range(250):
    apps = [a for a in pyatspi.Registry.getDesktop(0) if a and a.name == "tradevane"]
    node = apps and pyatspi.findDescendant(apps[0], lambda a: a.getRoleName() == role and a.name == name)
    if node and node.queryAction().nActions:  # a disabled button offers no action yet
        try:
            node.queryAction().doAction(0)
        except Exception:
            pass  # the press closed the window before it answered
        sys.exit(0)
    time.sleep(0.2)
sys.exit(f"no {role} named {name}")
PY
    }
    if [[ $all == yes ]]; then
        # First run: the terms window comes first, then the splash, then the main window.
        rm -f "$folder/frs.dat"
        "$folder/tradevane" &
        pid=$!
        id=$(timeout 20 xdotool search --sync --onlyvisible --class tradevane | head -1)
        sleep 1
        import -window "$id" "$out/terms.png"
        press "radio button" "I accept the agreement"
        sleep 0.3
        press "push button" "Proceed"
        shoot '^Tradevane$' "$out/splash.png"
        shoot '^Tradevane Version 1.6$' "$out/main-window.png"
        # A local web server stands in for the quote server, so that Start finds a connection.
        /usr/bin/python3 -m http.server --bind 127.0.0.1 "$port" >/dev/null 2>&1 &
        web=$!
        sleep 0.5
        press "push button" "START"
        sleep 1
        shoot '^Tradevane Version 1.6$' "$out/main-running.png"
        press "push button" "Log File"
        shoot '^Activity Log$' "$out/log.png"
        # Help stays usable while monitoring runs: every page of the manual.
        press "push button" "Help"
        press "push button" "Help contents"
        shoot '^Tradevane Help$' "$out/help-contents.png"
        for page in 1 2 3 4 5 6 7; do
            press "push button" "Help page $page"
            shoot '^Tradevane Help$' "$out/help-page$page.png"
        done
        press "push button" "Close Help"
        press "push button" "STOP"
        # The about window has no caption: it is the program's newest visible window.
        press "push button" "About"
        sleep 1
        id=$(xdotool search --onlyvisible --class tradevane | tail -1)
        import -window "$id" "$out/about.png"
        press "push button" "Ok"
    else
        # A running day: the service and the program on the same faked clock, START just before
        # the 10:00 start time, the picture once the quotes are in and an alert has coloured a row.
        faketime -f '@2026-12-07 09:59:50' "$folder/tradevane-quoted" --listen "127.0.0.1:$port" >/dev/null 2>&1 &
        web=$!
        faketime -f '@2026-12-07 09:59:50' "$folder/tradevane" &
        pid=$!
        press "push button" "START"
        /usr/bin/python3 - <<'PY'
import sys, time
import pyatspi
for _ in range(240):
    apps = [a for a in pyatspi.Registry.getDesktop(0) if a and a.name == "tradevane"]
    if apps:
        symbols = pyatspi.findAllDescendants(apps[0], lambda a: a.name.startswith("Symbol of stock"))
        status = pyatspi.findDescendant(apps[0], lambda a: a.name == "Status")
        if any(s.description.endswith(", alert") for s in symbols) and status and status.description:
            sys.exit(0)
    time.sleep(0.25)
sys.exit("no alert coloured a row within a minute")
PY
        # The notice window goes, the main window comes to the front.
        xdotool search --onlyvisible --name '^Alert' windowunmap 2>/dev/null || true
        shoot '^Tradevane Version 1.6$' "$out/main-window.png"
        # The first stock's chart: a double click on its row.
        read -r x y < <(/usr/bin/python3 - <<'PY'
import pyatspi
app = [a for a in pyatspi.Registry.getDesktop(0) if a and a.name == "tradevane"][0]
cell = pyatspi.findDescendant(app, lambda a: a.name == "Price of stock 1")
box = cell.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
print(box.x + box.width // 2, box.y + box.height // 2)
PY
        )
        xdotool mousemove "$x" "$y" click --repeat 2 --delay 80 1
        shoot '^Chart - ABC$' "$out/chart.png"
    fi
    kill "$pid" ${web:-}
    wait "$pid" 2>/dev/null || true
    exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install build --prefix "$work/program" --component portable >/dev/null
# Licence accepted, three stocks watched, and a few lines in the activity log.
printf '\1' >"$work/program/frs.dat"
port=$((20000 + RANDOM % 20000))
printf '[servers]\nQuoteServer=http://127.0.0.1:%s\nHistoryServer=http://127.0.0.1:%s\n' "$port" "$port" \
    >"$work/program/servers.ini"
printf 'Waiting for Start time of 9:30\r\n12/7/2026 9:30:00 AM Processing started. \r\nProcess stopped by user\r\n*******************************************\r\n' \
    >"$work/program/activlog.dat"
/usr/bin/python3 - "$work/program" <<'PY'
import struct, sys
for n, symbol in enumerate(["IBM", "MSFT", "KO"], start=1):
    record = struct.pack("<hB7s", -1, 0, symbol.ljust(7).encode("latin-1")) + bytes(52)
    open(f"{sys.argv[1]}/Aset{n}.dat", "wb").write(record)
PY
if [[ $# -eq 0 ]]; then
    # The running day watches the demo stocks, 10:00 to 16:00, a quote set every minute.
    rm -f "$work/program"/Aset*.dat
    build/tradevane-demo-stocks "$work/program" >/dev/null
    printf '\x0a\0\0\0\x0a\0\0\0\x10\0\0\0\x01\0' >"$work/program/timeset.dat"
fi
if [[ $# -ge 1 ]]; then
    mkdir -p "$1"
    out=$(cd "$1" && pwd)
    all=yes
else
    out=$work
    all=no
fi
xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- \
    bash ${TRACE:+-x} "$0" --inside "$work/program" "$out" "$all" "$port"
if [[ $all == no ]]; then
    mkdir -p docs
    convert "$out/main-window.png" -strip docs/main-window.png
    convert "$out/chart.png" -strip docs/chart.png
    echo "docs/main-window.png docs/chart.png"
else
    ls "$out"/*.png
fi
