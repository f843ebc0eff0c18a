#!/bin/bash
# A test process that finds no XDG_RUNTIME_DIR makes a runtime folder of its own; it
# must be gone when the process ends. Runs a test binary under a private, empty /tmp
# and looks at what is left there. Skipped where no private mount can be made.
set -u
binary=$1
filter=$2
unshare -m true 2>/dev/null || { echo "skipped: no private mount namespace here"; exit 77; }
# The binary is read before the private /tmp hides it (the build may lie under /tmp).
exec 3<"$binary" || exit 1
exec unshare -m bash -c '
  mount -t tmpfs velmora-tmp /tmp 2>/dev/null || { echo "skipped: cannot mount a private /tmp"; exit 77; }
  cat <&3 >/tmp/.test && chmod +x /tmp/.test && exec 3<&-
  env -u XDG_RUNTIME_DIR -u TMPDIR /tmp/.test --gtest_filter="$0" >/tmp/.out 2>&1 || { cat /tmp/.out; exit 1; }
  rm -f /tmp/.out /tmp/.test
  left=$(ls -A /tmp)
  [ -z "$left" ] || { echo "left behind in /tmp: $left"; exit 1; }
' "$filter"
