#!/usr/bin/env bash
# Installs what is missing, builds the release game and its sample content, and starts the game
# in the per-user data folder ($XDG_DATA_HOME/vorthane, by default ~/.local/share/vorthane). That
# folder holds links to the built content, refreshed at each run, and the game's own files
# (accounts, records, pack maps), which so survive rebuilds and `rm -rf build`.
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
cd "$repo"
bash scripts/setup.sh
cmake --preset release >/dev/null
# Only the game and its content: the tools and benchmarks are built by the test command or by hand.
cmake --build --preset release -j "$(nproc)" --target vorthane content
data_home="${XDG_DATA_HOME:-}"
case "$data_home" in
  /*) ;;
  *) data_home="$HOME/.local/share" ;;
esac
data="$data_home/vorthane"
bash scripts/link_content.sh "$repo/build/release/content" "$data"
cd "$data"
exec "$repo/build/release/game/vorthane" "$@"
