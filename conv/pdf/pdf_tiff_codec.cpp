#include "conv/pdf/pdf_tiff_codec.h"

#include "common/image/tiff_handle.h"

#include "common/platform/files.h"
#include "common/checked_size.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include <tiffio.h>

namespace tnw::conv {

using image::TiffHandle;

namespace {

// Opens the page and checks that the library sees the image the writer was told about.
TiffDecodeStatus openPage(const TiffDecodeRequest& r, TiffHandle& handle)
{
    if (!handle.open(r.path, r.maxBytes))
        return TiffDecodeStatus::OpenFailed;
    TIFF* tif = handle.get();
    if (r.directoryIndex < 0 || r.directoryIndex > 65535 ||
        !TIFFSetDirectory(tif, static_cast<tdir_t>(r.directoryIndex)))
        return TiffDecodeStatus::DirectoryFailed;
    uint32_t width = 0;
    uint32_t length = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &length);
    if (width != r.width || length != r.length || TIFFIsTiled(tif))
        return TiffDecodeStatus::Mismatch;
    return TiffDecodeStatus::Ok;
}

// The page through the RGBA reader into `raster` (width x length), rows in the order the file
// stores them: the reader is asked for the file's own orientation, so it flips nothing. The
// page's orientation is drawn by the PDF page.
bool readRgbaAsStored(TIFF* tif, uint32_t width, uint32_t length, uint32_t* raster,
                      std::string& why)
{
    char message[1024] = {};
    TIFFRGBAImage image{};
    if (!TIFFRGBAImageOK(tif, message) || !TIFFRGBAImageBegin(&image, tif, 0, message)) {
        why = message;
        return false;
    }
    image.req_orientation = image.orientation;
    const int ok = TIFFRGBAImageGet(&image, raster, width, length);
    TIFFRGBAImageEnd(&image);
    return ok != 0;
}

}  // namespace

TiffDecodeResult decodeTiffStrips(const TiffDecodeRequest& r, std::string& out)
{
    TiffDecodeResult result;
    TiffHandle handle;
    result.status = openPage(r, handle);
    if (result.status == TiffDecodeStatus::Ok) {
        TIFF* tif = handle.get();
        uint16_t bits = 0;
        uint16_t samples = 0;
        uint16_t planar = PLANARCONFIG_CONTIG;
        uint32_t rowsPerStrip = 0;
        TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
        TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
        TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
        uint64_t perRow = 0;
        const bool sized = checkedRowBytes(r.width, r.bitsPerSample, r.samplesPerPixel, perRow) &&
                           checkedMul(perRow, r.length, result.wanted);
        if (bits != r.bitsPerSample || samples != r.samplesPerPixel ||
            planar != PLANARCONFIG_CONTIG || !sized ||
            uint64_t(TIFFScanlineSize64(tif)) != perRow) {
            result.status = sized ? TiffDecodeStatus::Mismatch : TiffDecodeStatus::TooLarge;
            if (!sized)
                result.wanted = UINT64_MAX;
        } else if ((r.maxBytes > 0 && result.wanted > r.maxBytes) || result.wanted > SIZE_MAX / 2) {
            result.status = TiffDecodeStatus::TooLarge;
        } else {
            if (rowsPerStrip == 0 || rowsPerStrip > r.length)
                rowsPerStrip = r.length;
            // At most the whole image: the product cannot pass result.wanted.
            const uint64_t stripBytes = uint64_t(rowsPerStrip) * perRow;
            out.assign(size_t(result.wanted), '\0');
            const uint32_t strips = TIFFNumberOfStrips(tif);
            uint64_t offset = 0;
            for (uint32_t s = 0; s < strips && offset < result.wanted; ++s) {
                const uint64_t want = std::min<uint64_t>(stripBytes, result.wanted - offset);
                if (TIFFReadEncodedStrip(tif, s, out.data() + offset, tmsize_t(want)) < 0) {
                    result.status = TiffDecodeStatus::StripFailed;
                    result.failedStrip = s;
                    break;
                }
                offset += want;
            }
            if (result.status == TiffDecodeStatus::Ok && offset < result.wanted) {
                result.status = TiffDecodeStatus::StripFailed;  // too few strips for the rows
                result.failedStrip = strips;
            }
        }
    }
    result.errors = handle.errors();
    if (result.status != TiffDecodeStatus::Ok)
        out.clear();
    return result;
}

