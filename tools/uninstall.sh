#!/usr/bin/env bash
# Removes what `make install` put under DESTDIR/PREFIX. The list of files comes from
# staging the same install into a temporary folder, so it is right even when the last
# install went elsewhere. Folders are removed only where they are the game's own and empty;
# the players' save directories in their homes are never touched.
#   tools/uninstall.sh BUILD PREFIX [DESTDIR]
set -euo pipefail
build=$1 prefix=$2 destdir=${3:-}
if [ ! -f "$build/cmake_install.cmake" ]; then
  echo "uninstall: $build is not a configured build; run make first" >&2
  exit 1
fi
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install "$build" --prefix "$prefix" >/dev/null
root="$destdir$prefix"
(cd "$stage$prefix" && find . -type f -o -type l) | while read -r file; do
  if [ -e "$root/$file" ] || [ -L "$root/$file" ]; then
    rm -f "$root/$file"
    echo "-- Removed: $root/${file#./}"
  fi
done
(cd "$stage$prefix" && find . -depth -type d -path '*parapet*') | while read -r dir; do
  rmdir "$root/$dir" 2>/dev/null || true
done
