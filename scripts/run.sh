#!/usr/bin/env bash
# Builds the hosted BRISKARN and runs it on its built-in demo machine; the
# transcript goes to standard output, Briskarn.log to build/hosted/run/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset hosted >/dev/null
cmake --build --preset hosted
mkdir -p build/hosted/run
cd build/hosted/run
exec ../briskarn "$@"
