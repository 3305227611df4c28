#!/usr/bin/env bash
# The conformance run: the portable tests of the win64 build, and BRISKARN
# itself, under Wine on a headless X server; screenshots of the dialogs as
# Wine draws them go to build/wine/screens/. Prints its own counts.
set -uo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
build=$root/build/win64
loader=/usr/lib/wine/wine64 # Debian's `wine` wrapper wants the 32-bit loader
export WINEPREFIX=$root/build/wine/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
started=$(date +%s)

if [ ! -x "$loader" ]; then
  echo "Wine: $loader is missing (package wine64)"
  exit 1
fi
if [ ! -f "$build/wine-tests.txt" ]; then
  echo "Wine: $build/wine-tests.txt is missing; build the win64 preset first"
  exit 1
fi

xvfb_pid=""
stop() {
  "${loader%/*}/wineserver" -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
}
trap stop EXIT
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 110); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
  done
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=$display
  sleep 1
fi

mkdir -p "$root/build/wine"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$loader" wineboot --init >/dev/null 2>&1
fi

passed=0
failed=0
programs=0
while read -r exe; do
  [ -n "$exe" ] || continue
  programs=$((programs + 1))
  name=$(basename "$exe" .exe)
  output=$(cd "$(dirname "$exe")" && timeout 600 "$loader" "$exe" 2>&1)
  status=$?
  ok=$(echo "$output" | sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\{0,1\}\..*/\1/p' | tail -1)
  bad=$(echo "$output" | sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\{0,1\}, listed below.*/\1/p' | tail -1)
  ok=${ok:-0}
  bad=${bad:-0}
  if [ "$status" -ne 0 ] && [ "$bad" -eq 0 ]; then
    bad=1 # it ended without a verdict of its own
  fi
  passed=$((passed + ok))
  failed=$((failed + bad))
  if [ "$bad" -ne 0 ]; then
    echo "$output" | sed "s/^/[$name] /"
  fi
  echo "Wine $name: $ok passed, $bad failed"
done <"$build/wine-tests.txt"

screens=$root/build/wine/screens
mkdir -p "$screens"
if ! (cd "$build/tests/wine" && "$loader" dialog_screenshots.exe "Z:${screens//\//\\}" >/dev/null 2>&1); then
  echo "Wine: the dialog screenshots could not be written"
  failed=$((failed + 1))
fi

echo "Wine conformance: $programs test programs in $(($(date +%s) - started)) s, screenshots in build/wine/screens/"
echo "Wine: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
