#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. Exits non-zero on any failure.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/setup.sh" "$@"
build=${VELTRIX_BUILD_DIR:-"$root/build"}
cd "$build"
ctest --output-on-failure --timeout 300 -j "$(nproc)"
