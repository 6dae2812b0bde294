#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a short time each; fails when one finds a crash.
# Usage: fuzz/run_fuzzers.sh BUILD_DIR SECONDS
# Seeds: fuzz/seeds/<name>.sh CORPUS_DIR writes the seed inputs of target fuzz_<name>.
# Regressions: every file in fuzz/regressions/<name>/ is replayed first.
set -euo pipefail
build=$1
seconds=${2:-30}
here=$(cd "$(dirname "$0")" && pwd)
status=0
for bin in "$build"/bin/fuzz_*; do
  [ -x "$bin" ] || continue
  name=$(basename "$bin"); name=${name#fuzz_}
  corpus=$(mktemp -d)
  if [ -x "$here/seeds/$name.sh" ]; then "$here/seeds/$name.sh" "$corpus"; fi
  if [ -d "$here/regressions/$name" ] && ls "$here/regressions/$name"/* > /dev/null 2>&1; then
    echo "== replay regressions of $name"
    "$bin" "$here/regressions/$name"/* > "$build/fuzz-$name-replay.log" 2>&1 || {
      echo "regression replay of $name FAILED"; tail -n 40 "$build/fuzz-$name-replay.log"; status=1; }
  fi
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
