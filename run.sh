#!/usr/bin/env bash
# Installs what is needed, builds, plugs in the emulated Z31 and starts the tool.
# Without a display the tool runs in a virtual X server and screenshots of each page are saved instead: in each
# of its three languages and, in simplified Chinese, at 200 %.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
build=${TARNO_BUILD_DIR:-$top/build}
"$top/scripts/install-deps.sh"
# Only what this script runs (the tests are most of the build); ./test.sh builds the rest in the same folder.
"$top/scripts/build.sh" -DTARNO_BUILD_TESTS=ON --program-only
"$build/bin/tarno-emu" plug
# The tool follows the emulated mouse being plugged in and out by watching its device node.
TARNO_DEVICE_NODES=${TARNO_DEVICE_NODES:-$("$build/bin/tarno-emu" status | sed -n 's/^node=//p')}
export TARNO_DEVICE_NODES

if [ -n "${DISPLAY:-}" ]; then
    exec "$build/bin/TARNO_CONNECT_PC" "$@"
fi
shots=${TARNO_SCREENSHOT_DIR:-$top/screenshots}
mkdir -p "$shots"
echo "No display: running the tool in a virtual X server; screenshots go to $shots"
tour() {
    # $1: Xvfb screen arguments; then the tour's folder and language.
    QT_QPA_PLATFORM=xcb xvfb-run -a -s "$1" "$build/bin/screenshot-tour" "$2" "$3"
}
tour "-screen 0 1920x1080x24" "$shots" zh_CN
tour "-screen 0 1920x1080x24" "$shots/en" en
tour "-screen 0 1920x1080x24" "$shots/zh_TW" zh_TW
# A 192 dpi screen: Qt scales the window by 2 (2400 x 1500 pixels).
tour "-screen 0 3840x2160x24 -dpi 192" "$shots/200-percent" zh_CN
echo "Screenshots of each page: $shots (simplified Chinese), $shots/en, $shots/zh_TW, $shots/200-percent"
