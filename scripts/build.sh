#!/usr/bin/env bash
# Configures (once) and builds into build/ (or the folder given as KIPSTER_BUILD_DIR). Builds on
# this machine are serialised through a lock so that two never compete for its two cores.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${KIPSTER_BUILD_DIR:-build}
exec 9>/tmp/kipster-build.lock
flock 9
if [ ! -f "$build_dir/build.ninja" ]; then
  cmake -S . -B "$build_dir" -G Ninja ${KIPSTER_CMAKE_ARGS:-}
fi
cmake --build "$build_dir" "$@"
