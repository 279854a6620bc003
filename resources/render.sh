#!/bin/sh
# Renders every drawing in svg/ to img/<name>.png at the drawing's own pixel size.
# Needs rsvg-convert (Debian: librsvg2-bin); optipng, when installed, recompresses the
# results losslessly. The build only uses the committed PNGs.
set -eu
cd "$(dirname "$0")"

if ! command -v rsvg-convert >/dev/null 2>&1; then
    echo "render.sh: rsvg-convert not found (apt-get install librsvg2-bin)" >&2
    exit 1
fi

mkdir -p img
status=0
for svg in svg/*.svg; do
    name=$(basename "$svg" .svg)
    png="img/$name.png"
    rsvg-convert --format=png --output="$png" "$svg"

    if command -v optipng >/dev/null 2>&1; then
        optipng -quiet -o5 -strip all "$png"
    fi

    if ! grep -q ">$png</file>" images.qrc; then
        echo "render.sh: $png is not listed in images.qrc" >&2
        status=1
    fi
done

# The light strip's mask is tinted pixel by pixel, so high-density screens get it at twice the size.
strip=img/mouse_strip@2x.png
rsvg-convert --zoom=2 --format=png --output="$strip" svg/mouse_strip.svg
if command -v optipng >/dev/null 2>&1; then
    optipng -quiet -o5 -strip all "$strip"
fi
if ! grep -q ">$strip</file>" images.qrc; then
    echo "render.sh: $strip is not listed in images.qrc" >&2
    status=1
fi
exit $status
