#!/usr/bin/env bash
# Makes the five alert sounds in resources/ from scratch with sox and espeak-ng: short, mono,
# 16-bit, 11025 Hz, so they stay small. Without dither (-D) the same tools give the same bytes
# on every run.
set -euo pipefail
cd "$(dirname "$0")/.."
out=resources
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

rate=11025
fmt=(-r "$rate" -b 16 -c 1 -e signed-integer)
tone() { # file seconds synth-arguments...
    local file=$1 secs=$2
    shift 2
    sox -D -n "${fmt[@]}" "$tmp/$file" synth "$secs" "$@"
}

# Siren: a rising and falling sweep, three times. Each linear sweep holds a whole number of
# cycles (0.35 s at 1000 Hz on average), so the joins are free of clicks.
tone up.wav 0.35 sine 650:1350
tone down.wav 0.35 sine 1350:650
sox -D "$tmp/up.wav" "$tmp/down.wav" "$tmp/cycle.wav"
sox -D "$tmp/cycle.wav" "${fmt[@]}" "$out/siren.wav" repeat 2 gain -3 fade t 0.01 0 0.03

# Female voice saying "Stock alert".
espeak-ng -v en-us+f3 -s 140 -w "$tmp/voice.wav" "Stock alert"
sox -D "$tmp/voice.wav" "${fmt[@]}" "$out/voice_alert.wav" norm -2 silence 1 0.01 0.5% reverse silence 1 0.01 0.5% reverse

# Attention: a high-low two-tone call, twice.
tone hi.wav 0.18 sine 988 fade t 0.01 0 0.01
tone lo.wav 0.18 sine 740 fade t 0.01 0 0.01
sox -D "$tmp/hi.wav" "$tmp/lo.wav" "$tmp/hi.wav" "$tmp/lo.wav" "${fmt[@]}" "$out/Attn.wav" gain -3

# Three beeps.
tone beep.wav 0.14 square 1000 fade t 0.005 0 0.005
tone gap.wav 0.1 sine 0 vol 0
sox -D "$tmp/beep.wav" "$tmp/gap.wav" "$tmp/beep.wav" "$tmp/gap.wav" "$tmp/beep.wav" "${fmt[@]}" \
    "$out/Beep3.wav" gain -9

# Chimes: three falling bell notes that ring out.
tone c1.wav 0.45 pluck E5 pluck E6 fade t 0 0 0.3
tone c2.wav 0.45 pluck C5 pluck C6 fade t 0 0 0.3
tone c3.wav 0.8 pluck G4 pluck G5 fade t 0 0 0.7
sox -D "$tmp/c1.wav" "$tmp/c2.wav" "$tmp/c3.wav" "${fmt[@]}" "$out/Chimes.wav" norm -3

for f in siren voice_alert Attn Beep3 Chimes; do
    printf '%-12s %6d bytes %5.2f s\n' "$f.wav" "$(stat -c %s "$out/$f.wav")" "$(soxi -D "$out/$f.wav")"
done
