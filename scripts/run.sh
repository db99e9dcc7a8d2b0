#!/usr/bin/env bash
# The main job: receive a picture. With a display, the desktop program; without one, the CLI.
# Without a link module the simulated console prints its built-in test card.
set -euo pipefail
build="${1:-build}"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$build/app/quillomat" ]; then
  export QUILLOMAT_LINK="${QUILLOMAT_LINK:-sim}"
  exec "$build/app/quillomat"
fi
if [ ! -x "$build/cli/quillomat-cli" ]; then
  echo "quillomat-cli was not built" >&2; exit 1
fi
if ! "$build/cli/quillomat-cli" receive --help >/dev/null 2>&1; then
  echo "The reception is not built yet; quillomat-cli can do this much so far:" >&2
  "$build/cli/quillomat-cli" --help
  exit 0
fi
link="${QUILLOMAT_LINK:-sim}"
echo "No display: receiving from link '$link' with quillomat-cli into received.bmp" >&2
"$build/cli/quillomat-cli" receive --link "$link" -o received.bmp --timeout 60
echo "Picture written to $(pwd)/received.bmp" >&2
