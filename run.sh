#!/usr/bin/env bash
# Sets up, builds and starts Quorvex: the game window on the title screen when
# a display is there, otherwise a headless brain duel with the bundled brains.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/tools/setup.sh"

game="$QX_BUILD_DIR/app/quorvex"
tool="$QX_BUILD_DIR/tools/qxtool"
if [ -x "$game" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec "$game" "$@"
fi
if [ -x "$game" ]; then
  echo "== No display (DISPLAY and WAYLAND_DISPLAY are unset): running a headless brain duel instead"
  echo "== of the game window; 'build/release/app/quorvex --screenshots DIR' shows its screens as pictures"
else
  echo "== The game window is not built yet: running a headless brain duel"
fi
echo "== Pathfinder (Player 1) against Warden (Player 2) on the Duel map; see 'qxtool duel --help'"
exec "$tool" duel "$QX_ROOT/data/scenarios/Duel.qxscen" \
  --brain "$QX_ROOT/data/brains/Pathfinder.qxbrain" --brain "$QX_ROOT/data/brains/Warden.qxbrain" "$@"
