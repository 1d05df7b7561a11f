#!/usr/bin/env bash
# Instructions per iteration of the renderer benchmarks and of their raw OpenGL baselines,
# counted by callgrind: a figure that does not move with the machine's load, beside the timed
# figures of bench_render. The rasteriser runs on the calling thread (LP_NUM_THREADS=0) so its
# work is counted too. Each benchmark runs one timed iteration after its untimed first round;
# the count covers that iteration alone. Slow (a minute or two a benchmark).
#
#   scripts/bench_instructions.sh [build/release/bench/bench_render]
set -euo pipefail

bench=${1:-build/release/bench/bench_render}
command -v valgrind >/dev/null || { echo "valgrind is needed" >&2; exit 1; }
[[ -x $bench ]] || { echo "no benchmark program at $bench (build the release preset)" >&2; exit 1; }

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# The pairs: each renderer case beside its raw OpenGL baseline.
pairs=(
  "BM_StylePasses/1:BM_RawGL_StylePasses"
  "BM_StylePasses/0:BM_RawGL_StylePasses"
  "BM_DrawPrim_Quads:BM_RawGL_Quads/21"
  "BM_LoadAndUploadToDevice:BM_RawGLTexImage2D"
)

count() {
  local name=$1 file
  file="$out/$(echo "$name" | tr '/' '_')"
  if [[ ! -e $file.total ]]; then
    LP_NUM_THREADS=0 SDL_VIDEODRIVER=${SDL_VIDEODRIVER:-offscreen} \
      valgrind --tool=callgrind --smc-check=all --callgrind-out-file="$file.%p" \
      "$bench" --benchmark_filter="^${name}(/process_time)?(/real_time)?\$" --benchmark_min_time=0 \
      >/dev/null 2>"$file.log" || { echo "$name: failed (see below)" >&2; tail "$file.log" >&2; exit 1; }
    # The part dumped at the end of the timed loop holds its instructions.
    local part
    part=$(ls "$file".*.1 2>/dev/null | head -1)
    [[ -n $part ]] || { echo "$name: nothing counted (callgrind.h missing at build time?)" >&2; exit 1; }
    awk '/^summary:/ {print $2}' "$part" >"$file.total"
  fi
  cat "$file.total"
}

printf '%-28s %16s   %-24s %16s  %s\n' "renderer" "instructions" "raw OpenGL" "instructions" "ratio"
for pair in "${pairs[@]}"; do
  ours=${pair%%:*}
  raw=${pair#*:}
  a=$(count "$ours")
  b=$(count "$raw")
  printf '%-28s %16s   %-24s %16s  %.3f\n' "$ours" "$a" "$raw" "$b" "$(echo "$a / $b" | bc -l)"
done
