#!/usr/bin/env bash
# Runs one conformance script through tesmora-run and compares the result
# with the expectation files beside it:
#   NAME.args  options placed before the script (optional)
#   NAME.params parameters placed after the script (optional)
#   NAME.code  expected exit status (default 0)
#   NAME.out   expected standard output (optional)
#   NAME.err   expected standard error (optional; default: must be empty)
#   NAME.answers dialog answers (optional)
#   NAME.memory a cap on the runner's virtual memory in KiB (ulimit -v);
#               the case is skipped (exit 77) under the sanitizers, whose
#               shadow memory no such cap leaves room for
#   NAME.pixels the picture --canvas writes: lines "size W H" and
#               "X Y RRGGBB", or "no picture" (optional; needs the
#               canvas_pixels reader as the fourth argument)
set -u
runner=$1
home=$2
case_path=$3
pixels_reader=${4:-}
dir=$(dirname "$case_path")
name=$(basename "$case_path" .txt)
cd "$dir" || exit 2

args=()
[ -f "$name.args" ] && read -r -a args < "$name.args"
params=()
[ -f "$name.params" ] && read -r -a params < "$name.params"
[ -f "$name.answers" ] && args+=(--answers "$name.answers")
expected_code=0
[ -f "$name.code" ] && expected_code=$(tr -d '[:space:]' < "$name.code")

out=$(mktemp) err=$(mktemp) png=$(mktemp -u --suffix=.png) pixels=$(mktemp)
trap 'rm -f "$out" "$err" "$png" "$pixels"' EXIT
[ -f "$name.pixels" ] && args+=(--canvas "$png")
memory=unlimited
if [ -f "$name.memory" ]; then
  [ -n "${ASAN_OPTIONS:-}" ] && { echo "skipped under the sanitizers"; exit 77; }
  memory=$(tr -d '[:space:]' < "$name.memory")
fi
(ulimit -v "$memory" && exec "$runner" --home "$home" "${args[@]}" "$name.txt" "${params[@]}") >"$out" 2>"$err"
code=$?

fail=0
if [ "$code" != "$expected_code" ]; then
  echo "exit status $code, expected $expected_code"
  fail=1
fi
if [ -f "$name.out" ]; then
  if ! diff -u "$name.out" "$out"; then fail=1; fi
fi
if [ -f "$name.err" ]; then
  if ! diff -u "$name.err" "$err"; then fail=1; fi
elif [ -s "$err" ]; then
  echo "unexpected standard error:"; cat "$err"; fail=1
fi
if [ -f "$name.pixels" ]; then
  "$pixels_reader" "$png" "$name.pixels" > "$pixels"
  if ! diff -u "$name.pixels" "$pixels"; then fail=1; fi
fi
exit $fail
