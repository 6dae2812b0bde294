#include "conv/pdf/tiff_writer.h"

#include "common/platform/files.h"
#include "common/image/jpeg_analysis.h"
#include "common/image/jpeg_codec.h"

#include <algorithm>
#include <limits>
#include <new>

namespace tnw::conv {

namespace {

constexpr std::uint16_t kShort = 3;
constexpr std::uint16_t kLong = 4;
constexpr std::uint16_t kRational = 5;

void put16(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

}  // namespace

void TiffWriter::add(Entry entry)
{
    auto same = std::find_if(m_entries.begin(), m_entries.end(),
                             [&](const Entry& e) { return e.tag == entry.tag; });
    if (same != m_entries.end())
        *same = std::move(entry);
    else
        m_entries.push_back(std::move(entry));
}

void TiffWriter::addShorts(std::uint16_t tag, const std::vector<std::uint16_t>& values)
{
    add({tag, kShort, std::vector<std::uint32_t>(values.begin(), values.end()), false});
}

void TiffWriter::addLong(std::uint16_t tag, std::uint32_t value)
{
    add({tag, kLong, {value}, false});
}

void TiffWriter::addRational(std::uint16_t tag, std::uint32_t numerator, std::uint32_t denominator)
{
    add({tag, kRational, {numerator, denominator}, false});
}

void TiffWriter::addDataOffset(std::uint16_t tag)
{
    add({tag, kLong, {0}, true});
}

bool TiffWriter::layout(std::vector<std::uint8_t>& head, std::uint32_t& dataOffset) const
{
    std::vector<const Entry*> entries;
    for (const Entry& e : m_entries)
        entries.push_back(&e);
    std::sort(entries.begin(), entries.end(),
              [](const Entry* a, const Entry* b) { return a->tag < b->tag; });

    // Header, directory, then the values that do not fit in an entry, each at an even offset.
    const size_t directoryEnd = 8 + 2 + 12 * entries.size() + 4;
    size_t extra = 0;
    for (const Entry* e : entries) {
        const size_t bytes = e->type == kShort ? 2 * e->values.size() : 4 * e->values.size();
        if (bytes > 4)
            extra += (bytes + 1) / 2 * 2;
    }
    const size_t headSize = directoryEnd + extra;
    if (headSize > std::numeric_limits<std::uint32_t>::max())
        return false;
    dataOffset = static_cast<std::uint32_t>(headSize);

    head.clear();
    head.reserve(headSize);
    head.push_back('I');
    head.push_back('I');
    put16(head, 42);
    put32(head, 8);
    put16(head, static_cast<std::uint32_t>(entries.size()));
    std::vector<std::uint8_t> values;
    for (const Entry* e : entries) {
        put16(head, e->tag);
        put16(head, e->type);
        const size_t count = e->type == kRational ? e->values.size() / 2 : e->values.size();
        put32(head, static_cast<std::uint32_t>(count));
        std::vector<std::uint8_t> bytes;
        for (std::uint32_t v : e->values) {
            if (e->type == kShort)
                put16(bytes, v);
            else
                put32(bytes, e->dataOffset ? dataOffset : v);
        }
        if (bytes.size() <= 4) {
            bytes.resize(4, 0);
            head.insert(head.end(), bytes.begin(), bytes.end());
        } else {
            put32(head, static_cast<std::uint32_t>(directoryEnd + values.size()));
            values.insert(values.end(), bytes.begin(), bytes.end());
            if (values.size() % 2 != 0)
                values.push_back(0);
        }
    }
    put32(head, 0);  // no further directory
    head.insert(head.end(), values.begin(), values.end());
    return head.size() == headSize;
}

int TiffWriter::write(const std::string& path, const std::uint8_t* data, std::size_t size) const
{
    std::vector<std::uint8_t> head;
    std::uint32_t dataOffset = 0;
    try {
        if (!layout(head, dataOffset))
            return kTooLarge;
    } catch (const std::bad_alloc&) {
        return kTooLarge;
    }
    if (size > std::numeric_limits<std::uint32_t>::max() - dataOffset)
        return kTooLarge;

    image::OwnedFile file(platform::openFile(path, "wb"));
    if (!file)
        return kCreate;
    bool ok = std::fwrite(head.data(), 1, head.size(), file.get()) == head.size();
    if (ok && size > 0)
        ok = std::fwrite(data, 1, size, file.get()) == size;
    ok = std::fflush(file.get()) == 0 && ok;
    ok = std::fclose(file.release()) == 0 && ok;
    if (!ok) {
        // Never leave a half-written file that the reader could take for the page.
        platform::deleteFile(path);
        return kWrite;
    }
    return kOk;
}

int tiffCompressionForJpeg(int jpegColorSpace)
{
    return jpegColorSpace == image::kJpegGray ? 7 : 6;
}

int tiffPhotometricForJpeg(int jpegColorSpace)
{
    switch (jpegColorSpace) {
    case image::kJpegGray:
        return 1;
    case image::kJpegRgb:
        return 2;
    case image::kJpegYCbCr:
        return 6;
    case image::kJpegCmyk:
    case image::kJpegYcck:  // YCCK is decoded to CMYK, so the page is CMYK
        return 5;
    default:
        return 0;
    }
}

int tiffResolutionUnitForJpeg(int densityUnit)
{
    return densityUnit == 1 ? 2 : densityUnit == 2 ? 3 : 0;
}

namespace {

// The directory of the temporary TIFF of a JPEG described by `info`, `length` bytes.
void describeJpegTiff(const image::JpegInfo& info, std::uint32_t length, TiffWriter& tiff)
{
    const int photometric = tiffPhotometricForJpeg(info.colorSpace);
    std::vector<std::uint16_t> bits{8};
    if (photometric == 2 || photometric == 6)
        bits = {8, 8, 8};
    else if (photometric == 5)
        bits = {8, 8, 8, 8};
    tiff.addLong(254, 0);
    tiff.addLong(256, static_cast<std::uint32_t>(info.width));
    tiff.addLong(257, static_cast<std::uint32_t>(info.height));
    tiff.addShorts(258, bits);
    tiff.addShort(259, static_cast<std::uint16_t>(tiffCompressionForJpeg(info.colorSpace)));
    tiff.addShort(262, static_cast<std::uint16_t>(photometric));
    tiff.addShort(266, 1);
    tiff.addShort(274, 1);
    tiff.addDataOffset(273);
    tiff.addShort(277, static_cast<std::uint16_t>(info.components));
    tiff.addLong(278, static_cast<std::uint32_t>(info.height));
    tiff.addLong(279, length);
    tiff.addRational(282, static_cast<std::uint32_t>(info.xDensity), 1);
    tiff.addRational(283, static_cast<std::uint32_t>(info.yDensity), 1);
    tiff.addShort(296, static_cast<std::uint16_t>(tiffResolutionUnitForJpeg(info.densityUnit)));
    tiff.addShort(512, 1);
    tiff.addDataOffset(513);
    tiff.addLong(514, length);
    tiff.addShort(515, static_cast<std::uint16_t>(info.restartInterval));
}

}  // namespace

int writeJpegTiff(const std::string& path, const image::JpegInfo& info, const std::uint8_t* jpeg,
                  std::size_t size)
{
    if (info.height < 1 || info.height > kMaxJpegTiffRows)
        return -10;
    try {
        TiffWriter tiff;
        describeJpegTiff(info, static_cast<std::uint32_t>(size), tiff);
        return tiff.write(path, jpeg, size);
    } catch (const std::bad_alloc&) {
        return TiffWriter::kTooLarge;
    }
}

int placeJpegTiffHead(const image::JpegInfo& info, std::string& buffer, std::size_t dataAt,
                      std::size_t& tiffStart)
{
    if (info.height < 1 || info.height > kMaxJpegTiffRows)
        return -10;
    if (dataAt > buffer.size())
        return TiffWriter::kTooLarge;
    const std::size_t size = buffer.size() - dataAt;
    try {
        TiffWriter tiff;
        describeJpegTiff(info, static_cast<std::uint32_t>(size), tiff);
        std::vector<std::uint8_t> head;
        std::uint32_t dataOffset = 0;
        if (!tiff.layout(head, dataOffset) || dataOffset != head.size() || head.size() > dataAt ||
            size > std::numeric_limits<std::uint32_t>::max() - dataOffset)
            return TiffWriter::kTooLarge;
        tiffStart = dataAt - head.size();
        std::copy(head.begin(), head.end(), buffer.begin() + std::ptrdiff_t(tiffStart));
        return TiffWriter::kOk;
    } catch (const std::bad_alloc&) {
        return TiffWriter::kTooLarge;
    }
}

}  // namespace tnw::conv
