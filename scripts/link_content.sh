#!/usr/bin/env bash
# Fills a data folder with links to the entries of a built content folder, so that the game can
# run there with its user files (accounts, records, pack maps) kept apart from the build tree:
#   bash scripts/link_content.sh CONTENT_DIR DATA_DIR
# Every entry of the content folder gets a link of the same name; links into the content folder
# whose target is gone are removed. Pack maps are the game's own cache and the build's stamp is
# the build's own: neither is linked. A file
# or folder that is not a link is never touched: that is the user's.
set -euo pipefail
if [ $# -ne 2 ]; then
  echo "usage: $0 CONTENT_DIR DATA_DIR" >&2
  exit 2
fi
content="$(cd "$1" && pwd)"
data="$2"
mkdir -p "$data"
data="$(cd "$data" && pwd)"

shopt -s nullglob dotglob
for source in "$content"/*; do
  name="$(basename "$source")"
  case "$name" in
    pack_map.map | pack_map_*.map | *.tmp.* | .content_stamp) continue ;;
  esac
  target="$data/$name"
  if [ -L "$target" ] || [ ! -e "$target" ]; then
    ln -sfn "$source" "$target"
  else
    echo "link_content: $target is not a link; left as it is" >&2
  fi
done
for link in "$data"/*; do
  [ -L "$link" ] || continue
  case "$(readlink "$link")" in
    "$content"/*) [ -e "$link" ] || rm -f "$link" ;;
  esac
done
