#!/bin/sh
# Keeps translations/*.ts in step with the program's tr() texts.
#   scripts/translations.sh check  [LUPDATE]  lists every text without a finished translation; fails if there is one
#   scripts/translations.sh update [LUPDATE]  adds new texts to the .ts files (as unfinished) and drops vanished ones
# After `update`, translate the entries marked type="unfinished" (Qt Linguist, or by hand: fill the
# <translation> and remove its type attribute), then run `check`.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
mode=${1:-check}
lupdate=${2:-}
if [ -z "$lupdate" ]; then
    lupdate=$(command -v lupdate 2>/dev/null || echo /usr/lib/qt5/bin/lupdate)
fi
sources="app ui buttons lighting pointer update style device platform profile"

run_lupdate() {
    # No source locations: line numbers would change the .ts files with every unrelated edit.
    (cd "$top" && "$lupdate" -silent -locations none -no-obsolete -I . $sources -ts "$@")
}

case $mode in
update)
    run_lupdate "$top"/translations/*.ts
    exec "$0" check "$lupdate"
    ;;
check)
    ;;
*)
    echo "usage: $0 check|update [LUPDATE]" >&2
    exit 2
    ;;
esac

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$top"/translations/*.ts "$work"/
run_lupdate "$work"/*.ts

status=0
for ts in "$work"/*.ts; do
    name=$(basename "$ts")
    report=$(awk '
        function unescape(s) {
            gsub(/&lt;/, "<", s); gsub(/&gt;/, ">", s); gsub(/&quot;/, "\"", s); gsub(/&apos;/, "\047", s)
            gsub(/&amp;/, "\\&", s)
            return s
        }
        /<name>/ { context = $0; sub(/^.*<name>/, "", context); sub(/<\/name>.*$/, "", context) }
        /<source>/ { collecting = 1; text = "" }
        collecting {
            text = text == "" ? $0 : text "\\n" $0
            if ($0 ~ /<\/source>/) {
                collecting = 0
                sub(/^.*<source>/, "", text); sub(/<\/source>.*$/, "", text)
            }
            next
        }
        /<translation/ {
            if ($0 ~ /type="(vanished|obsolete)"/) next
            if ($0 ~ /type="unfinished"/ || $0 ~ /<translation><\/translation>/ || $0 ~ /<translation\/>/)
                printf "    %s: \"%s\"\n", context, unescape(text)
        }' "$ts")
    if [ -n "$report" ]; then
        count=$(printf '%s\n' "$report" | wc -l)
        echo "translations/$name: $count text(s) without a finished translation (context: source text):"
        printf '%s\n' "$report"
        status=1
    fi
done
if [ $status -ne 0 ]; then
    echo "Run scripts/translations.sh update, translate the entries marked unfinished in translations/*.ts, commit."
else
    echo "Every text has a finished translation in: $(cd "$top/translations" && echo *.ts)"
fi
exit $status
