#!/usr/bin/env bash
# Installs what is missing, builds the sanitizer test build and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
jobs=$(nproc)
cmake --preset test >/dev/null
cmake --build --preset test -j "$jobs"
ctest --preset test -j "$jobs"
