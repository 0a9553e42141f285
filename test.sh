#!/usr/bin/env bash
# Sets up, builds and runs every test.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/tools/setup.sh"
echo "== Running the tests"
ctest --test-dir "$QX_BUILD_DIR" -j "$(nproc 2>/dev/null || echo 2)" --output-on-failure --timeout 300 "$@"
