#!/usr/bin/env bash
# Cross-builds Qt 5.15 for Windows (MinGW-w64) from Debian's source packages, with OpenSSL 3.0 beside it, once per
# machine. The result goes to $TARNO_QT_WIN, by default ~/.cache/tarno-qt-mingw/<version>, outside the clone; a
# complete one is reused as it is, so a second run does nothing. Prints the prefix on its last line.
# With --packages it only installs the packages it needs (those of scripts/windows.sh too), so that the build
# itself can run beside other work without taking the package manager's lock.
#
# Shared, not static: the installer ships Qt's DLLs beside the program, the tests link in seconds instead of one
# static Qt each, and Qt's CMake files then need no hand-written list of plugins and system libraries.
# Only what the program and its tests use is built: Core, Gui, Widgets, Network, Test, the qwindows platform
# plugin and the Windows style. Translations come from the host's lrelease (the same Qt version).
set -euo pipefail
qt_version=5.15.8
cache=${XDG_CACHE_HOME:-$HOME/.cache}/tarno-qt-mingw
prefix=${TARNO_QT_WIN:-$cache/$qt_version}
work=${TARNO_QT_WIN_WORK:-$cache/work-$qt_version}
jobs=$(nproc)

# The packages of the build, and Debian's source packages: a deb-src copy of each deb entry.
install_packages() {
    if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
    local sources=/etc/apt/sources.list.d/debian.sources src_list=/etc/apt/sources.list.d/tarno-deb-src.sources
    local update=false
    if [ ! -f "$src_list" ] && [ -f "$sources" ]; then
        sed 's/^Types: deb$/Types: deb-src/' "$sources" | "${sudo[@]}" tee "$src_list" >/dev/null
        update=true
    fi
    local packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix libz-mingw-w64-dev dpkg-dev perl python3
        make curl ca-certificates xz-utils qttools5-dev-tools cmake ninja-build nsis) missing=()
    for package in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
    done
    if $update || [ "${#missing[@]}" -gt 0 ]; then
        "${sudo[@]}" apt-get update
    fi
    if [ "${#missing[@]}" -gt 0 ]; then
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
    fi
}

case "${1:-}" in
    --packages) install_packages; exit 0 ;;
    "") ;;
    *) echo "usage: $0 [--packages]" >&2; exit 2 ;;
esac
if [ -f "$prefix/.complete" ]; then
    echo "Qt for Windows: cached"
    echo "$prefix"
    exit 0
fi
start=$(date +%s)
install_packages

mkdir -p "$work"
cd "$work"

# Debian's default MinGW compilers use win32 threads, which have no std::mutex: the posix ones come first on PATH.
mkdir -p bin
for tool in gcc g++ c++ cpp; do
    ln -sfn "/usr/bin/x86_64-w64-mingw32-$tool-posix" "bin/x86_64-w64-mingw32-$tool"
done
export PATH=$work/bin:$PATH

# OpenSSL 3.0: the .dsc is not always served, the upstream tarball is; its hash comes from the package index.
ssl_prefix=$prefix/openssl
if [ ! -f "$ssl_prefix/.complete" ]; then
    # Asked from an empty folder: apt leaves out files that the current one already holds.
    uri_line=$(cd "$(mktemp -d)" && apt-get source --print-uris openssl | grep -E "^'[a-z]+://[^']*orig\.tar\.gz'" | head -n 1)
    ssl_url=$(echo "$uri_line" | sed -E "s/^'([^']*)'.*/\1/")
    ssl_tar=$(echo "$uri_line" | awk '{ print $2 }')
    ssl_sha=$(echo "$uri_line" | grep -oE 'SHA256:[0-9a-f]+' | cut -d: -f2)
    [ -f "$ssl_tar" ] || curl -fsSL -o "$ssl_tar.part" "$ssl_url"
    [ -f "$ssl_tar" ] || mv "$ssl_tar.part" "$ssl_tar"
    echo "$ssl_sha  $ssl_tar" | sha256sum -c --quiet
    rm -rf openssl-src && mkdir openssl-src
    tar -xzf "$ssl_tar" -C openssl-src --strip-components=1
    (
        cd openssl-src
        ./Configure mingw64 --cross-compile-prefix=x86_64-w64-mingw32- --prefix="$ssl_prefix" --libdir=lib \
            no-tests shared >configure.log
        # Only the DLLs and their import libraries: build_libs would compile everything a second time, static.
        make -j"$jobs" build_generated >make.log
        make -j"$jobs" libcrypto-3-x64.dll libssl-3-x64.dll >>make.log
        mkdir -p "$ssl_prefix/bin" "$ssl_prefix/lib" "$ssl_prefix/include"
        cp -r include/openssl "$ssl_prefix/include/"
        cp libcrypto-3-x64.dll libssl-3-x64.dll "$ssl_prefix/bin/"
        cp libcrypto.dll.a libssl.dll.a "$ssl_prefix/lib/"
    )
    touch "$ssl_prefix/.complete"
