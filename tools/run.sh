#!/usr/bin/env bash
# Sets up, builds and runs the demo harvest: the bundled demo site is served on loopback and crawled.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup-debian.sh
tools/build.sh
build_dir=${BUILD_DIR:-build}
exec "$build_dir/bin/harvexa-cli" demo "$@"
