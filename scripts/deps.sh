#!/bin/bash
# Installs the Debian packages in packages.txt that are missing (as root), or says
# which apt-get line to run.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
mapfile -t wanted < <(grep -v '^#' "$here/packages.txt" | grep -v '^$')
missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# The tests read numbers under a German locale, where the decimal point is a comma.
need_locale() { [ "$(id -u)" -eq 0 ] && ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; }
if [ ${#missing[@]} -eq 0 ]; then
  if need_locale; then localedef -i de_DE -f UTF-8 de_DE.UTF-8 || true; fi
  exit 0
fi
if [ "$(id -u)" -eq 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  if need_locale; then localedef -i de_DE -f UTF-8 de_DE.UTF-8 || true; fi
else
  echo "Missing packages; run: sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
  exit 1
fi
