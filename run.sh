#!/usr/bin/env bash
# Installs what is needed, builds, plugs in the emulated Z31 and starts the tool.
# Without a display the tool runs in a virtual X server and screenshots of each page are saved instead.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
build=${TARNO_BUILD_DIR:-$top/build}
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" -DTARNO_BUILD_TESTS=ON
"$build/bin/tarno-emu" plug

if [ -n "${DISPLAY:-}" ]; then
    exec "$build/bin/TARNO_CONNECT_PC" "$@"
fi
shots=${TARNO_SCREENSHOT_DIR:-$top/screenshots}
mkdir -p "$shots"
echo "No display: running the tool in a virtual X server; screenshots go to $shots"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1920x1080x24" "$build/bin/screenshot-tour" "$shots"
echo "Screenshots of each page: $shots"
