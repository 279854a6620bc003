#!/usr/bin/env bash
# Configures and builds into build/ (or $TARNO_BUILD_DIR). Arguments are CMake options, except --program-only,
# which builds only what ./run.sh runs: the program, the emulated mouse's library and tool, and the screenshot tour.
# Without it everything is built; a later full build reuses what is there.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${TARNO_BUILD_DIR:-$top/build}
options=()
targets=()
for argument in "$@"; do
    if [ "$argument" = --program-only ]; then
        targets=(--target TARNO_CONNECT_PC tarno tarno-emu screenshot-tour)
    else
        options+=("$argument")
    fi
done
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${TARNO_BUILD_TYPE:-RelWithDebInfo} "${options[@]}"
cmake --build "$build" -j"$(nproc)" "${targets[@]}"
