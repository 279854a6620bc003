#!/usr/bin/env bash
# Builds the benchmarks as build.sh builds the program (RelWithDebInfo) and runs them all: Google Benchmark
# programs for the in-process figures, the whole-process ones (start-up, memory, idle CPU) in a virtual X server.
# Each figure is measured side by side with its limit or peer in the same run. Last, it times first builds from
# nothing, as on a new machine, and the Windows program: its build, its installer and its start-up under Wine.
# Prints a markdown table and keeps the raw results (JSON) in <build>/bench-results/. With --windows only the
# Windows figures are measured (and the Linux program's first build, their peer) and shown.
# Build folder: build-bench/ (or $TARNO_BENCH_BUILD_DIR). Needs libbenchmark-dev, libxdamage-dev, nginx-light,
# openssl, curl, jq, xvfb, xauth, xdotool and trayer, and what scripts/qt-windows.sh --packages and
# scripts/install-deps.sh --tests install (MinGW-w64, NSIS, Wine). Run it on an otherwise idle machine.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${TARNO_BENCH_BUILD_DIR:-$top/build-bench}
results="$build/bench-results"
linux=true
[ "${1:-}" = --windows ] && linux=false
for tool in curl jq nginx openssl xvfb-run xdotool trayer; do
    if ! PATH="$PATH:/usr/sbin" command -v "$tool" >/dev/null; then
        echo "bench: $tool is missing (packages: curl jq nginx-light openssl xvfb xauth xdotool trayer)" >&2
        exit 1
    fi
done

# Standard output carries only the table.
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNO_BUILD_TESTS=ON \
    -DTARNO_BUILD_BENCHMARKS=ON >&2
cmake --build "$build" -j"$(nproc)" --target bench_colorpicker bench_transfer bench_interaction bench_download \
    bench_process bench_flash >&2
mkdir -p "$results"

# The program's diagnostics would only slow every figure down alike.
export QT_LOGGING_RULES="*.debug=false"
run() {
    local name=$1
    shift
    echo "== $name" >&2
    "$@" --benchmark_out="$results/$name.json" --benchmark_out_format=json >&2
}
if $linux; then
    run colorpicker "$build/bin/bench_colorpicker"
    run transfer "$build/bin/bench_transfer"
    run interaction "$build/bin/bench_interaction"
    run download "$build/bin/bench_download"
    run process xvfb-run -a -s "-screen 0 1920x1080x24" "$build/bin/bench_process"
    run flash xvfb-run -a -s "-screen 0 1920x1080x24" "$build/bin/bench_flash"
else
    # Only the Windows rows are shown; the others' files stand empty for the table's one program.
    for name in colorpicker transfer interaction download process flash; do
        echo '{ "benchmarks": [] }' > "$results/$name.json"
    done
fi

# First run on a new machine: scripts/build.sh into fresh folders without a compiler cache. What ./run.sh builds,
# then what ./test.sh adds in the same folder, against everything at once (what ./run.sh built before).
echo "== first run" >&2
seconds_to_build() {
    local folder=$1 start=$EPOCHREALTIME
    shift
    env -u CMAKE_C_COMPILER_LAUNCHER -u CMAKE_CXX_COMPILER_LAUNCHER CCACHE_DISABLE=1 TARNO_BUILD_DIR="$folder" \
        "$top/scripts/build.sh" -DTARNO_BUILD_TESTS=ON "$@" >&2
    awk -v start="$start" -v end="$EPOCHREALTIME" 'BEGIN { print end - start }'
}
seconds_to_build_windows() {
    local start=$EPOCHREALTIME
    env -u CMAKE_C_COMPILER_LAUNCHER -u CMAKE_CXX_COMPILER_LAUNCHER CCACHE_DISABLE=1 "$top/scripts/windows.sh" >&2
    awk -v start="$start" -v end="$EPOCHREALTIME" 'BEGIN { print end - start }'
}
fresh="$build/first-run"
rm -rf "$fresh"
program_s=$(seconds_to_build "$fresh/split" --program-only)
rest_s=null
all_s=null
if $linux; then
    rest_s=$(seconds_to_build "$fresh/split")
    all_s=$(seconds_to_build "$fresh/all")
