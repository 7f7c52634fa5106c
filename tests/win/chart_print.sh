#!/usr/bin/env bash
# Prints the isotope chart through the real plug-in onto a private PDF
# printer and reads the page back: the test program presses Cancel once and
# OK once, so exactly one PDF must arrive, with one page whose drawing is
# centred, as large as the margins allow, in the chart's proportions.
# The page's text must hold the chart's title (the RMS line).
# usage: chart_print.sh TEST_EXE WORK_DIR
set -euo pipefail
export LC_ALL=C  # the timings print with a point
exe=${1:?test program}
work=${2:?work folder}
root=$(cd "$(dirname "$0")/../.." && pwd)
mkdir -p "$work"
work=$(cd "$work" && pwd)
printer=$work/cups
pdfs=$printer/pdf
win() { echo "Z:${1//\//\\}"; }
fail() { echo "chart_print: $*" >&2; exit 1; }
seconds_since() { awk -v from="$1" -v now="$EPOCHREALTIME" 'BEGIN { printf "%.1f", now - from }'; }

trap '"$root/scripts/pdf-printer" stop "$printer"' EXIT
started=$EPOCHREALTIME
"$root/scripts/pdf-printer" start "$printer"
echo "printer ready in $(seconds_since "$started") s"
export CUPS_SERVER=$("$root/scripts/pdf-printer" socket "$printer")
rm -f "$pdfs"/* "$work/notes.txt" "$work/result.xml" "$work"/page*

started=$EPOCHREALTIME
IONSIFT_PRINT_NOTES=$(win "$work/notes.txt") timeout 180 "$root/scripts/wine-run" \
  "$(win "$exe")" --gtest_output="xml:$(win "$work")\\result.xml" >"$work/log.txt" 2>&1 || true
echo "test program ran $(seconds_since "$started") s"
cat "$work/log.txt"
if ! grep -q 'failures="0"' "$work/result.xml" 2>/dev/null || grep -q '<failure' "$work/result.xml"; then
  fail "the print test program failed"
fi

# The job leaves the queue when cups-pdf has written the whole file.
started=$EPOCHREALTIME
for _ in $(seq 300); do
  [ -z "$(lpstat -o 2>/dev/null)" ] && compgen -G "$pdfs/*.pdf" >/dev/null && break
  sleep 0.1
done
echo "PDF written $(seconds_since "$started") s after the program ended"
mapfile -t printed < <(find "$pdfs" -name '*.pdf')
[ "${#printed[@]}" = 1 ] || fail "expected one PDF (one job, for OK only), found ${#printed[@]} in $pdfs"
pdf=${printed[0]}
cp "$pdf" "$work/page.pdf"
echo "printed: $work/page.pdf"

info=$(pdfinfo "$pdf")
pages=$(awk '/^Pages:/ {print $2}' <<<"$info")
[ "$pages" = 1 ] || fail "expected one page, the PDF has $pages"
# The program's notes, written with Windows line ends.
notes=$(tr -d '\r' <"$work/notes.txt")
caption=$(sed -n 's/^title=//p' <<<"$notes")
title=$(sed -n 's/^Title: *//p' <<<"$info")
[ "$title" = "$caption" ] || fail "document name \"$title\", expected the window caption \"$caption\""
chartTitle=$(sed -n 's/^chart-title=//p' <<<"$notes")
[ -n "$chartTitle" ] || fail "the program noted no chart title"
pdftotext "$pdf" - | grep -qF "$chartTitle" || fail "the page lacks the chart title \"$chartTitle\""
echo "chart title on the page: $chartTitle"

# The drawing's bounding box on the page rendered at 30 dpi: whatever is not
# white, with a white border added so that a box touching the edge still trims.
pdftoppm -r 30 -gray -singlefile "$pdf" "$work/page"
read -r pageWidth pageHeight < <(convert "$work/page.pgm" -format '%w %h\n' info:)
box=$(convert "$work/page.pgm" -bordercolor white -border 1 -fuzz 3% -format '%@' info:)
[[ $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || fail "nothing drawn on the page ($box)"
read -r chartWidth chartHeight < <(sed -n 's/^chart=\([0-9]*\)x\([0-9]*\)$/\1 \2/p' <<<"$notes")
echo "page ${pageWidth}x${pageHeight}, drawing $box, chart ${chartWidth}x${chartHeight}"
awk -v pw="$pageWidth" -v ph="$pageHeight" -v w="${BASH_REMATCH[1]}" -v h="${BASH_REMATCH[2]}" \
    -v x="$((BASH_REMATCH[3] - 1))" -v y="$((BASH_REMATCH[4] - 1))" \
    -v cw="$chartWidth" -v ch="$chartHeight" '
  function abs(v) { return v < 0 ? -v : v }
  BEGIN {
    bad = ""
    if (abs(w / h - cw / ch) > 0.04 * cw / ch) bad = bad " proportions " w / h " not " cw / ch
    if (abs(x - (pw - x - w)) > 3) bad = bad " not centred across"
    if (abs(y - (ph - y - h)) > 3) bad = bad " not centred down"
    # As large as fits: 9/10 of the page along the side that binds.
    fill = w / pw > h / ph ? w / pw : h / ph
    if (fill < 0.82 || fill > 0.92) bad = bad " fills " fill " of the page, not 0.9"
    if (bad != "") { print "chart_print: drawing" bad > "/dev/stderr"; exit 1 }
  }' || fail "the drawing is not placed as expected"
echo "chart page checked"
