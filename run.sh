#!/usr/bin/env bash
# Sets up, builds and starts Quorvex. Without a display (and until the game
# window exists) it plays a headless brain duel with the bundled brains.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/tools/setup.sh"

game="$QX_BUILD_DIR/app/quorvex"
tool="$QX_BUILD_DIR/tools/qxtool"
if [ -x "$game" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec "$game" "$@"
fi
if [ -x "$game" ]; then
  echo "== No display: running a headless brain duel instead of the game window"
else
  echo "== The game window is not built yet: running a headless brain duel"
fi
echo "== Pathfinder (Player 1) against Warden (Player 2) on the Duel map; see 'qxtool duel --help'"
exec "$tool" duel "$QX_ROOT/data/scenarios/Duel.qxscen" \
  --brain "$QX_ROOT/data/brains/Pathfinder.qxbrain" --brain "$QX_ROOT/data/brains/Warden.qxbrain" "$@"
