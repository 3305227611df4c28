#!/usr/bin/env bash
# A day of the demo machine (forwarding on, the autopilot steering) on the
# virtual clock, under AddressSanitizer with UndefinedBehaviorSanitizer; it
# prints resident and peak memory, open handles and the log's size at the
# start, every simulated hour and at the end. scripts/soak.sh [HOURS]
set -euo pipefail
cd "$(dirname "$0")/.."
hours=${1:-24}
scripts/install-deps.sh
cmake --preset hosted-asan >/dev/null
cmake --build --preset hosted-asan --target soak_run
run=$(mktemp -d)
trap 'rm -rf "$run"' EXIT
cd "$run"
ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1 \
UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:print_stacktrace=1 \
  "$OLDPWD/build/hosted-asan/tests/soak/soak_run" --hours "$hours"
