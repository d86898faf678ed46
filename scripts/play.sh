#!/usr/bin/env bash
# Sets up and builds everything, then plays the demo game. Extra arguments go to the engine
# (for example -WND for a window, -FRAMES100 for an unattended run of 100 frames).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/build.sh"
cd "$here/games/demo"
exec "$here/build/dravo" demo "$@"
