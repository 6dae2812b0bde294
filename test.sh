#!/usr/bin/env bash
# Sets up what is missing, builds Release and runs every test with CTest, then runs the unit and
# integration tests again under AddressSanitizer and UndefinedBehaviorSanitizer, then runs each
# fuzz target briefly. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

echo "== Release build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build -j "$jobs"

echo "== Sanitizer build (ASan + UBSan)"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKVL_SANITIZE=ON > /dev/null
cmake --build build-asan -j "$jobs"

echo "== Fuzz build (clang, libFuzzer)"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKVL_FUZZ=ON > /dev/null
cmake --build build-fuzz -j "$jobs"

status=0
echo "== Sanitizer tests"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan -L 'unit|integration' --output-on-failure -j "$jobs" || status=1

echo "== Fuzzing"
fuzz/run_fuzzers.sh build-fuzz "${KVL_FUZZ_SECONDS:-30}" || status=1

echo "== Release tests"
ctest --test-dir build --output-on-failure -j "$jobs" || status=1
exit $status
