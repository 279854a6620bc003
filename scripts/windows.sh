#!/usr/bin/env bash
# Builds the Windows program and its installer into build-win/ (or $TARNO_WIN_BUILD_DIR) with MinGW-w64 and the
# Qt for Windows of scripts/qt-windows.sh (built first when it is not cached; about 40 minutes on 2 cores).
#   bin/        TARNO_CONNECT_PC.exe, the emulated mouse's tarno.dll and tarno-emu.exe, and the libraries and
#               plugins the program loads, ready to run under Wine; bench_bare_window.exe, the benchmarks' peer
#   installer/  TARNO_CONNECT_PC-<version>-setup.exe
# QuaZip is built once from Debian's source package into the same cache as Qt.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${TARNO_WIN_BUILD_DIR:-$top/build-win}
jobs=$(nproc)

"$top/scripts/qt-windows.sh" --packages
qt=$("$top/scripts/qt-windows.sh" | tail -n 1)
ssl=$qt/openssl
quazip=$qt/quazip
toolchain=$top/cmake/mingw-w64.cmake

if [ ! -f "$quazip/.complete" ]; then
    work=$(mktemp -d)
    (cd "$work" && apt-get source libquazip1-qt5 >source.log 2>&1)
    source_dir=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'libquazip1-qt5-*' | head -n 1)
    # Static, with zlib linked in: one library less beside the program.
    cmake -S "$source_dir" -B "$work/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DTARNO_WINDOWS_PREFIXES="$qt" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$quazip" \
        -DQUAZIP_QT_MAJOR_VERSION=5 -DBUILD_SHARED_LIBS=OFF -DQUAZIP_ENABLE_TESTS=OFF \
        -DQUAZIP_BZIP2=OFF >"$work/configure.log"
    cmake --build "$work/build" -j"$jobs" >"$work/build.log"
    cmake --install "$work/build" >/dev/null
    touch "$quazip/.complete"
    rm -rf "$work"
fi

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DTARNO_WINDOWS_PREFIXES="$qt;$ssl;$quazip" -DTARNO_BUILD_TESTS=OFF -DTARNO_BUILD_BENCHMARKS=ON >/dev/null
cmake --build "$build" -j"$jobs"

# What the program loads at run time goes beside it: Qt's libraries and plugins, OpenSSL (Qt loads it by name
# for HTTPS) and the compilers' runtime.
bin=$build/bin
stage=$build/stage
rm -rf "$stage"
mkdir -p "$stage/app/platforms" "$stage/app/styles" "$stage/emulator"
cp "$bin/TARNO_CONNECT_PC.exe" "$stage/app/"
for library in Qt5Core Qt5Gui Qt5Widgets Qt5Network; do
    cp "$qt/bin/$library.dll" "$stage/app/"
done
cp "$qt/plugins/platforms/qwindows.dll" "$stage/app/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$stage/app/styles/"
cp "$qt/bin/libssl-3-x64.dll" "$qt/bin/libcrypto-3-x64.dll" "$qt/bin/libstdc++-6.dll" "$qt/bin/libgcc_s_seh-1.dll" \
    "$qt/bin/libwinpthread-1.dll" "$stage/app/"
cp "$bin/tarno.dll" "$bin/tarno-emu.exe" "$stage/emulator/"
cp -r "$stage/app/." "$bin/"

# The installer's file lists: what each part installs, and what its uninstaller removes (only that).
list_files() {
    local part=$1 folder
    : >"$stage/$part-files.nsh"
    : >"$stage/$part-unfiles.nsh"
    while IFS= read -r -d '' folder; do
        local relative=${folder#"$stage/$part"}
        relative=${relative//\//\\}
        echo "SetOutPath \"\$INSTDIR$relative\"" >>"$stage/$part-files.nsh"
        local file
        while IFS= read -r -d '' file; do
            local name=${file##*/}
            echo "File \"$file\"" >>"$stage/$part-files.nsh"
            echo "Delete \"\$INSTDIR$relative\\$name\"" >>"$stage/$part-unfiles.nsh"
        done < <(find "$folder" -mindepth 1 -maxdepth 1 -type f -print0 | sort -z)
        [ -z "$relative" ] || echo "RMDir \"\$INSTDIR$relative\"" >>"$stage/$part-unfiles.nsh"
    done < <(find "$stage/$part" -type d -print0 | sort -z)
}
list_files app
list_files emulator

version=$(sed -n 's/^project(TarnoConnect VERSION \([0-9.]*\).*/\1/p' "$top/CMakeLists.txt")
mkdir -p "$build/installer"
setup=$build/installer/TARNO_CONNECT_PC-$version-setup.exe
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$setup" "$top/installer/tarno.nsi"
echo "Windows program: $bin/TARNO_CONNECT_PC.exe"
echo "Installer: $setup ($(du -h "$setup" | cut -f1))"
