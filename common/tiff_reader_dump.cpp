// The two dumps of a directory: the text listing (header, one line per entry, detail lines with
// the decoded values) and the comma-separated rows. Both are code page 932 bytes.
#include "common/platform/cp932.h"
#include "common/tiff_reader.h"
#include "common/tiff_reader_tags.h"

#include <charconv>
#include <cstdarg>

namespace tnw::common {

namespace {

constexpr size_t kTextBufferStart = 256;

// The fixed texts of the text listing, converted once.
struct DumpTexts {
    std::string entryCount = platform::sjis("タグ数 : %d\n");
    std::string columns = platform::sjis(
        "ﾀｸﾞ番号       データ型   　データ数 データ           ﾀｸﾞ名称\n");
};

const DumpTexts& dumpTexts()
{
    static const DumpTexts texts;
    return texts;
}

// How the text listing shows an entry's values.
enum class Detail { None, Name, Text, Bits, Hex, Counts, Rationals, ColorMap, BothBases, Bytes };

bool isInteger(uint16_t type)
{
    return type == kTiffShort || type == kTiffLong || type == kTiffSShort || type == kTiffSLong;
}

// Values shown by their type, for tags the reader does not interpret.
Detail detailByType(const TiffEntry& e)
{
    switch (e.type) {
    case kTiffAscii: return Detail::Text;
    case kTiffRational:
    case kTiffSRational: return Detail::Rationals;
    case kTiffByte:
    case kTiffSByte:
    case kTiffUndefined: return e.count > 1 ? Detail::Bytes : Detail::None;
    default: return isInteger(e.type) && e.count > 1 ? Detail::BothBases : Detail::None;
    }
}

Detail detailOf(const TiffEntry& e, const TiffTagRow& row)
{
    switch (row.kind) {
    case TiffTagKind::Number:
        if (e.tag == 259 || e.tag == 262 || e.tag == 296)
            return Detail::Name;
        return e.count > 1 ? Detail::BothBases : Detail::None;
    case TiffTagKind::Text: return Detail::Text;
    case TiffTagKind::Bits: return Detail::Bits;
    case TiffTagKind::Offsets: return e.count > 1 ? Detail::Hex : Detail::None;
    case TiffTagKind::Counts: return e.count > 1 ? Detail::Counts : Detail::None;
    case TiffTagKind::Rational: return Detail::Rationals;
    case TiffTagKind::Pair: return Detail::BothBases;
    case TiffTagKind::ColorMap: return Detail::ColorMap;
    case TiffTagKind::Tables: return Detail::Bytes;
    case TiffTagKind::OffsetList:
        if (isInteger(e.type) && e.count > 1)
            return Detail::Hex;
        return detailByType(e);
    case TiffTagKind::Plain: return detailByType(e);
    }
    return Detail::None;
}

bool isSigned(uint16_t type)
{
    return type == kTiffSShort || type == kTiffSLong || type == kTiffSRational ||
           type == kTiffSByte;
}

// A value as "%ld" prints it: signed types are sign-extended from their size.
long decimal(uint16_t type, uint32_t v)
{
    if (!isSigned(type))
        return long(v);
    switch (tiffTypeSize(type)) {
    case 1: return int8_t(v);
    case 2: return int16_t(v);
    default: return int32_t(v);
    }
}

// "%.1f" in the C locale, whatever the process locale is.
std::string oneDecimal(double v)
{
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 1);
    return res.ec == std::errc() ? std::string(buf, res.ptr) : std::string("0.0");
}

std::string cString(const std::string& s)
{
    return s.substr(0, s.find('\0'));
}

}  // namespace

void TiffReader::put(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), m_dumpStream);
}

void TiffReader::putf(const char* format, ...)
{
    if (m_text.size() < kTextBufferStart)
        m_text.resize(kTextBufferStart);
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int n = std::vsnprintf(m_text.data(), m_text.size(), format, args);
    if (n >= 0 && size_t(n) >= m_text.size()) {
        m_text.resize(size_t(n) + 1);
        n = std::vsnprintf(m_text.data(), m_text.size(), format, again);
    }
    va_end(again);
    va_end(args);
    if (n > 0)
        std::fwrite(m_text.data(), 1, size_t(n), m_dumpStream);
}

void TiffReader::dumpHeader(const TiffDirectoryBlock& block)
{
    const DumpTexts& texts = dumpTexts();
    putf("Byte Order : %s\n", m_order);
    putf("Version    : %Xh\n", unsigned(m_version));
    putf("IFD offset : %u( %Xh )\n", block.offset, block.offset);
    putf(texts.entryCount.c_str(), int(block.entryCount));
    put(texts.columns);
    put("------------- ------------ -------- ---------------- ----------------------\n");
}

void TiffReader::dumpEntryLine(const TiffEntry& e, const TiffTagRow* row)
{
    putf("%5u(%4Xh ) %2u:%s %8lu %8lu( %4X ) ", unsigned(e.tag), unsigned(e.tag),
         unsigned(e.type), tiffTypeName(e.type), (unsigned long)e.count, (unsigned long)e.value,
         e.value);
    put(tiffTagName(row));
    put("\n");
}

