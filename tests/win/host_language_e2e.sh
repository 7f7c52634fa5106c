#!/usr/bin/env bash
# End to end: the stand-in host, set to a language, loads the real plug-in and
# its Plug-ins menu shows the captions of that language's catalog.
# usage: host_language_e2e.sh STAGE_DIR LANGUAGE
set -euo pipefail
stage=${1:?stage folder}
language=${2:?language}
root=$(cd "$(dirname "$0")/../.." && pwd)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$stage"/. "$work/"
printf '[Host]\r\nLanguage=%s\r\n' "$language" > "$work/ionsift-host.ini"

catalog="$work/Locale/$language/RADURUR.evidodi"
caption() { grep -a -P "^$1\t" "$catalog" | cut -f2- | tr -d '\r'; }
expected="menu Plug-ins |  | $(caption 50); $(caption 39)"

log=$("$root/scripts/wine-run" "Z:${work//\//\\}\\ionsift-host.exe" \
        --screenshot "Z:${work//\//\\}\\shot.bmp" 2>&1 | tr -d '\r')
if ! grep -a -F -x -q "$expected" <<<"$log"; then
  echo "expected the line: $expected"
  echo "host log:"; echo "$log"
  exit 1
fi
grep -a -q "^Get PrfLang | 0 | $language\$" <<<"$log" || { echo "no Get PrfLang answered $language"; echo "$log"; exit 1; }
echo "host in $language shows: $(caption 50); $(caption 39)"
