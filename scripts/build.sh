#!/usr/bin/env bash
# Configures and builds into build/ (or $TARNO_BUILD_DIR). Arguments are CMake options, except `--target NAME`,
# which builds only NAME and what it needs (repeatable); without one, everything is built.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${TARNO_BUILD_DIR:-$top/build}
options=()
targets=()
while [ $# -gt 0 ]; do
    case "$1" in
        --target) targets+=(--target "$2"); shift 2 ;;
        *) options+=("$1"); shift ;;
    esac
done
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${TARNO_BUILD_TYPE:-RelWithDebInfo} "${options[@]}"
cmake --build "$build" -j"$(nproc)" "${targets[@]}"
