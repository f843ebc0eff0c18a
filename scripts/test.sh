#!/bin/bash
# Builds everything and runs the whole test suite.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/deps.sh"
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_WERROR=$werror >/dev/null
cmake --build "$root/build"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
ctest --test-dir "$root/build" --output-on-failure -j"$(nproc)" "$@"