fi
rm -rf "$fresh"
jq -n --argjson program "$program_s" --argjson rest "$rest_s" --argjson all "$all_s" \
    '{ program_s: $program, rest_s: $rest, all_s: $all }' > "$results/firstrun.json"

# Windows. Qt for Windows from nothing takes 37 minutes of processor time: it is timed again only with
# TARNO_BENCH_QT_FROM_NOTHING=1 (into a fresh folder); otherwise the time scripts/qt-windows.sh recorded when it
# built the cache is shown. The program and its installer are built from nothing with that Qt, and the installed
# program is started under Wine beside the bare window built the same way.
echo "== Windows" >&2
win_fresh="$build/first-run-windows"
rm -rf "$win_fresh"
if [ "${TARNO_BENCH_QT_FROM_NOTHING:-0}" = 1 ]; then
    start=$EPOCHREALTIME
    qt=$(TARNO_QT_WIN="$win_fresh/qt" "$top/scripts/qt-windows.sh" | tail -n 1)
    qt_s=$(awk -v start="$start" -v end="$EPOCHREALTIME" 'BEGIN { print end - start }')
    export TARNO_QT_WIN=$qt
else
    qt=$("$top/scripts/qt-windows.sh" | tail -n 1)
    qt_s=$(cat "$qt/build-seconds" 2>/dev/null || echo null)
fi
qt_MiB=$(du -sm "$qt" | cut -f1)
win_build_s=$(TARNO_WIN_BUILD_DIR="$win_fresh/build" seconds_to_build_windows)
setup=$(ls "$win_fresh/build/installer/"TARNO_CONNECT_PC-*-setup.exe)
setup_MiB=$(du -m --apparent-size "$setup" | cut -f1)
installed_MiB=$(du -cm --apparent-size "$win_fresh/build/stage/app" "$win_fresh/build/stage/emulator" | tail -n 1 | cut -f1)
export WINEPREFIX="$win_fresh/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
(unset DISPLAY; wineboot -i >&2 && wine "$setup" /S /EMULATOR >&2 && wineserver -w)
install_dir=$(find "$WINEPREFIX/drive_c/users" -path '*/AppData/Local/Programs/TARNO CONNECT' -type d | head -n 1)
cp "$win_fresh/build/bin/bench_bare_window.exe" "$install_dir/"
TARNO_BENCH_WINE_DIR=$install_dir run wine xvfb-run -a -s "-screen 0 1920x1080x24" "$build/bin/bench_process" \
    --benchmark_filter=wineStartUp
wineserver -k || true
unset WINEPREFIX
jq -n --argjson qt "$qt_s" --argjson qt_MiB "$qt_MiB" --argjson build "$win_build_s" --argjson setup "$setup_MiB" \
    --argjson installed "$installed_MiB" \
    '{ qt_s: $qt, qt_MiB: $qt_MiB, program_s: $build, setup_MiB: $setup, installed_MiB: $installed }' \
    > "$results/windows.json"
rm -rf "$win_fresh"

jq -r -n \
    --slurpfile colour "$results/colorpicker.json" --slurpfile transfer "$results/transfer.json" \
    --slurpfile interaction "$results/interaction.json" --slurpfile download "$results/download.json" \
    --slurpfile process "$results/process.json" --slurpfile flash "$results/flash.json" \
    --slurpfile firstrun "$results/firstrun.json" --slurpfile windows "$results/windows.json" \
    --slurpfile wine "$results/wine.json" --argjson linux "$linux" '
