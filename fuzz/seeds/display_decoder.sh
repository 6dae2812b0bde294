#!/usr/bin/env bash
# Seeds of fuzz_display_decoder: the TIFF reader's and the JPEG analysis's seeds, each behind
# the format byte the target reads first ('T' TIFF, 'J' JPEG), and old-style JPEG TIFF pages
# (compression 6) wrapped around the grey and the colour baseline seeds.
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
python3 - "$tmp/jpeg" "$1" <<'PY'
import struct, sys

src, out = sys.argv[1], sys.argv[2]

def size(jpeg):
    """Width and height from the first start-of-frame marker."""
    i = 2
    while i + 4 <= len(jpeg):
        marker, length = jpeg[i + 1], struct.unpack('>H', jpeg[i + 2:i + 4])[0]
        if marker in (0xC0, 0xC1, 0xC2):
            h, w = struct.unpack('>HH', jpeg[i + 5:i + 9])
            return w, h, jpeg[i + 9]
        i += 2 + length
    return 8, 8, 1

def old_jpeg_tiff(jpeg):
    """One strip holding the whole stream, which JPEGInterchangeFormat points at too."""
    w, h, comps = size(jpeg)
    colour = comps == 3
    ifd = 8 + len(jpeg) + (len(jpeg) & 1)
    n = 12 if colour else 11
    bits_at = ifd + 2 + 12 * n + 4
    entries = [(256, 3, 1, w), (257, 3, 1, h), (258, 3, 3 if colour else 1, bits_at if colour else 8),
               (259, 3, 1, 6), (262, 3, 1, 6 if colour else 1), (273, 4, 1, 8),
               (277, 3, 1, comps), (278, 3, 1, h), (279, 4, 1, len(jpeg)), (513, 4, 1, 8),
               (514, 4, 1, len(jpeg))]
    if colour:
        entries.append((530, 3, 2, 2 | (2 << 16)))
    blob = b'II*\0' + struct.pack('<I', ifd) + jpeg + b'\0' * (len(jpeg) & 1)
    blob += struct.pack('<H', len(entries))
    for tag, typ, count, value in entries:
        blob += struct.pack('<HHII', tag, typ, count, value)
    blob += struct.pack('<I', 0)
    return blob + b'\0' * (bits_at - len(blob)) + struct.pack('<HHH', 8, 8, 8)

for name in ('gray', 'baseline'):
    with open(f'{src}/{name}.jpg', 'rb') as f:
        page = old_jpeg_tiff(f.read())
    with open(f'{out}/tiff_old_jpeg_{name}.tif', 'wb') as f:
        f.write(b'T' + page)
PY
