#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a short time each; fails when one finds a crash.
# Usage: fuzz/run_fuzzers.sh BUILD_DIR SECONDS
set -euo pipefail
build=$1
seconds=${2:-30}
here=$(cd "$(dirname "$0")" && pwd)
status=0
for bin in "$build"/bin/fuzz_*; do
  [ -x "$bin" ] || continue
  name=$(basename "$bin"); name=${name#fuzz_}
  corpus=$(mktemp -d)
  # Seeds are made by the target itself (-seed_inputs is not needed): a folder of checked-in
  # hand-made inputs is copied when present.
  if [ -d "$here/corpus/$name" ]; then cp -r "$here/corpus/$name/." "$corpus/"; fi
  if [ -x "$here/make_seeds.sh" ]; then "$here/make_seeds.sh" "$name" "$corpus" || true; fi
  echo "== fuzz $name for ${seconds}s"
  if ! "$bin" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="$build/fuzz-$name-" "$corpus" > "$build/fuzz-$name.log" 2>&1; then
    echo "fuzz $name FAILED; see $build/fuzz-$name.log"; tail -n 40 "$build/fuzz-$name.log"
    status=1
  else
    grep -E '^#[0-9]+ +DONE' "$build/fuzz-$name.log" || tail -n 2 "$build/fuzz-$name.log"
  fi
  rm -rf "$corpus"
done
exit $status
