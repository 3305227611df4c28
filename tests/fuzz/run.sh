#!/usr/bin/env bash
# Builds the libFuzzer targets (preset `fuzz`, clang) and runs each over its
# corpus for SECONDS (default 30). New inputs found go to build/fuzz/new/,
# crashes to build/fuzz/crashes/; copy a crash into tests/fuzz/corpus/<target>/
# once it is fixed, so that every later run tries it again.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-30}
targets=(fuzz_patch_records fuzz_scenario fuzz_registry_file fuzz_resources)
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${targets[@]}"
status=0
for target in "${targets[@]}"; do
  new=build/fuzz/new/$target
  mkdir -p "$new" build/fuzz/crashes
  if build/fuzz/tests/fuzz/$target "$new" tests/fuzz/corpus/$target \
       -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix=build/fuzz/crashes/$target- >build/fuzz/$target.log 2>&1; then
    echo "fuzz $target: $(grep -m1 stat::number_of_executed_units build/fuzz/$target.log | awk '{print $2}') runs, no finding"
  else
    status=1
    tail -n 40 build/fuzz/$target.log
    echo "fuzz $target: FAILED (build/fuzz/$target.log)"
  fi
done
exit "$status"
