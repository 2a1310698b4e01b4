#!/usr/bin/env bash
# Installed as a Linux desktop program and as a Debian package: the files in their XDG places, and
# the installed program, started from elsewhere, keeps its data in the user's data folder and
# reads its resources from share/tradevane. A portable install keeps its data beside itself.
set -euo pipefail
build_dir=$1
source_dir=$2
source "$source_dir/tests/e2e/common.sh"
require_tools cpack:cmake dpkg-deb:dpkg dpkg-shlibdeps:dpkg-dev desktop-file-validate:desktop-file-utils
unset DISPLAY WAYLAND_DISPLAY XDG_DATA_HOME
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

# A quote server address where nothing listens: the program gets as far as its connection check.
closed_port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
servers="[servers]
QuoteServer=http://127.0.0.1:$closed_port
HistoryServer=http://127.0.0.1:$closed_port"

# Runs PROGRAM --headless --accept-licence with HOME=$work/home from $work; gives its status.
run_installed() {
    local status=0
    (cd "$work" && HOME="$work/home" "$1" --headless --accept-licence "${@:2}" >"$work/out" 2>"$work/err") || status=$?
    echo "$status"
}

prefix="$work/usr/local"
cmake --install "$build_dir" --prefix "$prefix" >/dev/null
for f in bin/tradevane bin/tradevane-headless bin/tradevane-quoted share/tradevane/licence.doc share/tradevane/s-grn-on.bmp \
    share/tradevane/siren.wav share/tradevane/hlpCont.doc share/applications/tradevane.desktop \
    share/icons/hicolor/scalable/apps/tradevane.svg share/icons/hicolor/48x48/apps/tradevane.png \
    share/icons/hicolor/256x256/apps/tradevane.png lib/systemd/user/tradevane.service; do
    [[ -e $prefix/$f ]] || fail "$f was not installed"
done
[[ ! -e $prefix/bin/tradevane.portable ]] || fail "an installed program must not be marked portable"
desktop-file-validate "$prefix/share/applications/tradevane.desktop" || fail "the desktop entry is not valid"
grep -qx "ExecStart=$prefix/bin/tradevane-headless" "$prefix/lib/systemd/user/tradevane.service" \
    || fail "the service does not start the installed program: $(grep ExecStart "$prefix/lib/systemd/user/tradevane.service")"

data="$work/home/.local/share/tradevane"
mkdir -p "$data"
printf '%s\n' "$servers" >"$data/servers.ini"
status=$(run_installed "$prefix/bin/tradevane-headless")
((status == 2)) || fail "installed program: status $status, not 2 (no connection): $(cat "$work/err")"
grep -q "Tradevane Freeware Licence" "$work/out" || fail "the installed program did not find its licence text"
grep -q "data folder $data" "$work/out" || fail "the installed program used another data folder: $(cat "$work/out")"
for f in frs.dat Aset1.dat timeset.dat mailset.dat; do
    [[ -e $data/$f ]] || fail "$f is not in the data folder"
done
[[ -z $(ls "$prefix/bin" | grep -v '^tradevane$\|^tradevane-headless$\|^tradevane-quoted$') ]] || fail "files appeared beside the installed program"

# Portable: everything in one folder.
portable="$work/portable"
cmake --install "$build_dir" --prefix "$portable" --component portable >/dev/null
[[ -e $portable/tradevane.portable && -e $portable/licence.doc && -x $portable/tradevane-quoted
    && -x $portable/tradevane-headless ]] \
    || fail "the portable folder is incomplete: $(ls "$portable")"
printf '%s\n' "$servers" >"$portable/servers.ini"
status=$(run_installed "$portable/tradevane")
((status == 2)) || fail "portable program: status $status, not 2: $(cat "$work/err")"
[[ -e $portable/frs.dat && -e $portable/Aset1.dat ]] || fail "the portable program kept its settings elsewhere"

# The Debian package.
(cd "$work" && cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$work/package" >"$work/cpack.out" 2>&1) \
    || { cat "$work/cpack.out"; fail "cpack could not build the package"; }
deb=$(ls "$work"/package/tradevane_*.deb 2>/dev/null | head -1)
[[ -n $deb ]] || fail "no package was built: $(ls "$work/package")"
depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 libcurl4 qt6-qpa-plugins libqt6multimedia6; do
    [[ $depends == *"$d"* ]] || fail "the package does not depend on $d: $depends"
done
contents=$(dpkg-deb -c "$deb")
for f in ./usr/bin/tradevane ./usr/bin/tradevane-headless ./usr/bin/tradevane-quoted ./usr/share/tradevane/licence.doc \
    ./usr/share/applications/tradevane.desktop ./usr/share/icons/hicolor/scalable/apps/tradevane.svg \
    ./usr/lib/systemd/user/tradevane.service; do
    grep -q " $f\$" <<<"$contents" || fail "the package lacks $f"
done
dpkg-deb -x "$deb" "$work/root"
grep -qx "ExecStart=/usr/bin/tradevane-headless" "$work/root/usr/lib/systemd/user/tradevane.service" \
    || fail "the packaged service does not start /usr/bin/tradevane-headless"
rm -rf "$data" && mkdir -p "$data" && printf '%s\n' "$servers" >"$data/servers.ini"
status=$(run_installed "$work/root/usr/bin/tradevane")
((status == 2)) || fail "packaged program: status $status, not 2: $(cat "$work/err")"
grep -q "Tradevane Freeware Licence" "$work/out" || fail "the packaged program did not find its licence text"
echo "installed, portable and packaged programs keep their data and find their resources"
