#!/usr/bin/env bash
# Sets up, builds and runs every test.
#   ./test.sh              the release build in build/release (what CI runs)
#   ./test.sh --sanitize   every test under AddressSanitizer and UndefinedBehaviorSanitizer,
#                          in build/sanitize (slower; not run by CI)
# Other arguments go to ctest (for example -R SavedGame).
set -euo pipefail
if [ "${1:-}" = "--sanitize" ]; then
  shift
  export QX_BUILD_DIR="${QX_BUILD_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/build/sanitize}"
  export QX_BUILD_TYPE=RelWithDebInfo
  QX_CMAKE_OPTIONS=(-DQX_SANITIZE=ON -DQX_BUILD_BENCH=OFF)
  # Leaks are reported too; a finding fails the test that made it.
  export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}"
  export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
  # Leaks of system libraries that are theirs by design are listed there.
  export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/tests/lsan.supp:print_suppressions=0}"
fi
source "$(dirname "${BASH_SOURCE[0]}")/tools/setup.sh"
echo "== Running the tests"
ctest --test-dir "$QX_BUILD_DIR" -j "$(nproc 2>/dev/null || echo 2)" --output-on-failure --timeout 300 "$@"
