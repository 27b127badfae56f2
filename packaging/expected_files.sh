#!/usr/bin/env bash
# Prints every file an install puts below its prefix, one path a line,
# relative to the prefix: the bundled files are read from SOURCE_DIR.
# usage: expected_files.sh SOURCE_DIR
set -euo pipefail
src=$1
printf '%s\n' bin/tesmora bin/tesmora-run \
  share/applications/org.tesmora.Tesmora.desktop \
  share/metainfo/org.tesmora.Tesmora.metainfo.xml \
  share/icons/hicolor/scalable/apps/tesmora.svg \
  share/man/man1/tesmora.1.gz share/man/man1/tesmora-run.1.gz \
  share/doc/tesmora/copyright share/doc/tesmora/changelog.gz
for size in 16 32 48 64 128 256; do
  echo "share/icons/hicolor/${size}x${size}/apps/tesmora.png"
done
(cd "$src/resources" && find Scripts pictures guide -type f ! -name .gitkeep && find sounds -type f -name '*.wav') |
  sed 's#^#share/tesmora/#'
