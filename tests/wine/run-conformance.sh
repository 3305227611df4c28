#!/usr/bin/env bash
# The conformance run: the portable tests of the win64 build, and BRISKARN
# itself, under Wine on a headless X server; screenshots of the dialogs as
# Wine draws them go to build/wine/screens/. Prints its own counts.
set -uo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
build=$root/build/win64
loader=/usr/lib/wine/wine64 # Debian's `wine` wrapper wants the 32-bit loader
wine_dir=$root/build/wine
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
  [ -n "${run[*]:-}" ] && "${run[@]}" "${loader%/*}/wineserver" -k >/dev/null 2>&1
  true
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

# Wine run by root writes read-only files and keys as root may; Windows
# refuses. So as root the tests run under an unprivileged user of their own.
mkdir -p "$wine_dir/home"
environment=(HOME="$wine_dir/home" WINEPREFIX="$wine_dir/prefix" WINEDEBUG=-all
             WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY="$DISPLAY")
if [ "$(id -u)" -eq 0 ]; then
  user=briskarn-wine
  id -u "$user" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$user"
  chown -R "$user" "$wine_dir"
  run=(runuser -u "$user" -- env "${environment[@]}")
else
  run=(env "${environment[@]}")
fi
if [ ! -f "$wine_dir/prefix/system.reg" ]; then
  "${run[@]}" "$loader" wineboot --init >/dev/null 2>&1
fi

# The verdict comes from each program's own report: Wine's process exit
# can trip over the host's loader after the tests have finished.
reports=$wine_dir/reports
rm -rf "$reports"
mkdir -p "$reports"
[ "$(id -u)" -eq 0 ] && chown "$user" "$reports"
attribute() { sed -n "s/.*<testsuites[^>]* $1=\"\([0-9]*\)\".*/\1/p" "$2" | head -1; }
passed=0
failed=0
programs=0
while read -r exe; do
  [ -n "$exe" ] || continue
  programs=$((programs + 1))
  name=$(basename "$exe" .exe)
  report=$reports/$name.xml
  output=$(cd "$(dirname "$exe")" &&
    timeout 600 "${run[@]}" "$loader" "$exe" "--gtest_output=xml:Z:${report//\//\\}" 2>&1)
  if [ -f "$report" ]; then
    total=$(attribute tests "$report")
    bad=$(($(attribute failures "$report") + $(attribute errors "$report")))
    # Skips are counted per suite only.
    skipped=$(sed -n 's/.*<testsuite [^>]* skipped="\([0-9]*\)".*/\1/p' "$report" | awk '{ sum += $1 } END { print sum + 0 }')
    ok=$((total - bad - ${skipped:-0} - $(attribute disabled "$report")))
  else
    ok=0
    bad=1 # it ended without a report
  fi
  passed=$((passed + ok))
  failed=$((failed + bad))
  if [ "$bad" -ne 0 ]; then
    echo "$output" | sed "s/^/[$name] /"
  fi
  echo "Wine $name: $ok passed, $bad failed"
done <"$build/wine-tests.txt"

screens=$wine_dir/screens
mkdir -p "$screens"
[ "$(id -u)" -eq 0 ] && chown "$user" "$screens"
if ! (cd "$build/tests/wine" && "${run[@]}" "$loader" dialog_screenshots.exe "Z:${screens//\//\\}" >/dev/null 2>&1); then
  echo "Wine: the dialog screenshots could not be written"
  failed=$((failed + 1))
fi

echo "Wine conformance: $programs test programs in $(($(date +%s) - started)) s, screenshots in build/wine/screens/"
echo "Wine: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
