#!/usr/bin/env bash
# Sets up, builds and runs every test (headless: SDL's dummy video and audio drivers).
#   scripts/test.sh              the normal build in build/
#   scripts/test.sh --sanitize   the AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/build.sh" "$@"
dir=$here/build
[ "${1:-}" = "--sanitize" ] && dir=$here/build-asan
export SDL_VIDEO_DRIVER=dummy SDL_AUDIO_DRIVER=dummy
ctest --test-dir "$dir" --output-on-failure -j2