void TiffReader::dumpLoadFailure(const TiffEntry& e)
{
    const long long size = (long long)e.count * tiffTypeSize(e.type);
    switch (m_valuesCode) {
    case tiffcode::SeekFailed: putf("---->SeeKError(%8XH)\n", e.value); break;
    case tiffcode::NoValueBuffer: putf("---->AbfCreate( %lld )\n", size); break;
    default: putf("---->ReadError(%lld)\n", size); break;
    }
}

void TiffReader::dumpDetail(const TiffEntry& e, const TiffTagRow& row, int code)
{
    // A type the handler refused, or too many strips: the entry line says enough.
    if (code == tiffcode::WrongType || code == tiffcode::TooManyValues)
        return;
    const Detail detail = detailOf(e, row);
    if (detail == Detail::None)
        return;
    if (detail == Detail::Name) {
        if (code != 0)
            return;
        if (e.tag == 259)
            put("---->" + tiffCompressionName(m_record.compression) + "\n");
        else if (e.tag == 262)
            put("---->" + tiffPhotometricName(m_record.photometric, false) + "\n");
        else
            put("---->" + tiffResolutionUnitName(m_record.resolutionUnit) + "\n");
        return;
    }
    if (loadValues(e) != 0) {
        dumpLoadFailure(e);
        return;
    }
    const size_t count = e.count;
    switch (detail) {
    case Detail::Text: {
        const auto* p = reinterpret_cast<const char*>(m_values.data());
        put("---->" + cString(std::string(p, m_values.size())) + "/\n");
        break;
    }
    case Detail::Bits:
        put("---->(Dec)\n");
        for (size_t i = 0; i < count; ++i)
            putf(" %ld", decimal(e.type, valueAt(e.type, i)));
        put("\n");
        break;
    case Detail::Hex:
    case Detail::Counts:
        put(detail == Detail::Hex ? "---->(Hex)\n" : "---->(Dec)\n");
        for (size_t i = 0; i < count; ++i) {
            if (detail == Detail::Hex)
                putf("%8X ", valueAt(e.type, i));
            else
                putf("%8ld", decimal(e.type, valueAt(e.type, i)));
            if (i % 10 == 9 || i + 1 == count)
                put("\n");
        }
        break;
    case Detail::Rationals:
        put("---->(Dec) ");
        for (size_t i = 0; i < 2 * count; ++i)
            putf(" %ld", decimal(e.type, valueAt(kTiffLong, i)));
        put("\n");
        break;
    case Detail::ColorMap: {
        put("---->(Dec)\n");
        const size_t n = count / 3;
        for (size_t i = 0; i < n; ++i)
            putf("%04X %04X %04X \n", valueAt(e.type, i), valueAt(e.type, n + i),
                 valueAt(e.type, 2 * n + i));
        break;
    }
    case Detail::BothBases:
        put("---->Dec( Hex ) ");
        for (size_t i = 0; i < count; ++i) {
            const uint32_t v = valueAt(e.type, i);
            putf(" %ld( %X )", decimal(e.type, v), v);
        }
        put("\n");
        break;
    case Detail::Bytes:
        // Sixteen bytes to a line, so a large block stays readable in the dialog's list.
        put("---->(Dec)\n");
        for (size_t i = 0; i < m_values.size(); ++i) {
            putf(" %02X", unsigned(m_values[i]));
            if (i % 16 == 15 || i + 1 == m_values.size())
                put("\n");
        }
        break;
    default: break;
    }
}

std::string TiffReader::rowValueText(const TiffEntry& e) const
{
    const TiffDirectory& r = m_record;
    switch (e.tag) {
    case 258: {
        std::string text;
        const size_t n = std::min<size_t>(r.bitsPerSampleValues.size(), 8);
        for (size_t i = 0; i < n; ++i)
            text += std::to_string(r.bitsPerSampleValues[i]) + " ";
        return text;
    }
    case 259: return tiffCompressionName(r.compression);
    case 262: return tiffPhotometricName(r.photometric, true);
    case 296: return tiffResolutionUnitName(r.resolutionUnit);
    case 269: return r.documentName;
    case 270: return r.imageDescription;
    case 271: return r.make;
    case 272: return r.model;
    case 285: return r.pageName;
    case 305: return r.software;
    case 306: return r.dateTime;
    case 315: return r.artist;
    case 316: return r.hostComputer;
    case 333: return cString(r.inkNames);
    case 337: return r.targetPrinter;
    case 33432: return r.copyright;
    case 282: return oneDecimal(r.xResolution.toDouble());
    case 283: return oneDecimal(r.yResolution.toDouble());
    case 286: return oneDecimal(r.xPosition.toDouble());
    case 287: return oneDecimal(r.yPosition.toDouble());
    case 297:
        return std::to_string(r.pageNumber[0] + 1) + " / " + std::to_string(r.pageNumber[1]);
    case 530:
        return "Horiz:" + std::to_string(r.ycbcrSubsampling[0]) +
               " Vert:" + std::to_string(r.ycbcrSubsampling[1]);
    default: return std::string();
    }
}

void TiffReader::dumpRow(const TiffEntry& e, const TiffTagRow* row, int code)
{
    putf("%3u,%2u,%s,%lu,%lu,", unsigned(e.tag), unsigned(e.type), tiffTypeName(e.type),
         (unsigned long)e.count, (unsigned long)e.value);
    put(tiffTagName(row));
    put(",");
    if (row && code == 0)
        put(rowValueText(e));
    put("\n");
}

}  // namespace tnw::common
