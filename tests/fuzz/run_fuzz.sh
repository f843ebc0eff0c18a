#!/bin/sh
# Builds the PICT reader with libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer
# and fuzzes it for a fixed time from the committed seeds.
# Usage: run_fuzz.sh [SECONDS [WORK_DIR]]
# With FUZZ_BINARY set to a fuzzer that the build made (the pict_fuzz target of a Clang
# build), it fuzzes that one and builds nothing.
# Exit status: 0 when nothing was found, 77 when clang++ or its fuzzer runtime is
# missing (a skip), anything else when the build failed or the fuzzer found a fault
# (the input that shows it is left in WORK_DIR).
# shellcheck disable=SC2086  # the compiler and flag lists are meant to split
set -eu

SECONDS_TO_RUN=${1:-60}
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
WORK=${2:-$(mktemp -d)}
CXX=${FUZZ_CXX:-clang++}
SKIP=77

mkdir -p "$WORK/corpus" "$WORK/found"
if [ -n "${FUZZ_BINARY:-}" ]; then
    FUZZER=$FUZZ_BINARY
else
    FUZZER=$WORK/pict_fuzz
    if ! command -v "$CXX" >/dev/null 2>&1; then
        echo "run_fuzz: $CXX not found: skipped"
        exit $SKIP
    fi

    # Qt's compile and link flags: pkg-config when present, else qmake6's own paths.
    if pkg-config --exists Qt6Gui 2>/dev/null; then
        QT_CFLAGS=$(pkg-config --cflags Qt6Gui)
        QT_LIBS=$(pkg-config --libs Qt6Gui)
    elif command -v qmake6 >/dev/null 2>&1; then
        QT_HEADERS=$(qmake6 -query QT_INSTALL_HEADERS)
        QT_LIBDIR=$(qmake6 -query QT_INSTALL_LIBS)
        QT_CFLAGS="-I$QT_HEADERS -I$QT_HEADERS/QtCore -I$QT_HEADERS/QtGui"
        QT_LIBS="-L$QT_LIBDIR -lQt6Gui -lQt6Core"
    else
        echo "run_fuzz: Qt 6 development files not found" >&2
        exit 1
    fi

    FLAGS="-std=c++20 -g -O1 -fPIC -ffp-contract=off -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all"

    # A missing fuzzer runtime is a skip, not a fault of the reader.
    printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n' >"$WORK/probe.cpp"
    if ! $CXX $FLAGS "$WORK/probe.cpp" -o "$WORK/probe" 2>/dev/null; then
        echo "run_fuzz: $CXX cannot build a libFuzzer target here: skipped"
        exit $SKIP
    fi

    $CXX $FLAGS -I"$ROOT" $QT_CFLAGS "$ROOT/framework/Pict.cpp" "$HERE/PictFuzz.cpp" $QT_LIBS -o "$WORK/pict_fuzz"
fi

# Seeds: the star pictures, the reader's test fixtures and the hand-made seeds.
for seed in "$ROOT"/Resources/*.PICT "$ROOT"/tests/framework/pict/fixtures/*.pict "$HERE"/corpus/*; do
    [ -f "$seed" ] && cp "$seed" "$WORK/corpus/"
done

echo "run_fuzz: fuzzing for $SECONDS_TO_RUN s in $WORK"
cd "$WORK/found"
# libFuzzer's own default error status is 77, which would read as a skip.
ASAN_OPTIONS=detect_leaks=1 "$FUZZER" -max_total_time="$SECONDS_TO_RUN" -max_len=8192 \
    -timeout=30 -rss_limit_mb=2048 -error_exitcode=1 -timeout_exitcode=1 -print_final_stats=1 "$WORK/corpus"
