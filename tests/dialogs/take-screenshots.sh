#!/usr/bin/env bash
# Takes the dialog screenshots of the README into docs/screenshots, on a virtual X server.
# Usage: tests/dialogs/take-screenshots.sh [BUILD-FOLDER]   (default: build)
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:-build}"
cmake --build "$build" --target dialog_screenshots -j 2
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" \
  "$build/tests/dialogs/dialog_screenshots" "$root/docs/screenshots"
