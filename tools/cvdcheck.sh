#!/usr/bin/env bash
# Shows a picture as a person with deuteranopia (or protanopia) sees it, to check the colours of
# the trace by phase: tools/cvdcheck.sh SCREENSHOT.png OUT.png [protan]
# The simulation is Machado, Oliveira and Fernandes (2009) at full severity, applied in linear RGB
# with ImageMagick's colour matrix.
set -euo pipefail
in=$1
out=$2
if [[ ${3:-deutan} == protan ]]; then
  matrix="0.152286 1.052583 -0.204868  0.114503 0.786281 0.099216  -0.003882 -0.048116 1.051998"
else
  matrix="0.367322 0.860646 -0.227968  0.280085 0.672501 0.047413  -0.011820 0.042940 0.968881"
fi
convert "$in" -colorspace RGB -color-matrix "$matrix" -colorspace sRGB "$out"
