#!/usr/bin/env bash
# Builds the program and its tests with AddressSanitizer and UndefinedBehaviorSanitizer and runs the whole suite
# (the whole-program tests start the sanitized executable, the fault campaign among them), then runs the threaded
# tests of the mouse link and the update service under ThreadSanitizer. Any report fails the run: a whole-program
# test fails when the program or one of its command lines reported anything.
# Build folders: build-asan/ and build-tsan/ (or $TARNO_ASAN_BUILD_DIR, $TARNO_TSAN_BUILD_DIR).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
asan_build=${TARNO_ASAN_BUILD_DIR:-$top/build-asan}
tsan_build=${TARNO_TSAN_BUILD_DIR:-$top/build-tsan}
jobs=$(nproc)

configure() {
    local build=$1 flags=$2
    cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARNO_BUILD_TESTS=ON \
        -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
        -DCMAKE_EXE_LINKER_FLAGS="$flags" -DCMAKE_SHARED_LINKER_FLAGS="$flags"
}

# -O1 keeps the instrumented suite fast enough for the tests' deadlines.
asan_flags="-O1 -g -fno-omit-frame-pointer -fsanitize=address,undefined -fno-sanitize-recover=undefined"
tsan_flags="-O1 -g -fno-omit-frame-pointer -fsanitize=thread"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer: $asan_build"
configure "$asan_build" "$asan_flags"
cmake --build "$asan_build" -j"$jobs"
(
    cd "$asan_build"
    asan_options="detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    export LSAN_OPTIONS="suppressions=$top/scripts/lsan.supp:print_suppressions=0"
    # The headless tests get full leak stacks, which the suppressions of Qt's offscreen plugin need (Qt is built
    # without frame pointers). Whole-program tests keep the fast unwinder: the program would start too slowly
    # for their deadlines, and its only expected leak is matched by the first frame.
    ASAN_OPTIONS="$asan_options:fast_unwind_on_malloc=0" ctest --output-on-failure --timeout 900 -j"$jobs" -LE e2e
    ASAN_OPTIONS="$asan_options" ctest --output-on-failure --timeout 900 -j"$jobs" -L e2e
)

echo "== ThreadSanitizer (mouse link, update service): $tsan_build"
configure "$tsan_build" "$tsan_flags"
# Only the tests of the mouse link's thread and the update service's workers, and what they run.
# A whole-program suite also runs as NAME_contrary, on the contrary device library, from the same executable.
tsan_pattern='update|tst_deviceprotocol|tst_hotplug|tst_profile|tst_startup'
mapfile -t tsan_tests < <(ctest --test-dir "$tsan_build" -N -R "$tsan_pattern" | sed -n 's/^ *Test *#[0-9]*: //p' |
                          sed 's/_contrary$//' | sort -u)
cmake --build "$tsan_build" -j"$jobs" --target "${tsan_tests[@]}" TARNO_CONNECT_PC tarno tarno-contrary tarno-emu
(
    cd "$tsan_build"
    # Qt, GLib and libpng are not instrumented: their hand-offs through futexes are invisible to the sanitizer, so
    # its checks inside their calls (malloc and free, write, condition variables) only report phantoms. Our own
    # code stays fully checked.
    export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:ignore_noninstrumented_modules=1"
    ctest --output-on-failure --timeout 900 -j"$jobs" -R "$tsan_pattern"
)
echo "sanitizers: clean"