def run($file; $name): $file[0].benchmarks[] | select(.name | startswith($name));
def round($places): (. * pow(10; $places) | round) / pow(10; $places);
def ms: (if .time_unit == "us" then .real_time / 1000 elif .time_unit == "s" then .real_time * 1000
         else .real_time end);
def us: ms * 1000;
def row($figure; $value; $peer; $ratio): "| \($figure) | \($value) | \($peer) | \($ratio) |";
def startUpPeers($bare; $text; $places; $unit):
    "bare Qt window: \($bare | round($places)) \($unit); with one line of text: \($text | round($places)) \($unit)";
def ratios($bare; $text): "\($bare | round(2)); \($text | round(2))";

([run($transfer; "transferThroughLibrary/1000/")][0]) as $slow |
([run($transfer; "transferThroughLibrary/0/")][0]) as $fast |
([run($transfer; "transferProgramOnly")][0]) as $own |
([run($transfer; "crcOf96KiB")][0]) as $crc |
([run($flash; "flashThroughDialog")][0]) as $program |
([run($process; "startUp/0/1/")][0]) as $plain |
([run($process; "startUp/1/1/")][0]) as $glx |
([run($process; "startUp/0/2/")][0]) as $double |
([run($process; "idleCpu")][0]) as $idle |
([run($download; "downloadAgainstCurl")][0]) as $dl |
([run($colour; "imageOnHueChange")][0]) as $image |
([run($colour; "floatingPointImageOnHueChange")][0]) as $floatImage |
([run($colour; "paintOnHueChange")][0]) as $paintHue |
([run($colour; "repaintWithoutHueChange")][0]) as $repaint |
$firstrun[0] as $first |
$windows[0] as $win |
([run($wine; "wineStartUp")][0]) as $wineStart |
"| figure | measured | limit or peer (same run) | ratio |",
"|---|---|---|---|",
(if $linux then
row("First run, build of what ./run.sh runs (fresh folder, no compiler cache)"; "\($first.program_s | round(0)) s";
    "everything at once: \($first.all_s | round(0)) s"; $first.program_s / $first.all_s | round(2)),
row("First run, then ./test.sh: build of the rest in the same folder"; "\($first.rest_s | round(0)) s (both: \($first.program_s + $first.rest_s | round(0)) s)";
    "everything at once: \($first.all_s | round(0)) s"; ($first.program_s + $first.rest_s) / $first.all_s | round(2))
else empty end),
row("Qt for Windows, first build from nothing (scripts/qt-windows.sh: OpenSSL, Qt, installed \($win.qt_MiB) MiB)";
    (if $win.qt_s == null then "not recorded" else "\($win.qt_s / 60 | round(1)) min" end);
    "CI limit for the whole run: 90 min"; (if $win.qt_s == null then "–" else $win.qt_s / 5400 | round(2) end)),
row("Windows program and installer, first build with Qt cached (scripts/windows.sh, fresh folder)";
    "\($win.program_s | round(0)) s"; "the Linux program'"'"'s (what ./run.sh builds): \($first.program_s | round(0)) s";
    $win.program_s / $first.program_s | round(2)),
row("Installer (NSIS, LZMA, the emulated mouse included)"; "\($win.setup_MiB) MiB";
    "what it installs: \($win.installed_MiB) MiB"; $win.setup_MiB / $win.installed_MiB | round(2)),
row("Under Wine, installed program, exec to first frame"; "\($wineStart | ms | round(0)) ms";
    "bare Qt window built the same way: \($wineStart.bare_frame_ms | round(0)) ms"; $wineStart.frame_ratio | round(2)),
row("Under Wine, installed program, resident memory after start-up"; "\($wineStart.rss_MiB | round(1)) MiB";
    "bare Qt window: \($wineStart.bare_rss_MiB | round(1)) MiB"; $wineStart.rss_ratio | round(2)),
