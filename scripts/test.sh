#!/usr/bin/env bash
# Builds every preset and runs every test: the conformance run of the win64
# build under Wine first, then the hosted tests (their summary closes).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
for preset in win32 win64 hosted; do
  cmake --preset "$preset" -DBRISKARN_REQUIRE_WINDOWS_BUILDS=ON >/dev/null
  cmake --build --preset "$preset"
done
wine_status=0
tests/wine/run-conformance.sh || wine_status=$?
ctest --preset hosted
exit "$wine_status"
