#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/) with clang and runs each for a bounded time from its seed corpus in
# fuzz/corpus/<target>/. Fails on a crash, a sanitizer report, a broken invariant, a hang or a leak; the input
# that did it is kept in <build>/fuzz-artifacts/.
# Build folder: build-fuzz/ (or $TARNO_FUZZ_BUILD_DIR). Seconds per target: $TARNO_FUZZ_SECONDS (default 20).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${TARNO_FUZZ_BUILD_DIR:-$top/build-fuzz}
seconds=${TARNO_FUZZ_SECONDS:-20}
jobs=$(nproc)
if ! command -v clang++-14 >/dev/null || [ ! -e "$(clang++-14 -print-runtime-dir)/libclang_rt.fuzzer-x86_64.a" ]; then
    echo "fuzz: needs the Debian packages clang-14 and libclang-rt-14-dev" >&2
    exit 1
fi

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
    -DTARNO_BUILD_TESTS=OFF -DTARNO_BUILD_FUZZERS=ON
cmake --build "$build" -j"$jobs" --target fuzzers

# The targets write files (colour file, archives) and sync them: a memory file system keeps that cheap.
scratch_parent=/tmp
if [ -d /dev/shm ] && [ -w /dev/shm ]; then scratch_parent=/dev/shm; fi
scratch=$(mktemp -d "$scratch_parent/tarno-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"

export TMPDIR="$scratch"
export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$top/scripts/lsan.supp"
export UBSAN_OPTIONS="print_stacktrace=1"

run_target() {
    local target=$1
    local corpus="$scratch/corpus-$target"
    mkdir -p "$corpus" "$top/fuzz/corpus/$target"
    # New inputs go to the scratch corpus; the seeds in the repository are only read.
    "$build/bin/$target" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=3072 -print_final_stats=1 \
        -artifact_prefix="$artifacts/$target-" "$corpus" "$top/fuzz/corpus/$target" >"$scratch/$target.log" 2>&1
}

targets=()
for program in "$build"/bin/fuzz_*; do targets+=("$(basename "$program")"); done

failed=()
running=0
declare -A pids
for target in "${targets[@]}"; do
    run_target "$target" &
    pids[$target]=$!
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
        wait -n || true
        running=$((running - 1))
    fi
done
for target in "${targets[@]}"; do
    if wait "${pids[$target]}"; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$scratch/$target.log")
        echo "fuzz: $target ok ($runs inputs in ${seconds}s)"
    else
        failed+=("$target")
        echo "fuzz: $target FAILED"
        tail -n 60 "$scratch/$target.log"
    fi
done

if [ "${#failed[@]}" -gt 0 ]; then
    echo "fuzz: failing targets: ${failed[*]} (inputs in $artifacts)"
    exit 1
fi
echo "fuzz: all ${#targets[@]} targets clean"
