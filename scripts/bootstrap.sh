#!/usr/bin/env bash
# Installs, with apt-get, exactly the Debian packages ZARK needs that are not installed yet.
# Does nothing when everything is there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-multimedia-dev qt6-svg-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth poppler-utils espeak-ng fonts-liberation2
  locales
  libqt6sql6-sqlite qt6-charts-dev libqt6opengl6-dev libxkbcommon-dev
  pulseaudio pulseaudio-utils sox
  desktop-file-utils libxml2-utils shared-mime-info
  qt6-qpa-plugins dpkg-dev file lintian appstream man-db
  mosquitto mosquitto-clients libmosquitto-dev openssl
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