fi

# Qt from Debian's source package, with Debian's patches (one of them is what OpenSSL 3 needs).
if [ ! -d qtbase ]; then
    rm -rf qtbase-src && mkdir qtbase-src
    (cd qtbase-src && apt-get source qtbase-opensource-src >../source.log 2>&1)
    mv "$(find qtbase-src -mindepth 1 -maxdepth 1 -type d -name 'qtbase-opensource-src-*' | head -n 1)" qtbase
fi
# The tarball leaves out src/3rdparty/wintab, which the qwindows plugin includes: Wine's copies of its two
# headers stand in, with the three macros of Wine's own headers that they use.
wintab=qtbase/src/3rdparty/wintab
if [ ! -f "$wintab/pktdef.h" ]; then
    rm -rf wine-dev && mkdir wine-dev
    (cd wine-dev && apt-get download libwine-dev >/dev/null && dpkg-deb -x ./*.deb .)
    mkdir -p "$wintab"
    {
        printf '#ifndef WINELIB_NAME_AW\n#define WINELIB_NAME_AW(func) func##W\n#endif\n'
        printf '#ifndef DECL_WINELIB_TYPE_AW\n#define DECL_WINELIB_TYPE_AW(type) typedef type##W type;\n#endif\n'
        printf '#ifndef API\n#define API WINAPI\n#endif\n'
        cat "$(find wine-dev -name wintab.h | head -n 1)"
    } >"$wintab/wintab.h"
    cp "$(find wine-dev -name pktdef.h | head -n 1)" "$wintab/pktdef.h"
fi

rm -rf qt-build && mkdir qt-build
cd qt-build
# configure builds qmake with make, serially unless MAKEFLAGS says otherwise.
MAKEFLAGS=-j$jobs ../qtbase/configure -prefix "$prefix" -release -strip -opensource -confirm-license \
    -xplatform win32-g++ -device-option CROSS_COMPILE=x86_64-w64-mingw32- \
    -nomake examples -nomake tests -no-opengl -no-dbus -no-direct2d -no-freetype \
    -no-feature-vulkan -no-feature-sql -no-feature-xml -no-feature-concurrent -no-feature-printer \
    -no-feature-gif -no-feature-ico -no-feature-jpeg \
    -qt-zlib -qt-libpng -qt-pcre -qt-harfbuzz \
    -openssl-runtime OPENSSL_INCDIR="$ssl_prefix/include" >configure.log 2>&1 || {
    tail -n 40 configure.log >&2
    exit 1
}
make -j"$jobs" >make.log 2>&1 || {
    grep -n -m 20 -E 'error|Error' make.log >&2
    exit 1
}
make install >install.log 2>&1
# The MinGW runtime that everything built with these compilers needs beside it.
runtime=$(dirname "$(x86_64-w64-mingw32-g++ -print-libgcc-file-name)")
for dll in libstdc++-6.dll libgcc_s_seh-1.dll; do
    cp "$runtime/$dll" "$prefix/bin/"
done
cp /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll "$prefix/bin/"
cp "$ssl_prefix/bin/"*.dll "$prefix/bin/"
# The first build's time, for scripts/bench.sh.
echo "$(($(date +%s) - start))" >"$prefix/build-seconds"
touch "$prefix/.complete"
# The sources and objects (about 1.6 GB) are not needed again.
cd /
rm -rf "$work"
echo "Qt for Windows: built in $(($(date +%s) - start)) s, $(du -sh "$prefix" | cut -f1)"
echo "$prefix"
