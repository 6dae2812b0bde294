#!/usr/bin/env bash
# Sets up what is missing, builds Release and runs the program with the given arguments.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build -j "$(nproc)" --target Korvelin
if [ $# -eq 0 ]; then
  exec build/bin/Korvelin --version
fi
exec build/bin/Korvelin "$@"
