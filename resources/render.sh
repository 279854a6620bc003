#!/bin/sh
# Renders every drawing in svg/ to img/<name>.png at the drawing's own pixel size and to img/<name>@2x.png at
# twice that, for screens scaled to 150 % and more. Needs rsvg-convert (Debian: librsvg2-bin, installed by
# scripts/install-deps.sh); optipng, when installed, recompresses the results losslessly. The build only uses
# the committed PNGs.
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
    for zoom in 1 2; do
        if [ "$zoom" = 1 ]; then png="img/$name.png"; else png="img/$name@2x.png"; fi
        rsvg-convert --format=png --zoom="$zoom" --output="$png" "$svg"

        if command -v optipng >/dev/null 2>&1; then
            optipng -quiet -o5 -strip all "$png"
        fi

        if ! grep -q ">$png</file>" images.qrc; then
            echo "render.sh: $png is not listed in images.qrc" >&2
            status=1
        fi
    done
done

exit $status
