// The TIFF reader's tag table and the names its dumps print. Internal to the reader and its
// tests.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace tnw::common {

// How the reader treats a tag: what it stores in the directory record and how the text dump
// shows its values.
enum class TiffTagKind : uint8_t {
    Plain,       // not stored; the dump shows the values by their type
    OffsetList,  // not stored; an array of offsets, dumped in hexadecimal
    Number,      // one SHORT or LONG value
    Text,        // an ASCII string
    Bits,        // bits per sample: SHORT array
    Offsets,     // strip or tile offsets: SHORT or LONG array, at most kMaxStripValues
    Counts,      // strip or tile byte counts: likewise, dumped in decimal
    Rational,    // one or more RATIONALs
    Pair,        // two SHORTs (page number, YCbCr subsampling)
    ColorMap,    // 3 x 2^bits SHORTs
    Tables,      // a block of bytes kept as offset and length (JPEG tables)
};

// The types a row accepts, as a mask of (1 << type).
constexpr uint16_t typeBit(uint16_t type) { return uint16_t(1u << type); }

struct TiffTagRow {
    uint16_t tag;
    uint16_t types;  // accepted types (for Plain rows the usual type, not checked)
    TiffTagKind kind;
    const char* description;  // UTF-8 source text; the code page 932 form is tiffTagName()
};

// The 80 rows, in ascending tag order.
std::span<const TiffTagRow> tiffTagTable();
// The row of a tag, or null when the tag is not in the table.
const TiffTagRow* findTiffTag(uint16_t tag);
// The code page 932 name a dump prints for a row: its description, or "?" without a row.
const std::string& tiffTagName(const TiffTagRow* row);

// "BYTE     ", "ASCII    ", ... nine characters; "???????" for an unknown type.
const char* tiffTypeName(uint16_t type);
// Code page 932 names of values; a value without a name is its decimal number.
std::string tiffCompressionName(uint16_t compression);
// The text dump knows values 0 to 8; the row form also knows 9, 10, 32844 and 32845.
std::string tiffPhotometricName(uint16_t photometric, bool rowForm);
std::string tiffResolutionUnitName(uint16_t unit);

}  // namespace tnw::common
