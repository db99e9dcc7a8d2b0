#!/usr/bin/env bash
# Makes the Debian package from a build folder into a scratch folder, unpacks it and checks
# what a user installing it gets: the files, the control fields, stripped programs, and a
# packaged quillomat-cli that receives from the simulated console. Where lintian is
# installed, the package must lint clean (no errors or warnings), and where appstreamcli is,
# its metainfo must validate.
set -euo pipefail
build="$1"; version="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "package: $*" >&2; exit 1; }

# Its own output folder, so the test never meets a `make package` run in the same tree.
if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2; fail "cpack failed"
fi
deb="$(ls "$work"/out/quillomat_*.deb)"
[ "$(dpkg-deb -f "$deb" Package)" = quillomat ] || fail "wrong package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version is not the project's $version"
# The libraries the programs link, found by dpkg-shlibdeps, and the loaded Qt plugins.
depends="$(dpkg-deb -f "$deb" Depends)"
names="$(tr ',' '\n' <<<"$depends" | sed 's/(.*//; s/ //g')"
for name in libc6 libstdc++6 libqt6widgets6 libqt6printsupport6 qt6-qpa-plugins; do
  grep -qx -- "$name" <<<"$names" || fail "Depends lacks $name: $depends"
done

root="$work/root"
dpkg-deb -x "$deb" "$root"
for f in usr/bin/quillomat usr/bin/quillomat-cli \
         usr/share/applications/quillomat.desktop \
         usr/share/icons/hicolor/scalable/apps/quillomat.svg \
         usr/share/icons/hicolor/48x48/apps/quillomat.png \
         usr/share/man/man1/quillomat.1.gz usr/share/man/man1/quillomat-cli.1.gz \
         usr/share/metainfo/de.tarvo.Quillomat.metainfo.xml \
         usr/share/doc/quillomat/copyright usr/share/doc/quillomat/changelog.gz; do
  [ -f "$root/$f" ] || fail "/$f is missing"
done
for f in usr/share/man/man1/quillomat.1.gz usr/share/man/man1/quillomat-cli.1.gz \
         usr/share/doc/quillomat/changelog.gz; do
  gzip -t "$root/$f" || fail "/$f is not gzip-compressed"
done
for f in usr/bin/quillomat usr/bin/quillomat-cli; do
  if readelf -S "$root/$f" | grep -q -e '\.debug_info' -e '\.symtab'; then fail "/$f is not stripped"; fi
done

# The packaged program, run from where it was unpacked, receives the simulated console's
# picture whole (exit 0) and reads back a 160-pixel-wide bitmap.
(cd "$work" && "$root/usr/bin/quillomat-cli" receive --link sim -o x.bmp --timeout 120 2>"$work/receive.log") ||
  { cat "$work/receive.log" >&2; fail "the packaged quillomat-cli did not receive a picture"; }
"$root/usr/bin/quillomat-cli" info "$work/x.bmp" | grep -qx 'width: 160' ||
  fail "the received picture is not 160 pixels wide"

# Every command quillomat-cli lists has its synopsis in the manual page.
man="$(gzip -dc "$root/usr/share/man/man1/quillomat-cli.1.gz")"
commands="$("$root/usr/bin/quillomat-cli" --help 2>&1 | sed -n '/^commands:/,/^$/s/^  \([a-z-]*\).*/\1/p')"
[ -n "$commands" ] || fail "quillomat-cli --help lists no commands"
for command in $commands; do
  grep -qx "\.B quillomat-cli $command" <<<"$man" || fail "quillomat-cli(1) lacks the command $command"
done

if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$root/usr/share/metainfo/de.tarvo.Quillomat.metainfo.xml" >&2 ||
    fail "the AppStream metainfo is not valid"
fi
if command -v lintian >/dev/null; then
  lintian --fail-on error,warning --tag-display-limit 0 "$deb" >&2 || fail "lintian finds faults (above)"
fi
