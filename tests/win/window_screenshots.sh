#!/usr/bin/env bash
# Screenshots of the main tool window and the about box in English and German: runs the test
# program on a Wine virtual desktop (which draws window frames, unlike the
# bare X server), checks its result, and converts the pictures to PNG.
# usage: window_screenshots.sh TEST_EXE OUTPUT_DIR
set -euo pipefail
exe=${1:?test program}
out=${2:?output folder}
root=$(cd "$(dirname "$0")/../.." && pwd)

mkdir -p "$out"
rm -f "$out"/dlg-*.bmp "$out"/dlg-*.png "$out"/sheet-*.bmp "$out"/sheet-*.png "$out/result.xml"
win() { echo "Z:${1//\//\\}"; }

IONSIFT_SCREENSHOT_DIR=$(win "$out") timeout 180 "$root/scripts/wine-run" \
  explorer /desktop=ionsift-shot,1024x768 "$(win "$exe")" \
  --gtest_output="xml:$(win "$out")\\result.xml" >"$out/log.txt" 2>&1 || true

if ! grep -q 'failures="0"' "$out/result.xml" 2>/dev/null || grep -q '<failure' "$out/result.xml"; then
  echo "screenshot test failed:"; cat "$out/log.txt"; cat "$out/result.xml" 2>/dev/null || true
  exit 1
fi
for window in main about; do
  for language in english german; do
    bmp=$out/dlg-$window-$language.bmp
    [ -s "$bmp" ] || { echo "no picture of the $window window in $language"; exit 1; }
    convert "$bmp" "$out/dlg-$window-$language.png"
    rm -f "$bmp"
    echo "$window window in $language: $out/dlg-$window-$language.png"
  done
done
for shot in main-results main-chart main-ions main-fit main-several-ions spectra; do
  bmp=$out/dlg-$shot.bmp
  [ -s "$bmp" ] || { echo "no picture of the $shot"; exit 1; }
  convert "$bmp" "$out/dlg-$shot.png"
  rm -f "$bmp"
  echo "$shot: $out/dlg-$shot.png"
done
bmp=$out/sheet-stand-in.bmp
[ -s "$bmp" ] || { echo "no picture of the spreadsheet stand-in"; exit 1; }
convert "$bmp" "$out/sheet-stand-in.png"
rm -f "$bmp"
echo "spreadsheet stand-in: $out/sheet-stand-in.png"
