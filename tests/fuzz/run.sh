#!/usr/bin/env bash
# Runs the fuzz target: run.sh BUILD_DIR SECONDS. The seed corpus is the
# conformance scripts; inputs that add coverage are kept in BUILD_DIR/corpus,
# findings (crash-*, timeout-*, oom-*) in BUILD_DIR/findings. Fails on a finding.
# Leaks are not checked per input: the JavaScript engine keeps its collected
# heap from one input to the next on a thread of its own, which a per-input
# check reports as lost. The sanitizer test suite checks leaks at the end of
# every run, when the engine is gone.
set -euo pipefail
build=$1
seconds=$2
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$build/corpus" "$build/findings"
# Seeds: the conformance scripts, except those that spend their time building
# the largest arrays, strings and canvases a run allows (mutations of them
# only repeat that work).
rm -rf "$build/seeds"
mkdir -p "$build/seeds"
for script in "$here"/../scripts/*.txt; do
  case $(basename "$script") in
    rel_array_budget.txt | rel_string_limit.txt | graphics_canvas_largest.txt | graphics_canvas_memory.txt) ;;
    *) cp "$script" "$build/seeds/" ;;
  esac
done
export ASAN_OPTIONS=detect_leaks=0:halt_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$here/../sanitizer/lsan.supp:print_suppressions=0
"$build/bin/fuzz_script" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=6144 \
  -malloc_limit_mb=2048 -max_len=8192 -detect_leaks=0 -dict="$here/script.dict" -print_final_stats=1 \
  -artifact_prefix="$build/findings/" "$build/corpus" "$build/seeds"