(if $linux then
row("Firmware transfer, 96 KiB, emulated library at 1000 µs per call"; "\($slow | ms / 1000 | round(2)) s";
    "floor \($slow.packets) packets × 1 ms = \($slow.floor_ms / 1000 | round(2)) s"; $slow.ratio_to_floor | round(3)),
row("Firmware update, whole program through its dialog, 96 KiB, emulated mouse at 1000 µs per call (click to finish packet)";
    "\($program | ms / 1000 | round(3)) s (best of \($program.iterations): \($program.best_ms / 1000 | round(3)) s, \($program.best_ratio_to_floor | round(3)))";
    "floor \($program.packets) packets × 1 ms = \($program.floor_ms / 1000 | round(3)) s"; $program.ratio_to_floor | round(3)),
row("Firmware transfer, cost per packet without latency (program + emulated library)";
    "\($fast.per_packet_us | round(1)) µs"; "1 ms per packet"; $fast.ratio_to_floor | round(4)),
row("Firmware transfer, cost per packet, program alone"; "\($own.per_packet_us | round(2)) µs"; "1 ms per packet";
    $own.ratio_to_floor | round(5)),
row("CRC-32 (STM32) over 96 KiB"; "\($crc | us | round(0)) µs"; "zlib crc32: \($crc.zlib_us | round(0)) µs";
    $crc.ratio_to_zlib | round(1)),
(run($interaction; "sliderReleaseToCommand") |
    row("DPI slider release to bytes at the library"; "\(us | round(2)) µs"; "one frame at 60 Hz (16.7 ms)";
        .ratio_to_frame | round(6))),
(run($interaction; "modeClickToCommand") |
    row("Lighting mode click to bytes at the library"; "\(us | round(1)) µs"; "one frame at 60 Hz (16.7 ms)";
        .ratio_to_frame | round(4))),
(run($interaction; "reportRateClickToCommand") |
    row("Report-rate click to bytes at the library"; "\(us | round(2)) µs"; "one frame at 60 Hz (16.7 ms)";
        .ratio_to_frame | round(6))),
(["start-up", "plug-in", "opening button 2'"'"'s dialog", "factory reset", "on the pointer page (DPI poll)",
  "export from the settings page (once the file is named)"] | to_entries[] | .key as $action | .value as $name |
    run($process; "pingsDuringAction/\($action)/") |
    row("Longest unanswered window-manager ping, \($name), mouse silent (reads time out after 300 ms)";
        "\(.silent_ms | round(1)) ms"; "goal 50 ms; mouse answering: \(.answering_ms | round(1)) ms";
        .silent_ms / 50 | round(2))),
row("Start-up, exec to first frame, QT_XCB_GL_INTEGRATION=none"; "\($plain | ms | round(0)) ms";
    startUpPeers($plain.bare_frame_ms; $plain.text_frame_ms; 0; "ms"); ratios($plain.frame_ratio; $plain.text_frame_ratio)),
row("Start-up, exec to first frame, default (GLX probed)"; "\($glx | ms | round(0)) ms";
    startUpPeers($glx.bare_frame_ms; $glx.text_frame_ms; 0; "ms"); ratios($glx.frame_ratio; $glx.text_frame_ratio)),
row("Start-up, exec to first frame at 200 % (QT_SCALE_FACTOR=2), QT_XCB_GL_INTEGRATION=none";
    "\($double | ms | round(0)) ms"; startUpPeers($double.bare_frame_ms; $double.text_frame_ms; 0; "ms");
    ratios($double.frame_ratio; $double.text_frame_ratio)),
row("Resident memory after start-up, QT_XCB_GL_INTEGRATION=none"; "\($plain.rss_MiB | round(1)) MiB";
    startUpPeers($plain.bare_rss_MiB; $plain.text_rss_MiB; 1; "MiB"); ratios($plain.rss_ratio; $plain.text_rss_ratio)),
row("Resident memory after start-up, default (GLX probed)"; "\($glx.rss_MiB | round(1)) MiB";
    startUpPeers($glx.bare_rss_MiB; $glx.text_rss_MiB; 1; "MiB"); ratios($glx.rss_ratio; $glx.text_rss_ratio)),
row("Resident memory after start-up at 200 % (QT_SCALE_FACTOR=2), QT_XCB_GL_INTEGRATION=none";
    "\($double.rss_MiB | round(1)) MiB"; startUpPeers($double.bare_rss_MiB; $double.text_rss_MiB; 1; "MiB");
    ratios($double.rss_ratio; $double.text_rss_ratio)),
row("Idle CPU, buttons page"; "\($idle.buttons_cpu_pct | round(3)) % of a core";
    "bare Qt window: \($idle.bare_cpu_pct | round(3)) %"; "–"),
row("Idle CPU, lighting page, \" 呼吸\" at speed 8 (pictured strip redrawn 10 times/s)";
    "\($idle.breathing_cpu_pct | round(3)) % (\($idle.strip_frame_ms | round(2)) ms per frame)";
    "goal 1 % of a core; buttons page: \($idle.buttons_cpu_pct | round(3)) %"; $idle.breathing_cpu_pct / 1 | round(2)),
row("Idle CPU, lighting page, \" 轮播\" at speed 8"; "\($idle.cycle_cpu_pct | round(3)) %";
    "goal 1 % of a core"; $idle.cycle_cpu_pct / 1 | round(2)),
row("Idle CPU, lighting page, \" 射击\""; "\($idle.shooting_cpu_pct | round(3)) %";
    "goal 1 % of a core"; $idle.shooting_cpu_pct / 1 | round(2)),
row("Idle CPU, lighting page, \" 狂暴\""; "\($idle.frenzy_cpu_pct | round(3)) %";
    "goal 1 % of a core"; $idle.frenzy_cpu_pct / 1 | round(2)),
row("Idle CPU, lighting page, \" 常亮\" (pictured strip still)"; "\($idle.steady_cpu_pct | round(3)) %";
    "buttons page: \($idle.buttons_cpu_pct | round(3)) %"; "–"),
row("Idle CPU, pointer page (5 DPI polls/s)"; "\($idle.pointer_cpu_pct | round(3)) % (\($idle.poll_cpu_ms | round(2)) ms per poll)";
    "poll period 200 ms"; $idle.poll_cpu_ms / 200 | round(4)),
row("Idle CPU, hidden to the tray"; "\($idle.hidden_cpu_pct | round(3)) %";
    "bare Qt window: \($idle.bare_cpu_pct | round(3)) %"; "–"),
row("Colour square, image build on a hue change"; "\($image | us | round(0)) µs";
    "floating-point per pixel: \($floatImage | us | round(0)) µs"; ($image | us) / ($floatImage | us) | round(3)),
row("Colour square, repaint without a hue change"; "\($repaint | us | round(0)) µs";
    "repaint with a hue change: \($paintHue | us | round(0)) µs"; ($repaint | us) / ($paintHue | us) | round(3)),
row("Download of 200 MiB (HTTPS, loopback nginx), throughput"; "\($dl.service_MiBps | round(0)) MiB/s";
    "curl: \($dl.curl_MiBps | round(0)) MiB/s; Qt without hashing or resuming: \($dl.floor_MiBps | round(0)) MiB/s";
    ratios($dl.throughput_ratio; $dl.floor_ratio)),
row("Download of 200 MiB, processor time of the process"; "\($dl.cpu_ratio | round(2)) × curl"; "curl";
    $dl.cpu_ratio | round(2)),
row("Download of 200 MiB, peak resident memory of the process";
    "\($dl.service_peak_MiB | round(1)) MiB (+\($dl.service_growth_MiB | round(1)) MiB while downloading)";
    "curl: \($dl.curl_peak_MiB | round(1)) MiB"; $dl.peak_ratio | round(2))
else empty end)
'
