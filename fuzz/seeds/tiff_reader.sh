#!/usr/bin/env bash
# Seeds of fuzz_tiff_reader: small TIFF files in both byte orders with strips, rationals,
# strings, a colour map, a JPEG tables block, an unknown tag and a multi-directory chain.
# Usage: fuzz/seeds/tiff_reader.sh CORPUS_DIR
set -euo pipefail
mkdir -p "$1"
python3 - "$1" <<'PY'
import struct, sys, os

out = sys.argv[1]

def tiff(order, directories):
    """directories: list of lists of (tag, type, count, payload bytes)."""
    e = '<' if order == b'II' else '>'
    blob = bytearray(order + struct.pack(e + 'HI', 42, 8))
    for d, entries in enumerate(directories):
        start = len(blob)
        data = bytearray()
        data_at = start + 2 + 12 * len(entries) + 4
        body = struct.pack(e + 'H', len(entries))
        for tag, typ, count, payload in entries:
            body += struct.pack(e + 'HHI', tag, typ, count)
            if len(payload) <= 4:
                body += payload.ljust(4, b'\0')
            else:
                body += struct.pack(e + 'I', data_at + len(data))
                data += payload
                if len(data) % 2:
                    data += b'\0'
        last = d + 1 == len(directories)
        body += struct.pack(e + 'I', 0 if last else data_at + len(data))
        blob += body + data
    return bytes(blob)

def page(order, width=16, length=4, bits=(8,), photometric=1, extra=()):
    e = '<' if order == b'II' else '>'
    sh = lambda *v: struct.pack(e + 'H' * len(v), *v)
    lo = lambda *v: struct.pack(e + 'I' * len(v), *v)
    entries = [
        (256, 3, 1, sh(width)),
        (257, 4, 1, lo(length)),
        (258, 3, len(bits), sh(*bits)),
        (259, 3, 1, sh(1)),
        (262, 3, 1, sh(photometric)),
        (269, 2, 9, b'doc name\0'),
        (273, 4, 2, lo(8, 40)),
        (277, 3, 1, sh(len(bits))),
        (278, 3, 1, sh(2)),
        (279, 4, 2, lo(32, 32)),
        (282, 5, 1, lo(300, 1)),
        (283, 5, 1, lo(600, 2)),
        (296, 3, 1, sh(2)),
        (297, 3, 2, sh(0, 2)),
        (305, 2, 5, b'kvl \0'),
        (306, 2, 20, b'2024:01:02 03:04:05\0'),
    ] + list(extra)
    entries.sort(key=lambda x: x[0])
    return entries

for order, tag in ((b'II', 'le'), (b'MM', 'be')):
    e = '<' if order == b'II' else '>'
    sh = lambda *v: struct.pack(e + 'H' * len(v), *v)
    lo = lambda *v: struct.pack(e + 'I' * len(v), *v)
    cmap = sh(*[i * 1365 for i in range(48)])
    files = {
        'gray': [page(order)],
        'rgb': [page(order, bits=(8, 8, 8), photometric=2,
                     extra=[(530, 3, 2, sh(2, 1)), (318, 5, 2, lo(313, 1000, 329, 1000))])],
        'palette': [page(order, bits=(4,), photometric=3, extra=[(320, 3, 48, cmap)])],
        'jpeg': [page(order, bits=(8, 8, 8), photometric=6,
                      extra=[(347, 7, 8, b'\xff\xd8\xff\xdb\x00\x02\xff\xd9'),
                             (513, 4, 1, lo(8)), (514, 4, 1, lo(64)), (515, 3, 1, sh(0)),
                             (65000, 3, 3, sh(1, 2, 3))])],
        'chain': [page(order), page(order, width=32), page(order, width=48, bits=(1,))],
    }
    for name, dirs in files.items():
        with open(os.path.join(out, f'{name}_{tag}.tif'), 'wb') as f:
            f.write(tiff(order, dirs))
PY
