#!/usr/bin/env bash
# Seeds of fuzz_display_decoder: the TIFF reader's and the JPEG analysis's seeds, each behind
# the format byte the target reads first ('T' TIFF, 'J' JPEG).
# Usage: fuzz/seeds/display_decoder.sh CORPUS_DIR
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
mkdir -p "$1"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
"$here/tiff_reader.sh" "$tmp/tiff"
"$here/jpeg_analysis.sh" "$tmp/jpeg"
for f in "$tmp"/tiff/*; do { printf 'T'; cat "$f"; } > "$1/tiff_$(basename "$f")"; done
for f in "$tmp"/jpeg/*; do { printf 'J'; cat "$f"; } > "$1/jpeg_$(basename "$f")"; done
