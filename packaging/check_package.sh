#!/usr/bin/env bash
# Checks the Debian package that `make package` built: its file list holds
# every installed file, its dependencies were read from the programs'
# libraries and apt can install them all, lintian reports no error, and
# unpacked into a scratch root its programs work (check_install_tree.sh).
# usage: check_package.sh BUILD_DIR SOURCE_DIR
set -euo pipefail

build=$1 src=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
deb=$(ls -t "$build"/tesmora_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || {
  echo "FAIL: no tesmora_*.deb in $build (make package)" >&2
  exit 1
}
echo "checking $deb"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The file list.
dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's#^\./##' >"$scratch/list"
while read -r f; do
  grep -qxF "usr/$f" "$scratch/list" || fail "the package lacks /usr/$f"
done < <(bash "$here/expected_files.sh" "$src")

# Dependencies from the libraries the programs link (Qt, QScintilla, libc).
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libqt6qml6 libqt6multimedia6 libqt6svg6 libqscintilla2-qt6 libc6; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

# Installable on a machine with nothing installed yet: apt finds every
# dependency in the configured archives (a simulation, nothing changes).
apt-get -s -o Dir::State::status=/dev/null install "$(realpath "$deb")" >"$scratch/apt.log" 2>&1 ||
  fail "apt cannot install the package on an empty system: $(tail -n 20 "$scratch/apt.log")"
grep -q '^Inst tesmora ' "$scratch/apt.log" || fail "apt would not install tesmora: $(tail -n 20 "$scratch/apt.log")"

# lintian: no errors (warnings are shown, not fatal).
lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian reports errors"

dpkg-deb -x "$deb" "$scratch/root"
bash "$here/check_install_tree.sh" --root "$scratch/root" "$src"
echo "package $deb: ok"
