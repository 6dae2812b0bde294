#!/usr/bin/env bash
# Seeds of fuzz_pdf_writer: small TIFF files of the page kinds the writer handles (gray,
# bilevel in both photometrics and fill orders, palette, RGB, CMYK, YCbCr, L*a*b*, Deflate and
# PackBits strips, orientations, several pages) and the JPEG seeds of fuzz_jpeg_analysis.
# Usage: fuzz/seeds/pdf_writer.sh CORPUS_DIR
set -euo pipefail
out=$1
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$out"
"$here/jpeg_analysis.sh" "$out"
# Hand-made hostile pages kept as files (sizes that wrap 64-bit products, and the like).
cp "$here"/pdf_writer/* "$out"/
python3 - "$out" <<'PY'
import struct, sys, zlib

out = sys.argv[1]

def tiff(pages):
    """pages: list of (entries, strips); entries are (tag, type, count, payload) without the
    strip tags, strips a list of byte strings."""
    blob = bytearray(b'II' + struct.pack('<HI', 42, 0))
    offsets = []
    for entries, strips in pages:
        offsets.append([])
        for s in strips:
            offsets[-1].append(len(blob))
            blob += s
            if len(blob) % 2:
                blob += b'\0'
    first = len(blob)
    struct.pack_into('<I', blob, 4, first)
    for p, (entries, strips) in enumerate(pages):
        es = list(entries)
        es.append((273, 4, len(strips), struct.pack('<%dI' % len(strips), *offsets[p])))
        es.append((279, 4, len(strips), struct.pack('<%dI' % len(strips), *map(len, strips))))
        es.sort(key=lambda x: x[0])
        start = len(blob)
        data_at = start + 2 + 12 * len(es) + 4
        body = struct.pack('<H', len(es))
        data = bytearray()
        for tag, typ, count, payload in es:
            body += struct.pack('<HHI', tag, typ, count)
            if len(payload) <= 4:
                body += payload.ljust(4, b'\0')
            else:
                body += struct.pack('<I', data_at + len(data))
                data += payload
                if len(data) % 2:
                    data += b'\0'
        last = p + 1 == len(pages)
        body += struct.pack('<I', 0 if last else data_at + len(data))
        blob += body + data
    return bytes(blob)

sh = lambda *v: struct.pack('<%dH' % len(v), *v)
lo = lambda *v: struct.pack('<%dI' % len(v), *v)

def page(width, length, bits, samples, photometric, compression, strips, extra=()):
    entries = [(256, 3, 1, sh(width)), (257, 3, 1, sh(length)),
               (258, 3, samples, sh(*([bits] * samples))), (259, 3, 1, sh(compression)),
               (262, 3, 1, sh(photometric)), (277, 3, 1, sh(samples)),
               (278, 3, 1, sh(max(1, length // len(strips)))),
               (282, 5, 1, lo(300, 1)), (283, 5, 1, lo(300, 1)), (296, 3, 1, sh(2)),
               (306, 2, 20, b'2024:01:02 03:04:05\0')] + list(extra)
    return (entries, strips)

def pixels(n, seed=7):
    return bytes((i * seed + i // 5) & 0xFF for i in range(n))

def packbits(raw):
    outb = bytearray()
    for i in range(0, len(raw), 128):
        chunk = raw[i:i + 128]
        outb.append(len(chunk) - 1)
        outb += chunk
    return bytes(outb)

seeds = {
    'gray.tif': [page(8, 4, 8, 1, 1, 1, [pixels(32)])],
    'white_is_zero_2strips.tif': [page(8, 4, 8, 1, 0, 1, [pixels(16), pixels(16, 3)])],
    'bilevel.tif': [page(16, 4, 1, 1, 0, 1, [pixels(8)])],
    'bilevel_lsb.tif': [page(16, 4, 1, 1, 1, 1, [pixels(8)], [(266, 3, 1, sh(2))])],
    'palette4.tif': [page(4, 2, 4, 1, 3, 1, [pixels(4)],
                          [(320, 3, 48, sh(*range(0, 48 * 1000, 1000)))])],
    'rgb_orient6.tif': [page(4, 2, 8, 3, 2, 1, [pixels(24)], [(274, 3, 1, sh(6))])],
    'rgba_as_cmyk.tif': [page(2, 2, 8, 4, 2, 1, [pixels(16)])],
    'cmyk.tif': [page(2, 2, 8, 4, 5, 1, [pixels(16)])],
    'ycbcr.tif': [page(4, 2, 8, 3, 6, 1, [pixels(24)], [(530, 3, 2, sh(1, 1))])],
    'cielab.tif': [page(4, 2, 8, 3, 8, 1, [pixels(24)])],
    'itulab.tif': [page(4, 2, 8, 3, 10, 1, [pixels(24)])],
    'deflate.tif': [page(8, 4, 8, 1, 1, 8, [zlib.compress(pixels(32))])],
    'deflate_2strips.tif': [page(8, 4, 8, 1, 1, 32946,
                                 [zlib.compress(pixels(16)), zlib.compress(pixels(16, 5))])],
    'packbits.tif': [page(8, 4, 8, 1, 1, 32773, [packbits(pixels(32))])],
    'three_pages.tif': [page(8, 4, 8, 1, 1, 1, [pixels(32)]),
                        page(4, 2, 4, 1, 3, 1, [pixels(4)],
                             [(320, 3, 48, sh(*range(0, 48 * 1000, 1000)))]),
                        page(16, 4, 1, 1, 0, 1, [pixels(8)])],
    'cm_resolution.tif': [page(8, 4, 8, 1, 1, 1, [pixels(32)], [])],
}
for name, pages in seeds.items():
    with open(f'{out}/{name}', 'wb') as f:
        f.write(tiff(pages))
PY
