#!/usr/bin/env bash
# The fault campaign for as long as wanted: MINUTES on each device library in turn (only on
# $TARNO_TEST_DEVICE_LIBRARY when set), in rounds of 100 steps on a fresh mouse and program, starting at SEED (by
# default the time) and going on with the seeds after it. Prints each violation with the seed and step that replay
# it, then per library the rounds, steps, faults injected, violations and the longest unanswered window-manager
# ping. Uses the build in build/ (or $TARNO_BUILD_DIR; build-asan/ adds the sanitizers' eyes).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${TARNO_BUILD_DIR:-$top/build}
if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: $0 MINUTES [SEED]" >&2
    exit 2
fi
minutes=$1
seed=${2:-$(date +%s)}
read -r -a libraries <<< "${TARNO_TEST_DEVICE_LIBRARY:-libtarno.so libtarno-contrary.so}"

cmake --build "$build" --target tst_e2e_campaign
# Qt Test ends a test function after 5 minutes unless told otherwise; the last round may run past the time.
export QTEST_FUNCTION_TIMEOUT=$(((minutes + 20) * 60000))
status=0
for library in "${libraries[@]}"; do
    echo "== $library: $minutes min from seed $seed"
    TARNO_TEST_DEVICE_LIBRARY=$library TARNO_CAMPAIGN_MINUTES=$minutes TARNO_CAMPAIGN_SEED=$seed \
        QT_QPA_PLATFORM=xcb QT_XCB_GL_INTEGRATION=none DBUS_SESSION_BUS_ADDRESS=unix:path=/dev/null/no-session-bus \
        xvfb-run -a -s "-screen 0 1920x1080x24" "$build/bin/tst_e2e_campaign" || status=1
done
exit $status
