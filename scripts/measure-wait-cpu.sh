#!/usr/bin/env bash
# Measures the processor share of Tradevane while it waits for a start time an hour ahead, beside
# that of a window waiting with a 1 ms poll loop, both over the same 60 seconds.
# Usage: scripts/measure-wait-cpu.sh [SECONDS]   (run from the repository after a build)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=$(pwd)/build
[[ -x $build/tradevane && -x $build/pollloop-window ]] || { echo "build first (scripts/build.sh)"; exit 1; }
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

# A program folder: terms accepted, a start time an hour ahead, a server for the connection check.
cp "$build"/tradevane "$build"/tradevane.portable "$build"/*.bmp "$work"/
cp "$build"/*.doc "$work"/ 2>/dev/null || true
/usr/bin/python3 - "$work" <<'PY'
import datetime, socket, struct, sys
folder = sys.argv[1]
start = datetime.datetime.now() + datetime.timedelta(hours=1)
stop = start + datetime.timedelta(hours=1)
with open(f"{folder}/timeset.dat", "wb") as f:
    f.write(struct.pack("<7h", start.hour, start.minute, start.hour, start.minute, stop.hour, stop.minute, 5))
with open(f"{folder}/frs.dat", "wb") as f:
    f.write(b"\x01")
s = socket.socket(); s.bind(("127.0.0.1", 0)); port = s.getsockname()[1]; s.close()
with open(f"{folder}/servers.ini", "w") as f:
    f.write(f"[servers]\nQuoteServer=http://127.0.0.1:{port}\nHistoryServer=http://127.0.0.1:{port}\n")
with open(f"{folder}/port", "w") as f:
    f.write(str(port))
PY
port=$(cat "$work/port")
/usr/bin/python3 -m http.server "$port" --bind 127.0.0.1 --directory "$work" >/dev/null 2>&1 &

cat > "$work/run.sh" <<SH
#!/usr/bin/env bash
set -euo pipefail
cpu() { awk '{print \$14 + \$15}' /proc/\$1/stat; }
"$work/tradevane" & app=\$!
/usr/bin/python3 "$(pwd)/scripts/press-button.py" START 30
sleep 2
"$build/pollloop-window" $((seconds + 5)) & poll=\$!
sleep 1
a0=\$(cpu \$app); p0=\$(cpu \$poll); t0=\$(date +%s.%N)
sleep $seconds
a1=\$(cpu \$app); p1=\$(cpu \$poll); t1=\$(date +%s.%N)
tick=\$(getconf CLK_TCK)
awk -v a=\$((a1 - a0)) -v p=\$((p1 - p0)) -v t0=\$t0 -v t1=\$t1 -v hz=\$tick 'BEGIN {
    wall = t1 - t0
    printf "waiting for the start time: %.2f%% of one core\n", 100 * a / hz / wall
    printf "1 ms poll loop:             %.2f%% of one core\n", 100 * p / hz / wall
    printf "(over %.1f s)\n", wall }'
kill \$app \$poll 2>/dev/null || true
SH
chmod +x "$work/run.sh"
QT_QPA_PLATFORM=xcb QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- "$work/run.sh"
