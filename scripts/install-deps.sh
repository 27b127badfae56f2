#!/usr/bin/env bash
# Installs the Debian packages that building, testing and packaging Tesmora
# need.
# Idempotent: does nothing when every package is already present.
set -euo pipefail

PACKAGES=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-translations-l10n
  qt6-svg-dev
  libqscintilla2-qt6-dev
  qt6-declarative-dev
  qt6-multimedia-dev gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  libgtest-dev googletest
  xvfb xauth
  clang-14 libclang-rt-14-dev
  python3 librsvg2-bin man-db
  dpkg-dev file desktop-file-utils appstream lintian
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
