#!/usr/bin/env bash
# Cross-builds the Windows layer's test program with MinGW-w64 and runs it under Wine, in code page 936.
# Where the cross compiler or Wine is missing it says so and exits 0 (or $TARNO_WINE_SKIP_CODE, which CTest
# counts as skipped). Build folder: $TARNO_WIN_PLATFORM_TEST_DIR, by default build-win/platform-test/ at the top
# of the repository (build-win/ itself holds the Windows program: scripts/windows.sh).
# Wine keeps its prefix in $WINEPREFIX, by default ~/.cache/tarno-wine (about 700 MB, made on the first run).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${TARNO_WIN_PLATFORM_TEST_DIR:-$top/build-win/platform-test}
compiler=x86_64-w64-mingw32-g++-posix

missing=()
command -v "$compiler" >/dev/null || missing+=("$compiler (Debian package g++-mingw-w64-x86-64)")
command -v wine >/dev/null || missing+=("wine (Debian package wine)")
if [ "${#missing[@]}" -gt 0 ]; then
    echo "wine-tests: skipped, not installed: ${missing[*]}"
    exit "${TARNO_WINE_SKIP_CODE:-0}"
fi

mkdir -p "$build"
make -s -j"$(nproc)" -f "$top/tests/win/Makefile" O="$build"
qt_include=/usr/include/x86_64-linux-gnu/qt5
if [ -d "$qt_include/QtWidgets" ]; then
    make -s -f "$top/tests/win/Makefile" O="$build" QT_INCLUDE="$qt_include" qt-side
else
    echo "wine-tests: Qt headers not found, the Qt side of the Windows build is not checked"
fi

export WINEPREFIX=${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/tarno-wine}
export WINEDEBUG=-all
mkdir -p "$(dirname "$WINEPREFIX")"
# No display: Wine runs the test without one, and injected keys must not reach a desktop session.
unset DISPLAY WAYLAND_DISPLAY
cd "$build"
status=0
# Wine takes its code page from LC_ALL even where glibc lacks the locale; LANG alone is then ignored.
LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8 timeout 300 wine "$build/wine_platform_test.exe" || status=$?
# The Wine server lingers a few seconds after the last program; wait so that nothing outlives the test.
wineserver -w || true
exit "$status"
