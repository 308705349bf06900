#!/usr/bin/env bash
# Sets up, builds and starts Harvexa's desktop program.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup-debian.sh
tools/build.sh
build_dir=${BUILD_DIR:-build}
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "No display found: starting the desktop program off-screen and closing it once it is up."
    QT_QPA_PLATFORM=offscreen exec "$build_dir/bin/harvexa" --exit-after-start
fi
exec "$build_dir/bin/harvexa" "$@"
