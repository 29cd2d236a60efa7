#!/usr/bin/env bash
# Installs, with apt-get, exactly the Debian packages ZARK needs that are not installed yet.
# Does nothing when everything is there. Installs the live page's npm packages into range/node_modules.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-multimedia-dev qt6-svg-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth poppler-utils espeak-ng fonts-liberation2
  locales
  libqt6sql6-sqlite libsqlite3-dev qt6-charts-dev libqt6opengl6-dev libxkbcommon-dev
  pulseaudio pulseaudio-utils sox
  desktop-file-utils libxml2-utils shared-mime-info
  qt6-qpa-plugins dpkg-dev file lintian appstream man-db
  mosquitto mosquitto-clients libmosquitto-dev openssl
)

# The range's live page and its browser tests: the broker serves the page, Chromium runs it headless.
packages+=(chromium)
# Node and npm from Debian, unless the machine has them from elsewhere.
command -v node >/dev/null || packages+=(nodejs)
command -v npm >/dev/null || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]} > 0)); then
  echo "Installing: ${missing[*]}"
  sudo=()
  if [[ $(id -u) -ne 0 ]]; then
    sudo=(sudo)
  fi
  export DEBIAN_FRONTEND=noninteractive
  # another apt-get (an unattended upgrade) may hold the lock for a while: wait for it
  "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 update -q
  "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -q --no-install-recommends "${missing[@]}"
fi

# The npm packages of the live page (the MQTT client's browser bundle, which the build copies into
# the page) and of its tests, exactly as range/package-lock.json pins them; again only when the
# lock changed since the last install.
range="$(dirname "$0")/../range"
if ! cmp -s "$range/package-lock.json" "$range/node_modules/.zark-lock"; then
  echo "Installing the live page's npm packages"
  (cd "$range" && npm ci --no-audit --no-fund --loglevel=error)
  cp "$range/package-lock.json" "$range/node_modules/.zark-lock"
fi
