#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (labels unit, gl and e2e) in one go.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
ctest --test-dir "${KIPSTER_BUILD_DIR:-build}" --output-on-failure -j2
