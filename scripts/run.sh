#!/usr/bin/env bash
# Installs what is missing, builds, and starts the player from its program folder.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/setup.sh"
build=${VELTRIX_BUILD_DIR:-"$root/build"}
exec "$build/veltrix" "$@"
