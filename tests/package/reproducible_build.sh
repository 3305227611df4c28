#!/usr/bin/env bash
# Builds the win32 preset twice, into two fresh folders of different names,
# and compares the packaged programs and the zip byte for byte: nothing in
# them may depend on the time or the place of the build.
set -euo pipefail
source_dir=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/briskarn-repro.XXXXXX")
trap 'rm -rf "$work"' EXIT
for build in first second-build; do
  cmake --preset win32 -S "$source_dir" -B "$work/$build" >/dev/null
  cmake --build "$work/$build" --target package >/dev/null
done
status=0
for file in package/BRISKARN.EXE package/PATCHER.EXE "$(cd "$work/first" && ls BRISKARN-*.zip)"; do
  if cmp "$work/first/$file" "$work/second-build/$file"; then
    echo "same: $file ($(stat -c %s "$work/first/$file") bytes, sha256 $(sha256sum <"$work/first/$file" | cut -c1-16))"
  else
    status=1
  fi
done
exit "$status"
