#!/usr/bin/env bash
# Installs what the build, the program and the tests need on Debian 12. With --tests (what ./test.sh passes) it
# also installs what only the tests need: MinGW-w64 and Wine, which cross-build the Windows layer's test program
# and run it (about 1.4 GB on disk once Wine has made its first prefix), a small system tray (trayer), and a
# compositing manager under which the Windows program's translucent window blends (xcompmgr).
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qtbase5-dev qttools5-dev qttools5-dev-tools libquazip1-qt5-dev libssl-dev
    xvfb xauth xdotool fonts-wqy-microhei librsvg2-bin libx11-dev
    nginx-light openssl ca-certificates
)
case "${1:-}" in
    --tests) packages+=(g++-mingw-w64-x86-64 wine trayer xcompmgr) ;;
    "") ;;
    *) echo "usage: $0 [--tests]" >&2; exit 2 ;;
esac

if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ "${#missing[@]}" -gt 0 ]; then
    "${sudo[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
