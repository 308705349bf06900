#!/usr/bin/env bash
# Sets up, builds and runs every test of Harvexa.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup-debian.sh
build_dir=${BUILD_DIR:-build}
BUILD_DIR=$build_dir tools/build.sh "$@"
cd "$build_dir"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" --timeout 600
