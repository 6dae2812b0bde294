// Our small TIFF writer: one little-endian directory over one block of data (the strip), used for
// the temporary TIFF that carries a JPEG file to the PDF writer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tnw::image {
struct JpegInfo;
}

namespace tnw::conv {

class TiffWriter {
public:
    enum Code {
        kOk = 0,
        kCreate = -300,    // the file cannot be created
        kWrite = -301,     // a write came up short
        kTooLarge = -304,  // the file would not fit the 32-bit offsets, or no memory
    };

    // Entries may be added in any order; the directory is written in ascending tag order. A tag
    // added twice keeps its last value.
    void addShort(std::uint16_t tag, std::uint16_t value) { addShorts(tag, {value}); }
    void addShorts(std::uint16_t tag, const std::vector<std::uint16_t>& values);
    void addLong(std::uint16_t tag, std::uint32_t value);
    void addRational(std::uint16_t tag, std::uint32_t numerator, std::uint32_t denominator);
    // A LONG whose value is the offset of the data block, known only when the file is laid out.
    void addDataOffset(std::uint16_t tag);

    // Writes header, directory, out-of-line values and then `size` bytes of `data` to the code
    // page 932 `path`, replacing any file there.
    int write(const std::string& path, const std::uint8_t* data, std::size_t size) const;

    // The bytes that come before the data block, and the data block's offset.
    bool layout(std::vector<std::uint8_t>& head, std::uint32_t& dataOffset) const;

private:
    struct Entry {
        std::uint16_t tag;
        std::uint16_t type;  // 3 SHORT, 4 LONG, 5 RATIONAL
        std::vector<std::uint32_t> values;  // RATIONAL: numerator, denominator pairs
        bool dataOffset;
    };
    void add(Entry entry);

    std::vector<Entry> m_entries;
};

// TIFF values for a JPEG wrapped whole into one strip.
int tiffCompressionForJpeg(int jpegColorSpace);   // 7 for gray, 6 otherwise
int tiffPhotometricForJpeg(int jpegColorSpace);   // 1 gray, 2 RGB, 6 YCbCr, 5 CMYK and YCCK, else 0
int tiffResolutionUnitForJpeg(int densityUnit);   // 2 per inch, 3 per centimetre, else 0

// Writes the temporary TIFF for the JPEG file `jpeg` (its whole bytes) described by `info`.
// 0 or a TiffWriter code; -10 when the height is not 1 to 16384 rows (one strip holds them all).
int writeJpegTiff(const std::string& path, const image::JpegInfo& info, const std::uint8_t* jpeg,
                  std::size_t size);

// The same TIFF in memory: `buffer` holds the JPEG's bytes from `dataAt` to its end, with room
// before them; the head (header, directory and values, a few hundred bytes) is laid right in
// front of the bytes, so they are never copied, and `tiffStart` tells where the TIFF begins.
// 0, -10 as above, or kTooLarge when the room is too small or the TIFF would not fit.
int placeJpegTiffHead(const image::JpegInfo& info, std::string& buffer, std::size_t dataAt,
                      std::size_t& tiffStart);
// Room enough before the bytes for placeJpegTiffHead.
constexpr std::size_t kJpegTiffHeadRoom = 512;

// Rows of the one strip.
constexpr int kMaxJpegTiffRows = 16384;

}  // namespace tnw::conv
