#!/usr/bin/env bash
# What `make install` and `make deb` deliver, checked without root and without installing
# anything on this machine: everything goes into a temporary folder.
#   install_test.sh BUILD APP_ID BINDIR "ICON SIZES"
set -uo pipefail
build=$1 appId=$2 bindir=$3 sizes=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# The installed game must find its data by itself: no --data, no PARAPET_DATA, started
# from a folder that is not its own, saving into a fresh home.
runHeadless() {
  local exe=$1 what=$2 log=$work/run.log
  if ! (cd "$work" && env -u PARAPET_DATA HOME="$work/home" XDG_DATA_HOME= \
        "$exe" --headless --frames 40 >"$log" 2>&1); then
    fail "$what: $exe --headless --frames 40 did not end with status 0: $(tr '\n' ' ' <"$log")"
  fi
}

# Width and height of a PNG read as a viewer reads it: every chunk's checksum, and pixel data
# that inflates to exactly its rows; "bad" for anything a viewer would reject.
pngSize() {
  python3 - "$1" <<'EOF'
import struct, sys, zlib
b = open(sys.argv[1], "rb").read()
at, idat, size = 8, b"", "bad"
try:
    assert b[:8] == b"\x89PNG\r\n\x1a\n"
    while at < len(b):
        n, kind = struct.unpack(">I4s", b[at:at + 8])
        body = b[at + 8:at + 8 + n]
        assert struct.unpack(">I", b[at + 8 + n:at + 12 + n])[0] == zlib.crc32(kind + body)
        if kind == b"IHDR":
            w, h, depth, colour = struct.unpack(">IIBB", body[:10])
        idat += body if kind == b"IDAT" else b""
        at += 12 + n
    channels = {2: 3, 6: 4}[colour]
    if depth == 8 and len(zlib.decompress(idat)) == h * (1 + w * channels):
        size = f"{w}x{h}"
except Exception:
    pass
print(size, end="")
EOF
}

listTree() { (cd "$1" && find . -type f -o -type l | sed 's|^\./||' | sort); }

# 1. A staged install under a prefix of its own.
stage=$work/stage
if ! DESTDIR="$stage" cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1; then
  cat "$work/install.log" >&2
  echo "FAIL: cmake --install into $stage" >&2
  exit 1
fi
root=$stage/usr
runHeadless "$root/$bindir/parapet" "staged install"

for f in "share/applications/$appId.desktop" "share/metainfo/$appId.metainfo.xml" \
         share/man/man6/parapet.6.gz share/doc/parapet/copyright share/doc/parapet/README.md; do
  [ -s "$root/$f" ] || fail "missing or empty: $f"
done
for size in $sizes; do
  icon=$root/share/icons/hicolor/${size}x${size}/apps/$appId.png
  if [ ! -f "$icon" ]; then fail "missing icon $icon"; continue; fi
  got=$(pngSize "$icon")
  [ "$got" = "${size}x${size}" ] || fail "$icon is $got, not ${size}x${size}"
done
exec_line=$(grep '^Exec=' "$root/share/applications/$appId.desktop" | cut -d= -f2 | cut -d' ' -f1)
[ -x "$root/$bindir/$exec_line" ] || fail "the desktop entry starts '$exec_line', not found in $bindir/"
grep -qx "StartupWMClass=$appId" "$root/share/applications/$appId.desktop" ||
  fail "the desktop entry's StartupWMClass is not the window class $appId"

# The validators are in tools/debian-packages.txt: a missing one fails the check, never skips it.
desktop-file-validate "$root/share/applications/$appId.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/share/metainfo/$appId.metainfo.xml" >"$work/as.log" 2>&1 ||
  { cat "$work/as.log" >&2; fail "appstreamcli validate --no-net"; }
out=$(zcat "$root/share/man/man6/parapet.6.gz" | groff -man -t -ww -z 2>&1)
[ -z "$out" ] || fail "groff warns about parapet.6: $out"

# make uninstall takes away every file it put there, and nothing that is not its own.
touch "$root/share/applications/other-game.desktop"
"$(dirname "$0")/../../tools/uninstall.sh" "$build" /usr "$stage" >/dev/null ||
  fail "tools/uninstall.sh"
left=$(cd "$root" && find . -type f -o -type l)
[ "$left" = "./share/applications/other-game.desktop" ] ||
  fail "after uninstall the tree holds: $(echo $left)"
[ ! -e "$root/share/games/parapet" ] || fail "after uninstall share/games/parapet is still there"
rm -rf "$stage"
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null 2>&1 || fail "second staging"

# 2. The package: the same files as the staged install, and it runs unpacked.
if ! (cd "$build" && cpack -G DEB -B "$work/pkg" >"$work/cpack.log" 2>&1); then
  cat "$work/cpack.log" >&2
  fail "cpack -G DEB"
else
  deb=$(ls "$work"/pkg/parapet_*.deb)
  dpkg-deb -x "$deb" "$work/unpacked"
  diff <(listTree "$stage") <(listTree "$work/unpacked") >"$work/list.diff" ||
    { cat "$work/list.diff" >&2; fail "the package's files differ from the staged install's"; }
  depends=$(dpkg-deb -f "$deb" Depends)
  case "$depends" in
    *libsdl2*) ;;
    *) fail "Depends does not name SDL2: $depends" ;;
  esac
  runHeadless "$work/unpacked/usr/$bindir/parapet" "unpacked package"
fi

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "packaging: all checks passed"
