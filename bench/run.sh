#!/usr/bin/env bash
# Runs every benchmark script several times through tesmora-run and prints
# the median of executed lines per second. Never part of `make test`.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
runner=${RUNNER:-$here/../build/bin/tesmora-run}
runs=${RUNS:-5}
[ -x "$runner" ] || { echo "build first: $runner not found" >&2; exit 2; }
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
printf '%-14s %12s %12s %14s\n' script lines "median s" "lines/s"
for script in "$here"/scripts/*.txt; do
  name=$(basename "$script" .txt)
  times=()
  lines=0
  for _ in $(seq "$runs"); do
    out=$("$runner" --home "$home" --stats "$script" 2>&1 >/dev/null | grep '^stats:')
    lines=$(echo "$out" | awk '{print $2}')
    times+=("$(echo "$out" | awk '{print $5}')")
  done
  median=$(printf '%s\n' "${times[@]}" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
  rate=$(awk -v l="$lines" -v t="$median" 'BEGIN { printf "%.0f", (t > 0 ? l / t : 0) }')
  printf '%-14s %12s %12s %14s\n' "$name" "$lines" "$median" "$rate"
done
