#!/usr/bin/env bash
# The scenarios of tests/wine/scenarios on both machines: each on the
# simulated machine (build/hosted/briskarn) and against the real program of
# the win32 build under Wine (run-scenario), and the two transcripts
# compared as far as a real Windows shows them (compare_transcripts.py).
# --repeat N runs the whole set N times over. Prints its own counts; the
# transcripts, and the window at each scenario's last snapshot as Wine drew
# it (NAME.png), end up in build/wine/scenarios/.
set -uo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
repeat=1
[ "${1:-}" = --repeat ] && repeat=$2
hosted=build/hosted/briskarn
out=build/wine/scenarios
if [ ! -x "$hosted" ]; then
  echo "Both machines: $hosted is missing; build the hosted preset first"
  exit 1
fi
mkdir -p "$out"
xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 141 170); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
  done
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=$display
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.05; done
  trap 'kill "$xvfb_pid" 2>/dev/null' EXIT
fi
agreed=0
differed=0
for round in $(seq "$repeat"); do
  for scenario in tests/wine/scenarios/*.txt; do
    name=$(basename "$scenario" .txt)
    # In a folder of its own: the program writes its log where it runs.
    rm -rf "$out/hosted-run" && mkdir -p "$out/hosted-run"
    if ! (cd "$out/hosted-run" && "$root/$hosted" --scenario "$root/$scenario" \
      --transcript "$root/$out/$name.hosted.txt" 2>"$root/$out/$name.hosted.err"); then
      echo "[$name] the simulated machine refused it: $(cat "$out/$name.hosted.err")"
      differed=$((differed + 1))
      continue
    fi
    if ! nice -n 5 tests/wine/run-scenario --build win32 --scenario "$scenario" \
      --transcript "$out/$name.wine.txt" --screenshot "$out/$name.png" 2>"$out/$name.wine.err"; then
      echo "[$name] under Wine: $(cat "$out/$name.wine.err")"
      differed=$((differed + 1))
      continue
    fi
    if report=$(python3 tests/wine/compare_transcripts.py "$scenario" "$out/$name.hosted.txt" \
      "$out/$name.wine.txt"); then
      agreed=$((agreed + 1))
    else
      echo "[$name] round $round: the machines disagree"
      echo "$report" | sed "s/^/[$name] /"
      differed=$((differed + 1))
    fi
  done
done
echo "Both machines: $agreed scenario runs agree, $differed differ"
[ "$differed" -eq 0 ]
