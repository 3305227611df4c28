#!/usr/bin/env bash
# The conformance run: the portable tests of the win64 build, and BRISKARN
# itself, under Wine on a headless X server. Reports and screenshots of the
# dialogs as Wine draws them end up in build/wine/. Prints its own counts.
# The tests that start BRISKARN.EXE and PATCHER.EXE then run once more
# against the product: the programs of the win32 build's package, as a user
# unpacks them, with their own start-up and runtime. Last, the scenarios of
# tests/wine/scenarios on the simulated machine and against the win32
# build's BRISKARN.EXE, their transcripts compared.
set -uo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
build=$root/build/win64
product=$root/build/win32
results=$root/build/wine
loader=/usr/lib/wine/wine64 # Debian's `wine` wrapper wants the 32-bit loader
started=$(date +%s)
# The test programs that start the programs themselves.
product_tests=(tests/patcher/patcher_tests.exe tests/wine/briskarn_start_tests.exe)

if [ ! -x "$loader" ]; then
  echo "Wine: $loader is missing (package wine64)"
  exit 1
fi
# Wine starts 32-bit programs with the loader of package wine32.
if [ ! -x "${loader%/*}/wine" ]; then
  echo "Wine: ${loader%/*}/wine is missing (package wine32:i386)"
  exit 1
fi
package=$(ls "$product"/BRISKARN-*.zip 2>/dev/null | head -1)
if [ -z "$package" ]; then
  echo "Wine: $product/BRISKARN-<version>.zip is missing; build the win32 preset first"
  exit 1
fi
if [ ! -f "$build/wine-tests.txt" ]; then
  echo "Wine: $build/wine-tests.txt is missing; build the win64 preset first"
  exit 1
fi

# Wine run by root writes read-only files as root may; Windows refuses. So
# as root the programs run as an unprivileged user of their own, from a
# folder of that user's (the checkout may lie where it cannot reach).
if [ "$(id -u)" -eq 0 ]; then
  user=briskarn-wine
  id -u "$user" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$user"
  work=/var/tmp/briskarn-wine-$(printf '%s' "$root" | md5sum | cut -c1-12)
else
  user=""
  work=$results/work
fi
stage=$work/programs
product_stage=$work/programs-win32
reports=$work/reports
screens=$work/screens
rm -rf "$stage" "$product_stage" "$reports" "$screens"
mkdir -p "$stage/tests/wine" "$product_stage" "$reports" "$screens" "$work/home"
cp "$build"/*.EXE "$stage/"
cp "$build/tests/wine/dialog_screenshots.exe" "$stage/tests/wine/"
# Same layout as the build tree: a test finds the programs two folders up.
programs=()
while read -r exe; do
  [ -n "$exe" ] || continue
  staged=$stage/${exe#"$build"/}
  mkdir -p "$(dirname "$staged")"
  cp "$exe" "$staged"
  programs+=("$staged")
done <"$build/wine-tests.txt"
python3 -m zipfile -e "$package" "$product_stage/"
product_programs=()
for test in "${product_tests[@]}"; do
  mkdir -p "$(dirname "$product_stage/$test")"
  cp "$build/$test" "$product_stage/$test"
  product_programs+=("$product_stage/$test")
done

xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 110); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
  done
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=$display
  sleep 1
fi

environment=(HOME="$work/home" WINEPREFIX="$work/prefix" WINEDEBUG=-all
             WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY="$DISPLAY")
if [ -n "$user" ]; then
  chown -R "$user" "$work"
  run=(runuser -u "$user" -- env "${environment[@]}")
else
  run=(env "${environment[@]}")
fi
stop() {
  "${run[@]}" "${loader%/*}/wineserver" -k >/dev/null 2>&1
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  true
}
trap stop EXIT
# A prefix made before wine32 was installed cannot start 32-bit programs.
if [ ! -f "$work/prefix/system.reg" ] || [ ! -f "$work/prefix/drive_c/windows/syswow64/kernel32.dll" ]; then
  rm -rf "$work/prefix"
  "${run[@]}" "$loader" wineboot --init >/dev/null 2>&1
fi

# The verdict comes from each program's own report: Wine's process exit
# can trip over the host's loader after the tests have finished.
attribute() { sed -n "s/.*<testsuites[^>]* $1=\"\([0-9]*\)\".*/\1/p" "$2" | head -1; }
passed=0
failed=0
# run_tests SUFFIX EXE...: each test program, its report named NAME$SUFFIX.xml.
run_tests() {
  local suffix=$1 exe name report output total bad skipped ok
  shift
  for exe in "$@"; do
    name=$(basename "$exe" .exe)$suffix
    report=$reports/$name.xml
    output=$(cd "$(dirname "$exe")" &&
      timeout 600 "${run[@]}" "$loader" "$exe" "--gtest_output=xml:Z:${report//\//\\}" 2>&1)
    if [ -f "$report" ]; then
      total=$(attribute tests "$report")
      bad=$(($(attribute failures "$report") + $(attribute errors "$report")))
      # Skips are counted per suite only.
      skipped=$(sed -n 's/.*<testsuite [^>]* skipped="\([0-9]*\)".*/\1/p' "$report" |
        awk '{ sum += $1 } END { print sum + 0 }')
      ok=$((total - bad - skipped - $(attribute disabled "$report")))
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
  done
}
run_tests "" "${programs[@]}"
run_tests "-win32" "${product_programs[@]}"

if ! (cd "$stage/tests/wine" &&
  "${run[@]}" "$loader" dialog_screenshots.exe "Z:${screens//\//\\}" >/dev/null 2>&1); then
  echo "Wine: the dialog screenshots could not be written"
  failed=$((failed + 1))
fi
rm -rf "$results/reports" "$results/screens"
mkdir -p "$results"
cp -r "$reports" "$screens" "$results/"

# The scenarios that run on both machines: the simulated one, and the
# product itself with its two doubles (it prints its own counts). The main
# dialog forwarding a moved wheel joins the screenshots.
if ! tests/wine/run-both-machines.sh; then
  failed=$((failed + 1))
fi
cp build/wine/scenarios/forwarding_interrupt.png "$results/screens/main-dialog-forwarding.png" 2>/dev/null

echo "Wine conformance: $((${#programs[@]} + ${#product_programs[@]})) test programs in $(($(date +%s) - started)) s, screenshots in build/wine/screens/"
echo "Wine: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
