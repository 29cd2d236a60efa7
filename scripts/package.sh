#!/usr/bin/env bash
# Makes the Debian package zark_<version>_<arch>.deb in the current folder of the repository from a
# Release build in ./build-release (or $ZARK_PACKAGE_BUILD_DIR), without tests and benchmarks.
# Install it with: sudo apt-get install ./zark_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh
build=${ZARK_PACKAGE_BUILD_DIR:-build-release}
# Debian's hardening flags (stack protector, fortified functions, read-only relocations, bind now),
# as dpkg-buildflags gives them to every package of the distribution.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZARK_TESTS=OFF -DZARK_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$build" -j "$(nproc)"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$build/package"
cp "$build"/package/zark_*.deb .
ls -1 zark_*.deb
