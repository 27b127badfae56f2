#!/usr/bin/env bash
# Runs every benchmark script several times through tesmora-run and prints
# the median of executed lines per second. A script with a twin in
# bench/python is also run as often by python3 (timed inside the
# interpreter, start-up left out, as tesmora-run --stats does), and the last
# column gives Tesmora's median time as a ratio of CPython's.
# Never part of `make test`.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
runner=${RUNNER:-$here/../build/bin/tesmora-run}
python=${PYTHON:-python3}
runs=${RUNS:-5}
[ -x "$runner" ] || { echo "build first: $runner not found" >&2; exit 2; }
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT

median() { sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

python_time() {
  "$python" -c 'import sys, time
src = open(sys.argv[1]).read()
code = compile(src, sys.argv[1], "exec")
t = time.perf_counter()
exec(code, {"__name__": "__main__"})
print("%.6f" % (time.perf_counter() - t))' "$1"
}

printf '%-14s %12s %12s %14s %12s %10s\n' script lines "median s" "lines/s" "python s" "ratio"
for script in "$here"/scripts/*.txt; do
  name=$(basename "$script" .txt)
  times=()
  lines=0
  for _ in $(seq "$runs"); do
    out=$("$runner" --home "$home" --stats "$script" 2>&1 >/dev/null | grep '^stats:')
    lines=$(echo "$out" | awk '{print $2}')
    times+=("$(echo "$out" | awk '{print $5}')")
  done
  med=$(printf '%s\n' "${times[@]}" | median)
  rate=$(awk -v l="$lines" -v t="$med" 'BEGIN { printf "%.0f", (t > 0 ? l / t : 0) }')
  py=- ratio=-
  twin=$here/python/$name.py
  if [ -f "$twin" ] && command -v "$python" >/dev/null; then
    pytimes=()
    for _ in $(seq "$runs"); do pytimes+=("$(python_time "$twin")"); done
    py=$(printf '%s\n' "${pytimes[@]}" | median)
    ratio=$(awk -v a="$med" -v b="$py" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
  fi
  printf '%-14s %12s %12s %14s %12s %10s\n' "$name" "$lines" "$med" "$rate" "$py" "$ratio"
done
