#!/usr/bin/env bash
# The window titles as the windowing system shows them, read off a virtual X server: exactly the
# program's own, with nothing appended by the toolkit.
# Usage: window-titles.sh PATH-TO-quillomat
set -euo pipefail
app="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=xcb
# No module on the port: the receive dialog stays open over the new picture window.
export QUILLOMAT_LINK=sim:version=0
xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
  "$0" & pid=$!
  for i in $(seq 1 150); do
    xwininfo -root -tree > tree.txt 2>/dev/null || true
    grep -q "\"Bild vom GB einlesen\"" tree.txt && break
    sleep 0.2
  done
  kill $pid' "$app"
# Lines look like: 0x200005 "Quillomat - Quillo1": ("quillomat" "quillomat")  800x600+0+0  +0+0
sed -n 's/^ *0x[0-9a-f]* "\(.*\)": (.*/\1/p' tree.txt | sort -u > titles.txt
status=0
for title in "Quillomat - Quillo1" "Bild vom GB einlesen"; do
  if ! grep -qxF "$title" titles.txt; then
    echo "no window titled \"$title\"" >&2
    status=1
  fi
done
if grep -q "Quillomat.\+Quillomat" titles.txt; then
  echo "a title names the program twice:" >&2
  status=1
fi
[ $status -eq 0 ] || { echo "titles shown:" >&2; cat titles.txt >&2; }
exit $status
