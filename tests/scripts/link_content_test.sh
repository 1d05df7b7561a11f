#!/usr/bin/env bash
# The data folder the game runs in: links to the content, refreshed, user files kept.
set -euo pipefail
here="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d)"
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

content="$work/content"
data="$work/data/vorthane"
mkdir -p "$content/rez_0"
echo pack > "$content/packed_rezmap_0.pck"
echo listing > "$content/rezmap_0.ksa"
echo gamma > "$content/kestrone.gam"
echo map > "$content/pack_map.map"
touch "$content/.content_stamp"
echo sound > "$content/rez_0/a.wav"

bash "$here/scripts/link_content.sh" "$content" "$data"
for name in packed_rezmap_0.pck rezmap_0.ksa kestrone.gam rez_0; do
  [ -L "$data/$name" ] || fail "$name is not linked"
  [ "$(readlink "$data/$name")" = "$content/$name" ] || fail "$name points elsewhere"
done
[ ! -e "$data/pack_map.map" ] || fail "the pack map is the game's own, not a link"
[ ! -e "$data/.content_stamp" ] || fail "the build's stamp is linked"
[ "$(cat "$data/rez_0/a.wav")" = sound ] || fail "a loose file is not reached through its folder's link"

# The game's own files, then a rebuild that drops one content file and adds another.
echo accounts > "$data/client_0.dat"
echo mine > "$data/pack_map.map"
rm "$content/kestrone.gam"
echo new > "$content/packed_rezmap_1.pck"
chmod -R a-w "$content"  # a read-only content folder works too
bash "$here/scripts/link_content.sh" "$content" "$data"
[ ! -e "$data/kestrone.gam" ] && [ ! -L "$data/kestrone.gam" ] || fail "a link to a removed file stays"
[ -L "$data/packed_rezmap_1.pck" ] || fail "a new content file is not linked"
[ "$(cat "$data/client_0.dat")" = accounts ] || fail "a user file changed"
[ "$(cat "$data/pack_map.map")" = mine ] || fail "the game's pack map changed"

# Removing the build leaves the user's files.
chmod -R u+w "$content"
rm -rf "$content"
[ "$(cat "$data/client_0.dat")" = accounts ] || fail "user files went with the build"
echo "link_content: all checks passed"
