#!/usr/bin/env bash
# The isotope chart with a red and a blue series, rendered by the chart
# control's test and converted to PNG.
# usage: chart_picture.sh TEST_EXE OUTPUT_DIR
set -euo pipefail
exe=${1:?test program}
out=${2:?output folder}
root=$(cd "$(dirname "$0")/../.." && pwd)
mkdir -p "$out"
bmp=$out/chart-both-series.bmp
rm -f "$bmp" "$out/chart-both-series.png"
IONSIFT_CHART_PICTURE="Z:${bmp//\//\\}" "$root/scripts/wine-run" "$exe" \
  --gtest_filter=ChartControlTest.PictureOfBothSeries
[ -s "$bmp" ] || { echo "no picture of the chart"; exit 1; }
convert "$bmp" "$out/chart-both-series.png"
rm -f "$bmp"
echo "chart: $out/chart-both-series.png"
