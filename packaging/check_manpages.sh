#!/usr/bin/env bash
# The manual pages format without a warning, and tesmora-run's page documents
# exactly the options the runner accepts.
# usage: check_manpages.sh TESMORA_RUN MAN_DIR
set -euo pipefail
runner=$1 mandir=$2

for page in tesmora tesmora-run; do
  warnings=$(MANWIDTH=80 man --warnings -E UTF-8 -l "$mandir/$page.1.gz" 2>&1 >/dev/null)
  if [ -n "$warnings" ]; then
    echo "FAIL: $page.1 formats with warnings:" >&2
    echo "$warnings" >&2
    exit 1
  fi
done

# The runner prints its usage for an unknown option.
usage=$("$runner" --no-such-option 2>&1 >/dev/null || true)
accepted=$(grep -o -- '--[a-z][a-z-]*' <<<"$usage" | grep -v -- '--no-such-option' | sort -u)
[ -n "$accepted" ] || {
  echo "FAIL: no options in the runner's usage: $usage" >&2
  exit 1
}
documented=$(zcat "$mandir/tesmora-run.1.gz" | sed -n '/^\.SH OPTIONS/,/^\.SH /p' |
  grep -o '\\fB\\-\\-[a-z]*\(\\-[a-z]*\)*' | sed 's/^\\fB//; s/\\-/-/g' | sort -u)
if [ "$accepted" != "$documented" ]; then
  echo "FAIL: options accepted by tesmora-run and options in its manual page differ:" >&2
  diff <(echo "$accepted") <(echo "$documented") >&2 || true
  exit 1
fi
echo "manual pages: ok"
