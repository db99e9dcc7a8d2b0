#!/usr/bin/env bash
# The main job: receive a picture. With a display, the desktop program; without one, the CLI.
# Without a link module the simulated console prints its built-in picture.
# Builds only the program it runs; a build folder that does not exist yet is configured
# without the tests and benchmarks (make build and make test add them).
set -euo pipefail
build="${1:-build}"; jobs="${2:-2}"
shift $(( $# < 2 ? $# : 2 ))

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then target=quillomat; else target=quillomat-cli; fi
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLOMAT_TESTS=OFF -DQUILLOMAT_BENCH=OFF "$@" >/dev/null
fi
cmake --build "$build" --target "$target" -j "$jobs"

if [ "$target" = quillomat ]; then
  export QUILLOMAT_LINK="${QUILLOMAT_LINK:-sim}"
  exec "$build/app/quillomat"
fi
link="${QUILLOMAT_LINK:-sim}"
echo "No display: receiving from link '$link' with quillomat-cli into received.bmp" >&2
status=0
"$build/cli/quillomat-cli" receive --link "$link" -o received.bmp --timeout 60 || status=$?
# 0 and 3 replace received.bmp; an incomplete reception goes beside an existing one, and the
# lines above name the file written, or why none was.
if [ "$status" -eq 0 ] || [ "$status" -eq 3 ]; then
  echo "Picture written to $(pwd)/received.bmp" >&2
fi
exit "$status"