TiffDecodeResult readTiffRgb(const TiffDecodeRequest& r, std::string& out)
{
    TiffDecodeResult result;
    TiffHandle handle;
    result.status = openPage(r, handle);
    const uint64_t pixels = uint64_t(r.width) * r.length;  // two 32-bit factors
    if (!checkedMul(pixels, 4, result.wanted) || result.wanted > SIZE_MAX / 2)
        result.wanted = UINT64_MAX;
    if (result.status == TiffDecodeStatus::Ok &&
        ((r.maxBytes > 0 && result.wanted > r.maxBytes) || result.wanted == UINT64_MAX))
        result.status = TiffDecodeStatus::TooLarge;
    std::string why;
    if (result.status == TiffDecodeStatus::Ok) {
        std::vector<uint32_t> raster(size_t(pixels), 0);
        if (!readRgbaAsStored(handle.get(), r.width, r.length, raster.data(), why)) {
            result.status = TiffDecodeStatus::StripFailed;
        } else {
            out.resize(size_t(pixels) * 3);
            for (size_t i = 0; i < raster.size(); ++i) {
                out[3 * i] = static_cast<char>(TIFFGetR(raster[i]));
                out[3 * i + 1] = static_cast<char>(TIFFGetG(raster[i]));
                out[3 * i + 2] = static_cast<char>(TIFFGetB(raster[i]));
            }
        }
    }
    result.errors = handle.errors();
    if (!why.empty())
        result.errors += why + '\n';
    if (result.status != TiffDecodeStatus::Ok)
        out.clear();
    return result;
}

bool encodeTiffStrip(uint32_t width, uint32_t length, uint16_t bits, uint16_t samples,
                     int compression, std::string& data, std::string& errors)
{
    std::string file;
    {
        TiffHandle writer;
        if (!writer.openMemory(file, "w", 0)) {
            errors = writer.errors();
            return false;
        }
        TIFF* tif = writer.get();
        uint16_t photometric = PHOTOMETRIC_MINISBLACK;
        if (compression == COMPRESSION_CCITTFAX4)
            photometric = PHOTOMETRIC_MINISWHITE;
        else if (samples == 3)
            photometric = PHOTOMETRIC_RGB;
        else if (samples == 4)
            photometric = PHOTOMETRIC_SEPARATED;
        bool ok = TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width) &&
                  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, length) &&
                  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bits) &&
                  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples) &&
                  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, length) &&
                  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
                  TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB) &&
                  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric) &&
                  TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
        if (ok && samples == 2) {
            const uint16_t extra[] = {EXTRASAMPLE_UNSPECIFIED};
            ok = TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, extra);
        }
        if (ok && compression == COMPRESSION_CCITTFAX4)
            ok = TIFFSetField(tif, TIFFTAG_GROUP4OPTIONS, 0);
        if (ok && compression == COMPRESSION_DEFLATE)
            ok = TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_NONE);
        ok = ok && TIFFWriteEncodedStrip(tif, 0, data.data(), tmsize_t(data.size())) >= 0 &&
             TIFFWriteDirectory(tif);
        errors = writer.errors();
        if (!ok)
            return false;
    }
    TiffHandle reader;
    if (!reader.openMemory(file, "r", 0)) {
        errors += reader.errors();
        return false;
    }
    uint64_t* counts = nullptr;
    if (!TIFFGetField(reader.get(), TIFFTAG_STRIPBYTECOUNTS, &counts) || !counts) {
        errors += reader.errors();
        return false;
    }
    std::string encoded(size_t(counts[0]), '\0');
    const tmsize_t got = encoded.empty() ? 0
                                         : TIFFReadRawStrip(reader.get(), 0, encoded.data(),
                                                            tmsize_t(encoded.size()));
    if (got < 0 || uint64_t(got) != counts[0]) {
        errors += reader.errors();
        return false;
    }
    data.swap(encoded);
    return true;
}

}  // namespace tnw::conv
