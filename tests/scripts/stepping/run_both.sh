#!/usr/bin/env bash
# Runs one script twice through tesmora-run, as Start does (--dump) and as a
# learner pressing Step does (--steps --dump), and checks that both runs give
# the same variables, arrays, errors and exit status, and that these are the
# expected ones:
#   NAME.out   expected --dump output of the run (variables and arrays)
#   NAME.err   expected standard error (optional; default: must be empty)
#   NAME.code  expected exit status (default 0)
#   NAME.marks expected current lines of the stepped run, one a line
#              (optional)
set -u
runner=$1
home=$2
case_path=$3
dir=$(dirname "$case_path")
name=$(basename "$case_path" .txt)
cd "$dir" || exit 2
expected_code=0
[ -f "$name.code" ] && expected_code=$(tr -d '[:space:]' < "$name.code")

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$runner" --home "$home" --lang en --dump "$name.txt" >"$tmp/start.out" 2>"$tmp/start.err"
start_code=$?
"$runner" --home "$home" --lang en --steps --dump --max-lines 100000 "$name.txt" >"$tmp/steps.all" 2>"$tmp/steps.err"
steps_code=$?
grep -v $'^#\t' "$tmp/steps.all" >"$tmp/steps.out"
grep $'^#\t' "$tmp/steps.all" | cut -f2 >"$tmp/steps.marks"

fail=0
check() { # label expected actual
  if ! diff -u --label "$1 expected" --label "$1" "$2" "$3"; then fail=1; fi
}
for run in start steps; do
  code_var=${run}_code
  if [ "${!code_var}" != "$expected_code" ]; then
    echo "$run: exit status ${!code_var}, expected $expected_code"
    fail=1
  fi
  check "$run stdout" "$name.out" "$tmp/$run.out"
  if [ -f "$name.err" ]; then
    check "$run stderr" "$name.err" "$tmp/$run.err"
  elif [ -s "$tmp/$run.err" ]; then
    echo "$run: unexpected standard error:"; cat "$tmp/$run.err"; fail=1
  fi
done
[ -f "$name.marks" ] && check "steps marks" "$name.marks" "$tmp/steps.marks"
exit $fail
