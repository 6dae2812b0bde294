#!/usr/bin/env bash
# Seeds of fuzz_jpeg_stream: JPEG-compressed TIFF pages of every layout the assembly meets.
# Old-style (compression 6) pages are put together here around libjpeg-made JPEG files: a
# wrapped JPEG (one strip = the interchange bytes), a header with one and with two strips, the
# first strip starting with the header, strips after the tables joined by restart markers, no
# interchange tag. New-style (compression 7) pages come from the TIFF library: one colour strip
# with tables, three colour strips, gray strips. Usage: jpeg_stream.sh CORPUS_DIR
set -euo pipefail
out=$1
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/jpeg"
"$here/jpeg_analysis.sh" "$tmp/jpeg"

python3 - "$tmp/jpeg" "$out" <<'PY'
import os, struct, sys

src, out = sys.argv[1], sys.argv[2]

def tiff(entries, block):
    """entries: (tag, type, values); a value 'D+n' is the data block's offset plus n."""
    entries = sorted(entries, key=lambda e: e[0])
    head = 8 + 2 + 12 * len(entries) + 4
    extra = sum(((2 if t == 3 else 4) * len(v) + 1) // 2 * 2
                for _, t, v in entries if (2 if t == 3 else 4) * len(v) > 4)
    data_at = head + extra
    def val(v):
        return data_at + int(v[2:]) if isinstance(v, str) else v
    blob = bytearray(b'II' + struct.pack('<HI', 42, 8) + struct.pack('<H', len(entries)))
    values = bytearray()
    for tag, typ, vs in entries:
        fmt = '<H' if typ == 3 else '<I'
        raw = b''.join(struct.pack(fmt, val(v)) for v in vs)
        blob += struct.pack('<HHI', tag, typ, len(vs))
        if len(raw) <= 4:
            blob += raw.ljust(4, b'\0')
        else:
            blob += struct.pack('<I', head + len(values))
            values += raw
            if len(values) % 2:
                values += b'\0'
    blob += struct.pack('<I', 0) + values
    assert len(blob) == data_at
    return bytes(blob + block)

def marker(jpeg, code, start=0):
    i = start
    while i + 1 < len(jpeg):
        if jpeg[i] == 0xFF and jpeg[i + 1] == code:
            return i
        i += 1
    return -1

def page(width, length, rows, photometric, samples, compression, strips, interchange=None,
         subsampling=(2, 2)):
    e = [(256, 4, [width]), (257, 4, [length]), (258, 3, [8] * samples),
         (259, 3, [compression]), (262, 3, [photometric]), (277, 3, [samples]),
         (278, 4, [rows]), (273, 4, ['D+%d' % o for o, _ in strips]),
         (279, 4, [n for _, n in strips]), (530, 3, list(subsampling))]
    if interchange:
        e += [(513, 4, ['D+%d' % interchange[0]]), (514, 4, [interchange[1]])]
    return e

def write(name, entries, block):
    with open(os.path.join(out, name), 'wb') as f:
        f.write(tiff(entries, block))

base = open(os.path.join(src, 'baseline.jpg'), 'rb').read()
gray = open(os.path.join(src, 'gray.jpg'), 'rb').read()
restart = open(os.path.join(src, 'restart.jpg'), 'rb').read()

write('wrapped_colour.tif', page(16, 16, 16, 6, 3, 6, [(0, len(base))], (0, len(base))), base)
write('wrapped_gray.tif', page(9, 7, 7, 1, 1, 7, [(0, len(gray))], (0, len(gray))), gray)

sos = marker(base, 0xDA)
header = sos + 2 + (base[sos + 2] << 8 | base[sos + 3])
body = len(base) - 2
mid = (header + body) // 2
write('no_interchange.tif', page(16, 16, 16, 6, 3, 6, [(0, mid), (mid, body - mid)]),
      base[:body])
write('header_one_strip.tif',
      page(16, 16, 16, 6, 3, 6, [(header, body - header)], (0, header)), base[:body])
write('header_two_strips.tif',
      page(16, 16, 8, 6, 3, 6, [(header, 20), (header + 20, body - header - 20)], (0, header)),
      base[:body])
write('header_in_first_strip.tif',
      page(16, 16, 8, 6, 3, 6, [(0, mid), (mid, body - mid)], (0, header)), base[:body])

# restart.jpg: 32 x 32, restart interval 1 (one 16 x 16 MCU): strips of 16 rows hold two
# intervals each, cut at every other restart marker.
dri = marker(restart, 0xDD)
rst = [i for i in range(dri, len(restart) - 1)
       if restart[i] == 0xFF and 0xD0 <= restart[i + 1] <= 0xD7]
block = restart[:dri]
cuts = [dri + 6] + rst[1::2] + [len(restart) - 2]
strips = []
for a, b in zip(cuts, cuts[1:]):
    strips.append((len(block), b - a))
    block += restart[a:b]
write('restart_strips.tif', page(32, 32, 16, 6, 3, 6, strips, (0, dri)), block)
PY

cat > "$tmp/newstyle.c" <<'C'
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <tiffio.h>

static int page(const char* path, uint32_t w, uint32_t h, uint32_t rows, int gray)
{
    TIFF* tif = TIFFOpen(path, "w");
    if (!tif)
        return 1;
    const uint16_t samples = gray ? 1 : 3;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, w);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, h);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_JPEG);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, gray ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_YCBCR);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rows);
    if (!gray)
        TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    unsigned char row[3 * 64];
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w * samples; ++x)
            row[x] = (unsigned char)(x * 5 + y * 3);
        if (TIFFWriteScanline(tif, row, y, 0) != 1)
            return 1;
    }
    TIFFClose(tif);
    return 0;
}

int main(int argc, char** argv)
{
    char path[4096];
    int rc = 0;
    snprintf(path, sizeof path, "%s/new_one_strip.tif", argv[1]);
    rc |= page(path, 16, 16, 16, 0);
    snprintf(path, sizeof path, "%s/new_three_strips.tif", argv[1]);
    rc |= page(path, 16, 48, 16, 0);
    snprintf(path, sizeof path, "%s/new_gray.tif", argv[1]);
    rc |= page(path, 24, 16, 8, 1);
    return rc;
}
C
cc -O1 -o "$tmp/newstyle" "$tmp/newstyle.c" -ltiff
"$tmp/newstyle" "$out"
