#!/usr/bin/env bash
# Runs every conformance script and every bundled example script through
# tesmora-run --dump and compares standard output, standard error and exit
# status with the stored record in tests/dump_baseline. Each script runs in a
# fresh copy of its program folder, so no run sees another's files.
#   dump_check.sh RUNNER SOURCE_DIR           compare
#   dump_check.sh RUNNER SOURCE_DIR --update  rewrite the records
# Scripts whose output varies from run to run (clock, unseeded random
# numbers, temporary names) or that need a memory cap of their own are
# listed in tests/dump_baseline/varying.txt and skipped.
set -u
runner=$1
src=$2
mode=${3:-check}
tests=$src/tests
baseline=$tests/dump_baseline
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$baseline/scripts" "$baseline/examples"
mapfile -t varying < <(grep -v '^#' "$baseline/varying.txt" 2>/dev/null | sed '/^$/d')

is_varying() {
  local v
  for v in "${varying[@]}"; do [ "$v" = "$1" ] && return 0; done
  return 1
}

# record KIND NAME SCRIPT_DIR HOME_SOURCE OPTIONS_DIR
record() {
  local kind=$1 name=$2 dir=$3 home_src=$4 opt_dir=$5
  local home=$work/home
  rm -rf "$home" && mkdir -p "$home"
  cp -r "$home_src"/. "$home"/
  local args=() params=()
  [ -f "$opt_dir/$name.args" ] && read -r -a args < "$opt_dir/$name.args"
  [ -f "$opt_dir/$name.params" ] && read -r -a params < "$opt_dir/$name.params"
  [ -f "$opt_dir/$name.answers" ] && args+=(--answers "$opt_dir/$name.answers")
  (cd "$dir" && timeout 120 "$runner" --home "$home" --dump "${args[@]}" "$name.txt" "${params[@]}" \
    >"$work/out" 2>"$work/err")
  local code=$?
  {
    echo "== stdout"
    sed "s|$home|HOME|g" "$work/out"
    echo "== stderr"
    sed "s|$home|HOME|g" "$work/err"
    echo "== exit $code"
  } >"$work/record"
  # A very long record is kept as its checksum.
  if [ "$(stat -c %s "$work/record")" -gt 65536 ]; then
    echo "== sha256 $(sha256sum <"$work/record" | cut -d' ' -f1) $(stat -c %s "$work/record")" >"$work/record"
  fi
}

fail=0
compare() {
  local kind=$1 name=$2
  local stored=$baseline/$kind/$name.dump
  if [ "$mode" = --update ]; then
    cp "$work/record" "$stored"
  elif ! diff -u "$stored" "$work/record" >"$work/diff"; then
    echo "--- $kind/$name differs:"
    head -40 "$work/diff"
    fail=1
  fi
}

# The conformance scripts' program folder, with the bundled pictures.
conf_home=$work/conf_home
mkdir -p "$conf_home/pictures"
cp -r "$tests/scripts/home"/. "$conf_home"/
cp "$src/resources/pictures"/* "$conf_home/pictures"/ 2>/dev/null
rm -f "$conf_home/pictures/.gitkeep"
for f in "$tests"/scripts/*.txt; do
  name=$(basename "$f" .txt)
  is_varying "scripts/$name" && continue
  record scripts "$name" "$tests/scripts" "$conf_home" "$tests/scripts"
  compare scripts "$name"
done

# The bundled scripts' program folder: Scripts, pictures and Temp.
ex_home=$work/ex_home
mkdir -p "$ex_home/Temp"
cp -r "$src/resources/Scripts" "$src/resources/pictures" "$ex_home"/
for f in "$src"/resources/Scripts/examples/*.txt "$src"/resources/Scripts/AutoStart.txt; do
  name=$(basename "$f" .txt)
  is_varying "examples/$name" && continue
  record examples "$name" "$(dirname "$f")" "$ex_home" "$tests/examples"
  compare examples "$name"
done
exit $fail
