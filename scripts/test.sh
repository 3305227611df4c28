#!/usr/bin/env bash
# Builds every preset and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
for preset in win32 win64 hosted; do
  cmake --preset "$preset" -DBRISKARN_REQUIRE_WINDOWS_BUILDS=ON >/dev/null
  cmake --build --preset "$preset"
done
ctest --preset hosted
