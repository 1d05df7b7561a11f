#!/usr/bin/env bash
# The sample content is an output of the build, made from the content builder alone: a build
# with nothing changed leaves it as it is, and a new builder makes it again.
#   content_build_test.sh BINARY_DIR NINJA
set -euo pipefail
build="$1"
ninja="$2"
fail() { echo "FAIL: $*" >&2; exit 1; }

stamp="content/.content_stamp"
query="$("$ninja" -C "$build" -t query "$stamp" 2>&1)" || fail "no build rule makes $stamp: $query"
# The inputs listed before any implicit (|) or order-only (||) ones are the rule's dependencies.
inputs="$(printf '%s\n' "$query" | awk '/^  input:/ {on = 1; next} /^  outputs:/ {on = 0} on && $1 !~ /^\|/ {print $1}')"
printf '%s\n' "$inputs" | grep -qx "tools/vt_content_builder" ||
  fail "the content is not made again when the builder changes (inputs: $inputs)"
# Built, the stamp is newer than the builder: the next build has nothing to make.
[ -e "$build/$stamp" ] || fail "$stamp was not written by the build"
[ ! "$build/tools/vt_content_builder" -nt "$build/$stamp" ] ||
  fail "the content is older than its builder after the build"
echo "content build: all checks passed"
