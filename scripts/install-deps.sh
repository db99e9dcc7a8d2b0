#!/usr/bin/env bash
# Installs the Debian packages the project needs, and only those that are missing.
# Runs apt-get (as root, or through sudo) only when something is missing.
#   install-deps.sh           everything for building and testing (make build, make test)
#   install-deps.sh --run     only what building and running the programs needs (make run)
#   install-deps.sh --package everything, and lintian and appstreamcli to check the Debian package
#   install-deps.sh --fuzz    everything, and clang with its fuzzing runtime (make fuzz)
set -euo pipefail

run_packages=(
  build-essential cmake g++ pkg-config libpng-dev
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-translations-l10n libgl1-mesa-dev
)
# Tests, benchmarks, the virtual X server and its tools for the desktop tests and screenshots,
# PDF tools for the printing tests, and the Debian package's tools (dpkg-shlibdeps finds its
# dependencies, file tells CPack which files are programs).
test_packages=(
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-utils poppler-utils
  dpkg-dev file
)

case "${1:-}" in
  --run) packages=("${run_packages[@]}") ;;
  "") packages=("${run_packages[@]}" "${test_packages[@]}") ;;
  --package) packages=("${run_packages[@]}" "${test_packages[@]}" lintian appstream) ;;
  --fuzz) packages=("${run_packages[@]}" "${test_packages[@]}" clang libclang-rt-14-dev) ;;
  *) echo "usage: $0 [--run|--package|--fuzz]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}" >&2
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
