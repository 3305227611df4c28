#!/usr/bin/env bash
# Builds every preset and runs every test: the conformance run of the win64
# build under Wine first, then the hosted tests under AddressSanitizer with
# UndefinedBehaviorSanitizer and under ThreadSanitizer (the threaded tests
# twenty times over), the fuzz targets for a while each, and last the plain
# hosted tests (their summary closes).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# The hosted tests read the resources of the Windows programs built first.
windows_programs=(-DBRISKARN_REQUIRE_WINDOWS_BUILDS=ON
  -DBRISKARN_WIN32_BRISKARN_EXE="$PWD/build/win32/package/BRISKARN.EXE"
  -DBRISKARN_WIN64_BRISKARN_EXE="$PWD/build/win64/BRISKARN.EXE")
for preset in win32 win64 hosted hosted-asan hosted-tsan; do
  case $preset in
    win*) cmake --preset "$preset" >/dev/null ;;
    *) cmake --preset "$preset" "${windows_programs[@]}" >/dev/null ;;
  esac
  cmake --build --preset "$preset"
done
status=0
# The product's package: imports, instructions, sizes, README.TXT, and two
# fresh builds compared.
ctest --preset win32 || status=1
tests/wine/run-conformance.sh || status=1

# A sanitizer's finding fails its run; the plain summary still closes the output.
ctest --preset hosted-asan >build/hosted-asan/ctest.log 2>&1 || { status=1; cat build/hosted-asan/ctest.log; }
tail -n 3 build/hosted-asan/ctest.log
ctest --preset hosted-tsan >build/hosted-tsan/ctest.log 2>&1 || { status=1; cat build/hosted-tsan/ctest.log; }
tail -n 3 build/hosted-tsan/ctest.log
ctest --preset hosted-tsan-threads >build/hosted-tsan/ctest-repeat.log 2>&1 || { status=1; cat build/hosted-tsan/ctest-repeat.log; }
tail -n 3 build/hosted-tsan/ctest-repeat.log

if [ -x tests/fuzz/run.sh ]; then
  tests/fuzz/run.sh 30 || status=1
fi

ctest --preset hosted || status=1
exit "$status"
