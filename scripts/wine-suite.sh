#!/usr/bin/env bash
# The Windows program under Wine, as a user gets it: installs the installer that scripts/windows.sh built into a
# fresh Wine prefix and drives the installed program in a virtual X server (tests/e2e_wine), wide enough for it and
# the Linux program that it is compared with side by side. Builds the suite
# in the Linux build folder (build/, or $TARNO_BUILD_DIR). Screenshots of each page in each language go to
# build-win/screenshots/ (or $TARNO_SCREENSHOT_DIR).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${TARNO_BUILD_DIR:-$top/build}
"$top/scripts/install-deps.sh" --tests
"$top/scripts/build.sh" -DTARNO_BUILD_TESTS=ON --program-only >/dev/null
cmake --build "$build" --target tst_e2e_wine
export TARNO_WIN_BUILD_DIR=${TARNO_WIN_BUILD_DIR:-$top/build-win}
QT_QPA_PLATFORM=xcb QT_XCB_GL_INTEGRATION=none timeout 1200 \
    xvfb-run -a -s "-screen 0 3600x1080x24" "$build/bin/tst_e2e_wine"
