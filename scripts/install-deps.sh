#!/usr/bin/env bash
# Installs what Tradevane needs to build, run and test on Debian 12 (run as root).
set -euo pipefail
packages=(
    # build, and the checks of the test script (formatting, fuzzers)
    cmake ninja-build g++ ccache clang-format-14 clang-tidy-14 qtkeychain-qt6-dev qt6-base-dev qt6-multimedia-dev qt6-charts-dev libqt6opengl6-dev libcurl4-openssl-dev libgtest-dev
    libbenchmark-dev libcpp-httplib-dev
    # fuzz targets (scripts/fuzz.sh): clang with libFuzzer and the sanitizers
    clang-14 libclang-rt-14-dev
    # run: Qt's platform plugins, a virtual display when none is there; the time zones (the exchange
    # calendar keeps New York time)
    qt6-qpa-plugins xvfb xauth tzdata
    # tests: loopback servers, screenshots, clock travel, sound sink, accessibility
    python3 python3-aiosmtpd procps dpkg-dev desktop-file-utils openssl imagemagick x11-utils xdotool faketime
    pulseaudio pulseaudio-utils sox espeak-ng dbus-x11 dbus-bin at-spi2-core python3-pyatspi trayer dunst
    # tests: a private keyring (the Secret Service) on a private session bus
    dbus gnome-keyring
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
