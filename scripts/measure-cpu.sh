#!/usr/bin/env bash
# The CPU the interactive run takes, in % of one core over SECONDS (default
# 10) each: idle (the main dialog open, forwarding off, no input), then with
# forwarding on (Enable) and the autopilot steering. Runs the hosted
# briskarn in a tmux terminal of its own, in a temporary directory.
#
#   scripts/measure-cpu.sh [SECONDS]      (after cmake --build --preset hosted)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}
exe=$(realpath build/hosted/briskarn)
dir=$(mktemp -d)
socket=briskarn-cpu-$$
tmux_() { tmux -f /dev/null -L "$socket" "$@"; }
trap 'tmux_ kill-server 2>/dev/null || true; rm -rf "$dir"' EXIT

tmux_ new-session -d -x 120 -y 40 -c "$dir" "TERM=screen '$exe'; sleep 60"
sleep 2
pid=$(pgrep -n -f "^$exe\$")
ticks_per_second=$(getconf CLK_TCK)

# utime + stime of the whole process, in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }

measure() {
  local before after
  before=$(cpu_ticks)
  sleep "$seconds"
  after=$(cpu_ticks)
  awk -v t=$((after - before)) -v hz="$ticks_per_second" -v s="$seconds" -v what="$1" \
    'BEGIN { printf "%-40s %5.2f %% of a core\n", what ":", 100 * t / hz / s }'
}

measure "idle (forwarding off, no input)"

# A click on "Enable" where the screen shows it: X10 mouse reports, press and release.
read -r column row < <(tmux_ capture-pane -p | awk '{ i = index($0, "Enable"); if (i) { print i, NR - 1; exit } }')
printf '\033[M %b%b\033[M#%b%b' "\\$(printf %o $((33 + column)))" "\\$(printf %o $((33 + row)))" \
  "\\$(printf %o $((33 + column)))" "\\$(printf %o $((33 + row)))" > "$dir/click"
tmux_ load-buffer -b click "$dir/click"
tmux_ paste-buffer -d -b click
tmux_ send-keys F2
sleep 1
if ! tmux_ capture-pane -p | grep -q "Disabl"; then
  echo "measure-cpu: forwarding did not come on" >&2
  exit 1
fi
measure "forwarding on, autopilot steering"
tmux_ send-keys F2 Escape
