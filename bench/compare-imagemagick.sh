#!/usr/bin/env bash
# Softening and colouring against ImageMagick's convolution, side by side on one 4000 × 3000
# 24-bit picture: quillomat-cli soften (1 and 10 passes) against convert -morphology Convolve:N
# with the same 3 × 3 weights, and quillomat-cli colorize against one convolution. The two
# programs alternate, ROUNDS times each; the median wall time and the peak memory (maximum
# resident set) of each are printed with their ratios.
#
# Run by hand on a quiet machine (not part of the test suite):
#     bench/compare-imagemagick.sh [path/to/quillomat-cli]        (default build/cli/quillomat-cli)
# Needs ImageMagick's /usr/bin/convert and GNU time: sudo apt-get install imagemagick time
# Environment: ROUNDS (default 5), SIZE (default 8, the softening size 1..25), WORK (a folder
# for the pictures; default a fresh temporary one, removed afterwards).
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
cli=${1:-$here/build/cli/quillomat-cli}
rounds=${ROUNDS:-5}
size=${SIZE:-8}
convert=/usr/bin/convert
timer=/usr/bin/time

for tool in "$convert" "$timer"; do
  if [ ! -x "$tool" ]; then
    echo "$(basename "$0"): $tool is missing; install it with: sudo apt-get install imagemagick time" >&2
    exit 2
  fi
done
if [ ! -x "$cli" ]; then
  echo "$(basename "$0"): no quillomat-cli at $cli; build it first (make build)" >&2
  exit 2
fi

if [ -n "${WORK:-}" ]; then
  work=$WORK
  mkdir -p "$work"
else
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
fi

# The weights of one softening as the settings dialog leaves them: centre 0.25, each edge
# neighbour size × 0.01, each diagonal neighbour size / 155; scale '!' divides by their sum.
read -r wc wn wd < <(awk -v s="$size" 'BEGIN { printf "%.17g %.17g %.17g\n", 0.25, s * 0.01, s * 0.0064516129032258064 }')
kernel="3x3: $wd,$wn,$wd $wn,$wc,$wn $wd,$wn,$wd"

in=$work/in.bmp
if [ ! -f "$in" ]; then
  # A photograph-like picture: a colour gradient with noise, 24 bits per pixel.
  "$convert" -size 4000x3000 gradient:'#2050a0-#f0c060' -attenuate 0.6 +noise Gaussian \
    -type TrueColor BMP3:"$in"
fi
picture_bytes=$(stat -c %s "$in")

# Runs a command once; prints "seconds maxrss_kb".
measure() {
  local out
  out=$("$timer" -f '%e %M' "$@" 2>&1 >/dev/null | tail -n 1)
  echo "$out"
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# compare NAME TARGET -- QUILLOMAT-COMMAND... -- CONVERT-COMMAND...
results=()
compare() {
  local name=$1 target=$2
  shift 3
  local q=() im=()
  while [ "$1" != "--" ]; do q+=("$1"); shift; done
  shift
  im=("$@")
  local qt=() qm=() it=() imm=()
  for ((r = 0; r < rounds; ++r)); do
    read -r t m < <(measure "${q[@]}"); qt+=("$t"); qm+=("$m")
    read -r t m < <(measure "${im[@]}"); it+=("$t"); imm+=("$m")
  done
  local qmed imed qmem imem
  qmed=$(printf '%s\n' "${qt[@]}" | median)
  imed=$(printf '%s\n' "${it[@]}" | median)
  qmem=$(printf '%s\n' "${qm[@]}" | sort -n | tail -n 1)
  imem=$(printf '%s\n' "${imm[@]}" | sort -n | tail -n 1)
  results+=("$(awk -v n="$name" -v qs="$qmed" -v is="$imed" -v t="$target" -v qm="$qmem" -v im="$imem" -v pb="$picture_bytes" \
    -v qa="${qt[*]}" -v ia="${it[*]}" 'BEGIN {
      ratio = (is > 0) ? qs / is : 0
      printf "%-18s %8.3f %8.3f %7.3f %7s %5s %9.1f %6.2f %9.1f   quillomat: %s  convert: %s\n",
        n, qs, is, ratio, "<=" t, (ratio <= t) ? "ok" : "MISS", qm / 1024, qm * 1024 / pb, im / 1024, qa, ia }')")
}

out=$work/out
compare "soften 1 pass" 0.30 -- "$cli" soften --passes 1 --size "$size" "$in" "$out-q1.bmp" -- \
  "$convert" "$in" -define convolve:scale='!' -morphology Convolve:1 "$kernel" "$out-m1.bmp"
compare "soften 10 passes" 0.20 -- "$cli" soften --passes 10 --size "$size" "$in" "$out-q10.bmp" -- \
  "$convert" "$in" -define convolve:scale='!' -morphology Convolve:10 "$kernel" "$out-m10.bmp"
compare "colorize" 0.30 -- "$cli" colorize --color 1 --bright 2 "$in" "$out-qc.bmp" -- \
  "$convert" "$in" -define convolve:scale='!' -morphology Convolve:1 "$kernel" "$out-mc.bmp"

echo "picture: 4000 x 3000, 24 bits, $(awk -v b="$picture_bytes" 'BEGIN { printf "%.1f MB", b / 1048576 }'); softening size $size; $rounds rounds, programs alternating"
echo "machine: $(nproc) cores, load average $(cut -d ' ' -f 1-3 /proc/loadavg)"
printf '%-18s %8s %8s %7s %7s %5s %9s %6s %9s   %s\n' "task" "quillo s" "convert" "ratio" "target" "" \
  "quillo MB" "xpic" "conv MB" "all times (s)"
printf '%s\n' "${results[@]}"
echo "peak memory target: quillomat <= 2.50 x the picture (column xpic)"
