// Fixtures of the PDF writer's tests: TIFF files written with libtiff from a page description,
// and a small reader of the writer's output that finds objects through its cross-reference
// table.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <tiffio.h>

namespace tnw::test {

struct TiffPageShape {
    uint32_t width = 16;
    uint32_t length = 8;
    uint16_t bits = 8;
    uint16_t samples = 1;
    uint16_t photometric = PHOTOMETRIC_MINISBLACK;
    uint16_t compression = COMPRESSION_NONE;
    uint32_t rowsPerStrip = 0;  // 0: one strip
    uint16_t fillOrder = FILLORDER_MSB2LSB;
    uint16_t orientation = 0;   // 0: no tag
    float xResolution = 300;    // 0: no resolution tags
    float yResolution = 300;
    uint16_t resolutionUnit = RESUNIT_INCH;
    std::string dateTime;
    std::string software;
    std::string artist;
    std::string documentName;
    std::string description;
    std::string pixels;         // decoded samples, rows unpadded; empty: a pattern
};

// Writes the pages into one TIFF file (each strip through the codec of its compression). A
// palette page gets a colour map whose entry j is (j * 257, 0, 65535 - j * 257).
inline bool writeTiff(const std::string& path, const std::vector<TiffPageShape>& pages)
{
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (!tif)
        return false;
    bool ok = true;
    for (const TiffPageShape& p : pages) {
        const uint32_t rps = p.rowsPerStrip ? p.rowsPerStrip : p.length;
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, p.width);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, p.length);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, p.bits);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, p.samples);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, p.photometric);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, p.compression);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rps);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif, TIFFTAG_FILLORDER, p.fillOrder);
        if (p.orientation)
            TIFFSetField(tif, TIFFTAG_ORIENTATION, p.orientation);
        if (p.xResolution > 0) {
            TIFFSetField(tif, TIFFTAG_XRESOLUTION, p.xResolution);
            TIFFSetField(tif, TIFFTAG_YRESOLUTION, p.yResolution);
            TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, p.resolutionUnit);
        }
        if (p.photometric == PHOTOMETRIC_YCBCR)
            TIFFSetField(tif, TIFFTAG_YCBCRSUBSAMPLING, 1, 1);
        if (p.photometric == PHOTOMETRIC_PALETTE) {
            const size_t n = size_t(1) << p.bits;
            std::vector<uint16_t> r(n), g(n, 0), b(n);
            for (size_t j = 0; j < n; ++j) {
                r[j] = uint16_t(j * 257);
                b[j] = uint16_t(65535 - j * 257);
            }
            TIFFSetField(tif, TIFFTAG_COLORMAP, r.data(), g.data(), b.data());
        }
        if (!p.dateTime.empty())
            TIFFSetField(tif, TIFFTAG_DATETIME, p.dateTime.c_str());
        if (!p.software.empty())
            TIFFSetField(tif, TIFFTAG_SOFTWARE, p.software.c_str());
        if (!p.artist.empty())
            TIFFSetField(tif, TIFFTAG_ARTIST, p.artist.c_str());
        if (!p.documentName.empty())
            TIFFSetField(tif, TIFFTAG_DOCUMENTNAME, p.documentName.c_str());
        if (!p.description.empty())
            TIFFSetField(tif, TIFFTAG_IMAGEDESCRIPTION, p.description.c_str());
        const size_t rowBytes = (size_t(p.width) * p.bits * p.samples + 7) / 8;
        std::string pixels = p.pixels;
        if (pixels.empty()) {
            pixels.resize(rowBytes * p.length);
            for (size_t i = 0; i < pixels.size(); ++i)
                pixels[i] = char((i * 37 + i / rowBytes) & 0xFF);
        }
        for (uint32_t row = 0, s = 0; row < p.length; row += rps, ++s) {
            const uint32_t rows = std::min(rps, p.length - row);
            ok = ok && TIFFWriteEncodedStrip(tif, s, pixels.data() + row * rowBytes,
                                             tmsize_t(rows * rowBytes)) >= 0;
        }
        ok = ok && TIFFWriteDirectory(tif);
    }
    TIFFClose(tif);
    return ok;
}

// The writer's output, read through its cross-reference table.
class PdfBytes {
public:
    explicit PdfBytes(std::string bytes) : m_bytes(std::move(bytes))
    {
        const size_t start = m_bytes.rfind("startxref\r");
        if (start == std::string::npos)
            return;
        size_t at = std::strtoull(m_bytes.c_str() + start + 10, nullptr, 10);
        if (m_bytes.compare(at, 7, "xref\r0 ") != 0)
            return;
        const int count = std::atoi(m_bytes.c_str() + at + 7);
        at = m_bytes.find("\r\n", at) + 2;  // the free entry
        for (int n = 1; n < count; ++n)
            m_offsets.push_back(std::strtoull(m_bytes.c_str() + at + 20 * (n - 1), nullptr, 10));
    }

    const std::string& bytes() const { return m_bytes; }
    int objectCount() const { return int(m_offsets.size()); }
    uint64_t offset(int n) const { return m_offsets.at(size_t(n - 1)); }

    // Object n from "n 0 obj\r" through "endobj\r" ("" when the table has no such object).
    std::string object(int n) const
    {
        if (n < 1 || n > objectCount())
            return {};
        const size_t at = offset(n);
        size_t end = m_bytes.find("\rendstream\r", at);
        const size_t next = n < objectCount() ? offset(n + 1) : m_bytes.find("xref\r", at);
        if (end == std::string::npos || end > next)
            end = at;
        end = m_bytes.find("endobj\r", end);
        return end == std::string::npos ? std::string() : m_bytes.substr(at, end + 7 - at);
    }
    // The data of stream object n.
    std::string streamData(int n) const
    {
        const std::string obj = object(n);
        const size_t start = obj.find("stream\r\n");
        const size_t end = obj.rfind("\rendstream\r");
        if (start == std::string::npos || end == std::string::npos)
            return {};
        return obj.substr(start + 8, end - start - 8);
    }

private:
    std::string m_bytes;
    std::vector<uint64_t> m_offsets;
};

}  // namespace tnw::test
