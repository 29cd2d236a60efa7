#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh
bash scripts/build.sh
ctest --test-dir "${ZARK_BUILD_DIR:-build}" --output-on-failure -j "$(nproc)"
