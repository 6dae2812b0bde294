#!/usr/bin/env bash
# Seeds of fuzz_marker_scan: the JPEG files of the analysis seeds plus marker sequences written
# by hand. Usage: marker_scan.sh CORPUS_DIR
set -euo pipefail
out=$1
here=$(cd "$(dirname "$0")" && pwd)
"$here/jpeg_analysis.sh" "$out"
printf '\xff\xd8\xff\xd8' > "$out/second_soi.bin"
printf '\xff\xd8\xff\xdb\x00\x02\x00\x00' > "$out/bad_length.bin"
printf '\xff\xd8\xff\xdb\x00' > "$out/cut_length.bin"
printf '\xff\xd8\xff\xdb\x00\x40\x00' > "$out/cut_segment.bin"
printf '\xff\xd8\xff\x03\x00\x04' > "$out/unknown_code.bin"
printf '\xff\xd8\xff\xda\x00\x04\x00\x00\x12\xff\xd0\x34\xff\xdb\xff\x00\xff\xdd\xff\xd9' \
  > "$out/markers_after_sos.bin"
printf '\x12\x34\x56\x78' > "$out/no_marker.bin"
