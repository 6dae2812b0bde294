#!/usr/bin/env bash
# Seeds of fuzz_jpeg_analysis: small JPEG files of every kind made with libjpeg, and a few
# hostile ones written by hand. Usage: jpeg_analysis.sh CORPUS_DIR
set -euo pipefail
out=$1
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cc -O1 -o "$tmp/jpeg_seedgen" "$here/jpeg_seedgen.c" -ljpeg
"$tmp/jpeg_seedgen" "$out"
printf '' > "$out/empty.jpg"
printf '\xff\xd8\xff\xd9' > "$out/soi_eoi.jpg"
head -c 200 "$out/baseline.jpg" > "$out/truncated_header.jpg"
# A progressive frame header claiming 65500 x 65500 pixels with no scan data.
printf '\xff\xd8\xff\xc2\x00\x11\x08\xff\xdc\xff\xdc\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01\xff\xd9' \
  > "$out/huge_progressive_header.jpg"
