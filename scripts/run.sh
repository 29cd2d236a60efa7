#!/usr/bin/env bash
# Installs what is missing, builds and starts ZARK. Arguments are passed on to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh
bash scripts/build.sh
exec "${ZARK_BUILD_DIR:-build}/src/app/zark" "$@"
