#!/usr/bin/env bash
# Checks an installed Tesmora as a learner meets it: every file is in place,
# the installed runner runs bundled examples, and the window starts, each with
# a fresh home whose per-user program folder the first start seeds.
#
# usage: check_install_tree.sh --stage BUILD_DIR SOURCE_DIR
#          installs the build into a scratch prefix with cmake --install
#        check_install_tree.sh --root ROOT SOURCE_DIR
#          checks ROOT/usr, for example an unpacked package
set -euo pipefail

mode=$1 arg=$2 src=$3
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

case $mode in
--stage)
  cmake --install "$arg" --prefix "$scratch/root/usr" >"$scratch/install.log" ||
    fail "cmake --install: $(cat "$scratch/install.log")"
  prefix=$scratch/root/usr
  ;;
--root) prefix=$arg/usr ;;
*) fail "unknown mode $mode" ;;
esac

# Every file of the install is there.
missing=0
while read -r f; do
  if [ ! -f "$prefix/$f" ]; then
    echo "missing: $f" >&2
    missing=1
  fi
done < <(bash "$here/expected_files.sh" "$src")
[ "$missing" = 0 ] || fail "files missing below $prefix"

# The per-user folder must follow HOME alone.
unset TESMORA_HOME XDG_DATA_HOME
user_folder() { echo "$1/.local/share/Tesmora"; }

# The installed runner: the program folder is the per-user folder even where
# the programs' folder is writable (tests may run as root), and pictures are
# found in the seeded copy.
home=$scratch/home1
mkdir -p "$home"
examples=$prefix/share/tesmora/Scripts/examples
out=$(HOME=$home "$prefix/bin/tesmora-run" --dump "$examples/01_Values_and_variables.txt") ||
  fail "tesmora-run on 01_Values_and_variables.txt"
[ -n "$out" ] || fail "tesmora-run --dump printed nothing"
HOME=$home "$prefix/bin/tesmora-run" "$examples/17_Pictures.txt" || fail "tesmora-run on 17_Pictures.txt"
folder=$(user_folder "$home")
for f in Scripts/AutoStart.txt Scripts/examples/22_Quiz.txt pictures/thermometer.bmp guide/UserGuide.html; do
  [ -f "$folder/$f" ] || fail "the per-user folder lacks $f after the first start"
done
[ -z "$(find "$prefix/bin" -mindepth 1 ! -name tesmora ! -name tesmora-run)" ] ||
  fail "a run wrote beside the installed programs: $(ls "$prefix/bin")"

# A later start keeps what the learner changed.
echo "a = 'mine'" >"$folder/Scripts/AutoStart.txt"
HOME=$home "$prefix/bin/tesmora-run" "$examples/01_Values_and_variables.txt" >/dev/null ||
  fail "second tesmora-run"
[ "$(cat "$folder/Scripts/AutoStart.txt")" = "a = 'mine'" ] || fail "a later start overwrote Scripts/AutoStart.txt"

# TESMORA_HOME and --home still choose the program folder.
mkdir -p "$scratch/own/pictures"
cp "$prefix/share/tesmora/pictures/"*.bmp "$scratch/own/pictures/"
HOME=$scratch/home-unused TESMORA_HOME=$scratch/own "$prefix/bin/tesmora-run" "$examples/17_Pictures.txt" ||
  fail "tesmora-run with TESMORA_HOME"
HOME=$scratch/home-unused "$prefix/bin/tesmora-run" --home "$scratch/own" "$examples/17_Pictures.txt" ||
  fail "tesmora-run --home"
[ ! -e "$(user_folder "$scratch/home-unused")" ] || fail "a program folder was given, yet the per-user folder was made"

# The window: starts with a fresh home, runs a script at once (/R), closes
# itself two seconds after the run and writes its settings into the seeded
# per-user folder.
home=$scratch/home2
mkdir -p "$home"
printf 'a = 1\nb = a + 1\n' >"$scratch/two.txt"
HOME=$home QT_QPA_PLATFORM=xcb timeout 120 xvfb-run -a "$prefix/bin/tesmora" "$scratch/two.txt" /R \
  >"$scratch/window.log" 2>&1 || fail "the window did not start and close: $(cat "$scratch/window.log")"
folder=$(user_folder "$home")
[ -f "$folder/Scripts/AutoStart.txt" ] || fail "the window did not seed $folder"
[ -f "$folder/tesmora.ini" ] || fail "the window wrote no tesmora.ini into $folder"
echo "installed tree below $prefix: ok"
