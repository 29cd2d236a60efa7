#!/usr/bin/env bash
# Synthesises the program's own sounds with sox, as 22,050 Hz mono 16-bit WAVE files:
#   resources/sound/*.wav   the shot sounds shipped in the program's "Sound" folder
#   resources/audio/exclamation.wav   the alert that goes with the start-up warnings
# Needs sox (scripts/bootstrap.sh). The output is committed; run this again after changing it.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
sounds="$root/resources/sound"
mkdir -p "$sounds" "$root/resources/audio"
# No dither and a fixed seed: the same script gives the same bytes.
fmt=(-D -R -r 22050 -c 1 -b 16 -e signed-integer)

# A full-bore rifle: a sharp crack, then a low boom that dies away.
sox "${fmt[@]}" -n "$sounds/Rifle.wav" synth 0.9 brownnoise synth 0.9 whitenoise mix \
  fade l 0.001 0.9 0.85 lowpass 2500 reverb 40 50 60 gain -n -1
# A pistol: shorter and brighter.
sox "${fmt[@]}" -n "$sounds/Pistol.wav" synth 0.5 whitenoise fade l 0.001 0.5 0.48 \
  lowpass 4000 highpass 120 reverb 30 40 40 gain -n -1
# An air rifle: a soft puff of air and the pellet's tick.
sox "${fmt[@]}" -n "$sounds/Air Rifle.wav" synth 0.25 pinknoise fade l 0.005 0.25 0.23 \
  highpass 800 lowpass 6000 gain -n -6
# A dry-fire click: the striker falling on an empty chamber.
sox "${fmt[@]}" -n "$sounds/Click.wav" synth 0.04 whitenoise fade l 0 0.04 0.039 \
  bandpass 3500 1000h pad 0 0.1 gain -n -3
# The alert: two falling tones.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
sox "${fmt[@]}" -n "$tmp/high.wav" synth 0.18 sine 880 fade h 0.01 0.18 0.05 pad 0 0.02
sox "${fmt[@]}" -n "$tmp/low.wav" synth 0.3 sine 660 fade h 0.01 0.3 0.2
sox -D "$tmp/high.wav" "$tmp/low.wav" "$root/resources/audio/exclamation.wav" gain -n -6
ls -l "$sounds" "$root/resources/audio"
