#!/usr/bin/env bash
# Installs what is missing, builds the release game, generates the sample content and starts the game.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
cd build/release/content
exec ../game/vorthane "$@"
