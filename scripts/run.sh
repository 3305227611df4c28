#!/usr/bin/env bash
# Installs what the hosted BRISKARN needs, builds it alone (no tests) and runs
# it on its built-in demo machine; Briskarn.log and the registry file are in
# build/program/run/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh program
cmake --preset program >/dev/null
cmake --build --preset program --target briskarn
mkdir -p build/program/run
cd build/program/run
exec ../briskarn "$@"
