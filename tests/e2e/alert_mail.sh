#!/usr/bin/env bash
# End to end: the real tradevane from a prepared program folder, its clock set by libfaketime to
# a Monday just before its 10:00 start time, START pressed through the accessibility tree, and the
# alert mail checked at a real mail server. The desktop has a system tray (trayer) and a
# notification daemon (dunst): the tray icon must appear and the alert must raise a notification.
# The values of the quote set are read back through the accessibility tree. A missing tool fails
# the test and names its package.
set -euo pipefail
program_dir=$1
source_dir=$2
source "$source_dir/tests/e2e/common.sh"
require_tools xvfb-run:xvfb dbus-run-session:dbus faketime:faketime trayer:trayer dunst:dunst \
    dbus-monitor:dbus-bin xwininfo:x11-utils xdotool:xdotool
make_work_folder
copy_program "$work/program"
start_test_servers "$work/program"

cat >"$work/session.sh" <<SH
#!/usr/bin/env bash
set -u
# The desktop: a tray, a notification daemon, and a record of the notifications sent to it.
trayer --edge top --align right --widthtype request --height 32 --SetDockType false >"$work/trayer.out" 2>&1 &
dunst >"$work/dunst.out" 2>&1 &
dbus-monitor --session "interface='org.freedesktop.Notifications',member='Notify'" >"$work/notify.out" 2>&1 &
for i in \$(seq 50); do
    xdotool search --classname trayer >/dev/null 2>&1 && break
    sleep 0.1
done
# Monday 7 December 2026, 09:59:00, ten times as fast: the start time comes after ~6 s.
faketime -f '@2026-12-07 09:59:00 x10' "$work/program/tradevane" >"$work/program.out" 2>&1 &
/usr/bin/python3 "$source_dir/scripts/press-button.py" START 40 || exit 2
mailed=0
for i in \$(seq 120); do
    ls "$work/mail"/*.eml >/dev/null 2>&1 && { mailed=1; break; }
    sleep 0.5
done
((mailed)) || exit 3
/usr/bin/python3 "$source_dir/tests/e2e/read_values.py" "Price of stock 1=12.50" "Change of stock 2=N/A" \
    "Open of stock 2=N/A" "Price of stock 3=?" "Status=*" "Running light=on" "Stopped light=off" \
    >"$work/values.out" 2>&1 || exit 4
# The tray holds the program's icon: a window of class tradevane embedded in trayer's panel.
panel=\$(xdotool search --classname '^panel\$' | head -1)
[[ -n \$panel ]] || exit 5
xwininfo -tree -id "\$panel" >"$work/tray.out" 2>&1
grep -q '("tradevane" ' "$work/tray.out" || exit 5
for i in \$(seq 20); do
    grep -q "Tradevane alert" "$work/notify.out" && exit 0
    sleep 0.5
done
exit 6
SH
chmod +x "$work/session.sh"
status=0
QT_QPA_PLATFORM=xcb QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- "$work/session.sh" || status=$?
if ((status != 0)); then
    echo "failed (status $status): START not found (2), no mail within 60 s (3), values not read (4),"
    echo "no tray icon (5) or no desktop notification (6)"
    for f in values tray notify trayer dunst; do echo "--- $f"; cat "$work/$f.out" 2>/dev/null || true; done
    echo "--- activity log"; cat "$work/program/activlog.dat" 2>/dev/null || true
    echo "--- program output"; cat "$work/program.out" 2>/dev/null || true
    exit 1
fi
mail=$(ls "$work/mail"/*.eml | head -1)
expected='ABC    : Price climbed above $12.00'
if ! grep -qF "$expected" "$mail" || ! grep -qF 'ABC    : Volume is 20% > average of the last 20 days.' "$mail"; then
    echo "the alert mail lacks the expected lines:"; cat "$mail"
    exit 1
fi
grep -q '^Subject: Tradevane alert' "$mail" || { echo "subject missing"; cat "$mail"; exit 1; }
echo "values read through the accessibility tree:"
cat "$work/values.out"
echo "notification sent:"
grep -A2 'string "Tradevane alert"' "$work/notify.out" | head -3
echo "alert mail received:"
sed -n '/^MESSAGE FROM/,$p' "$mail"
