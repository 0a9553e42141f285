#!/usr/bin/env bash
# Sets up, builds and starts Quorvex. Without a display (or before the game
# window exists) it runs the most complete headless program there is.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/tools/setup.sh"

game="$QX_BUILD_DIR/app/quorvex"
tool="$QX_BUILD_DIR/tools/qxtool"
if [ -x "$game" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec "$game" "$@"
fi
if "$tool" --help | grep -q '^  duel'; then
  echo "== No display (or no game window yet): running a headless brain duel"
  exec "$tool" duel "$QX_ROOT/data/scenarios/Duel.qxscen" "$@"
fi
echo "== The game window and brain duels are not built yet; this is qxtool, the headless tool:"
"$tool" --help
