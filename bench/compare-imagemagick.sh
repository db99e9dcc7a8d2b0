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

# Runs a command once; prints "wall_seconds maxrss_kb cpu_seconds" (cpu: user + system).
measure() {
  local out
  out=$("$timer" -f '%e %M %U %S' "$@" 2>&1 >/dev/null | tail -n 1)
  echo "$out" | awk '{ printf "%s %s %.2f\n", $1, $2, $3 + $4 }'
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
  local qt=() qm=() qc=() it=() imm=() ic=()
  for ((r = 0; r < rounds; ++r)); do
    read -r t m c < <(measure "${q[@]}"); qt+=("$t"); qm+=("$m"); qc+=("$c")
    read -r t m c < <(measure "${im[@]}"); it+=("$t"); imm+=("$m"); ic+=("$c")
  done
  local qmed imed qmem imem qcpu icpu
  qmed=$(printf '%s\n' "${qt[@]}" | median)
  imed=$(printf '%s\n' "${it[@]}" | median)
  qcpu=$(printf '%s\n' "${qc[@]}" | median)
  icpu=$(printf '%s\n' "${ic[@]}" | median)
  qmem=$(printf '%s\n' "${qm[@]}" | sort -n | tail -n 1)
  imem=$(printf '%s\n' "${imm[@]}" | sort -n | tail -n 1)
  results+=("$(awk -v n="$name" -v qs="$qmed" -v is="$imed" -v t="$target" -v qm="$qmem" -v im="$imem" -v pb="$picture_bytes" \
    -v qc="$qcpu" -v ic="$icpu" -v qa="${qt[*]}" -v ia="${it[*]}" 'BEGIN {
      ratio = (is > 0) ? qs / is : 0
      cratio = (ic > 0) ? qc / ic : 0
      printf "%-17s %7.3f %7.3f %6.3f %6s %4s %6.2f %6.2f %6.3f %7.1f %5.2f %7.1f   quillomat: %s  convert: %s\n",
        n, qs, is, ratio, "<=" t, (ratio <= t) ? "ok" : "MISS", qc, ic, cratio, qm / 1024, qm * 1024 / pb, im / 1024, qa, ia }')")
}

load_start=$(cut -d ' ' -f 1-3 /proc/loadavg)
out=$work/out
compare "soften 1 pass" 0.30 -- "$cli" soften --passes 1 --size "$size" "$in" "$out-q1.bmp" -- \
  "$convert" "$in" -define convolve:scale='!' -morphology Convolve:1 "$kernel" "$out-m1.bmp"
compare "soften 10 passes" 0.20 -- "$cli" soften --passes 10 --size "$size" "$in" "$out-q10.bmp" -- \
  "$convert" "$in" -define convolve:scale='!' -morphology Convolve:10 "$kernel" "$out-m10.bmp"
compare "colorize" 0.30 -- "$cli" colorize --color 1 --bright 2 "$in" "$out-qc.bmp" -- \
  "$convert" "$in" -define convolve:scale='!' -morphology Convolve:1 "$kernel" "$out-mc.bmp"

echo "picture: 4000 x 3000, 24 bits, $(awk -v b="$picture_bytes" 'BEGIN { printf "%.1f MB (%.1f MiB)", b / 1e6, b / 1048576 }'); softening size $size; $rounds rounds, programs alternating"
echo "machine: $(nproc) cores, load average at the start $load_start"
printf '%-17s %7s %7s %6s %6s %4s %6s %6s %6s %7s %5s %7s   %s\n' "task" "quillo" "convert" "ratio" "target" "" \
  "q cpu" "c cpu" "cpu r" "q MiB" "xpic" "c MiB" "wall times (s)"
printf '%s\n' "${results[@]}"
echo "times: median wall seconds; cpu: median user+system seconds (a fairer ratio on a busy machine);"
echo "MiB: peak resident memory; xpic: quillomat's peak over the picture file (target <= 2.50)"
echo "load average at the end: $(cut -d ' ' -f 1-3 /proc/loadavg)"
