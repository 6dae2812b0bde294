// The tag table (tag, accepted types, handler kind, Japanese description) and the names the
// dumps print for types, compressions, photometric interpretations and resolution units.
#include "common/tiff_reader_tags.h"

#include "common/platform/cp932.h"
#include "common/tiff_reader.h"

#include <algorithm>
#include <vector>

namespace tnw::common {

namespace {

constexpr uint16_t kShort = typeBit(kTiffShort);
constexpr uint16_t kLong = typeBit(kTiffLong);
constexpr uint16_t kShortLong = kShort | kLong;
constexpr uint16_t kRational = typeBit(kTiffRational);
constexpr uint16_t kAscii = typeBit(kTiffAscii);
constexpr uint16_t kUndef = typeBit(kTiffUndefined);
constexpr uint16_t kUndefByte = kUndef | typeBit(kTiffByte);

using K = TiffTagKind;

constexpr TiffTagRow kTags[] = {
    {254, kLong, K::Plain, "ファイルの構成(1)"},
    {255, kShort, K::Plain, "ファイルの構成(2)"},
    {256, kShortLong, K::Number, "x方向のピクセル数"},
    {257, kShortLong, K::Number, "y方向のピクセル数"},
    {258, kShort, K::Bits, "サンプル当りのビット数"},
    {259, kShort, K::Number, "圧縮方式"},
    {262, kShort, K::Number, "白/黒/rgbの別"},
    {263, kShort, K::Plain, "ビットマップの形式"},
    {264, kShort, K::Plain, "ディザ配列次元数"},
    {265, kShort, K::Plain, "ディザ配列次元数"},
    {266, kShort, K::Number, "充填順序"},
    {269, kAscii, K::Text, "文書名"},
    {270, kAscii, K::Text, "画像説明"},
    {271, kAscii, K::Text, "スキャナのメーカ名"},
    {272, kAscii, K::Text, "スキャナの名称/型番"},
    {273, kShortLong, K::Offsets, "イメージポインタ"},
    {274, kShort, K::Number, "原点位置"},
    {277, kShort, K::Number, "ピクセル当りのサンプル数"},
    {278, kShortLong, K::Number, "Strip当りの行数"},
    {279, kShortLong, K::Counts, "Strip毎のバイト数"},
    {280, kShort, K::Plain, "サンプル最小値"},
    {281, kShort, K::Plain, "サンプル最大値"},
    {282, kRational, K::Rational, "x方向解像度"},
    {283, kRational, K::Rational, "y方向解像度"},
    {284, kShort, K::Number, "rgbの配列順序"},
    {285, kAscii, K::Text, "ページの名称"},
    {286, kRational, K::Rational, "読込範囲の左角の位置"},
    {287, kRational, K::Rational, "読込範囲の左角の位置"},
    {288, kLong, K::OffsetList, "空領域へのポインタ"},
    {289, kLong, K::Plain, "空領域のサイズ"},
    {290, kShort, K::Plain, "グレイレスポンス"},
    {291, kShort, K::Plain, "グレイレスポンスカ-ブ"},
    {292, kLong, K::Plain, "G3 Option"},
    {293, kLong, K::Plain, "G4 Option"},
    {296, kShort, K::Number, "解像度単位"},
    {297, kShort, K::Pair, "ページ番号"},
    {300, kShort, K::Plain, "カラーレスポンス"},
    {301, kShort, K::Plain, "XferFunction"},
    {305, kAscii, K::Text, "作成ソフト名"},
    {306, kAscii, K::Text, "作成日時"},
    {315, kAscii, K::Text, "作者"},
    {316, kAscii, K::Text, "HostComputer"},
    {317, kShort, K::Plain, "Predictor"},
    {318, kRational, K::Rational, "WhitPoint"},
    {319, kRational, K::Rational, "PrimaryChroma"},
    {320, kShort, K::ColorMap, "カラーマップ"},
    {321, kShort, K::Plain, "HalftoneHInts"},
    {322, kShortLong, K::Number, "TileWidth"},
    {323, kShortLong, K::Number, "TileLength"},
    {324, kShortLong, K::Offsets, "TileOffsets"},
    {325, kShortLong, K::Counts, "TileByteCounts"},
    {332, kShort, K::Number, "InkSet"},
    {333, kAscii, K::Text, "InkNames"},
    {334, kShort, K::Number, "NumberOfInks"},
    {336, kShort, K::Plain, "DotRange"},
    {337, kAscii, K::Text, "TargetPrinter"},
    {338, kShort, K::Plain, "ExtraSamples"},
    {339, kShort, K::Number, "SampleFormat"},
    {340, kShort, K::Plain, "SMinSampleValue"},
    {341, kShort, K::Plain, "SMaxSampleValue"},
    {342, kShort, K::Plain, "TransferRange"},
    {347, kUndefByte, K::Tables, "JPEG Tables"},
    {400, kLong, K::Plain, "Global Parms IFD ptr"},
    {512, kShort, K::Number, "JPEG Proc"},
    {513, kLong, K::Number, "JPEG 交換形式"},
    {514, kLong, K::Number, "JPEG 交換形式バイト数"},
    {515, kShort, K::Number, "JPEG 再起動間隔"},
    {517, kShort, K::Plain, "JPEG LossLessPredictor"},
    {518, kShort, K::Plain, "JPEG PointTransforms"},
    {519, kLong, K::OffsetList, "JPEG 量子表"},
    {520, kLong, K::OffsetList, "JPEG DC変換表"},
    {521, kLong, K::OffsetList, "JPEG AC変換表"},
    {529, kRational, K::Plain, "RGB→YCbCr"},
    {530, kShort, K::Pair, "YCbCrSubSampling"},
    {531, kShort, K::Plain, "YCbCrPositioning"},
    {532, kRational, K::Plain, "ReferBlackWhite"},
    {559, kLong, K::Plain, "Strip Rows"},
    {32932, kUndef, K::Plain, "WangAnnotations"},
    {32934, kLong, K::Plain, "WangT4"},
    {33432, kAscii, K::Text, "Copyright"},
};
static_assert(std::size(kTags) == 80);

// The descriptions in code page 932, converted once.
const std::vector<std::string>& tagNames()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> v;
        v.reserve(std::size(kTags));
        for (const TiffTagRow& row : kTags)
            v.push_back(platform::sjis(row.description));
        return v;
    }();
    return names;
}

}  // namespace

std::span<const TiffTagRow> tiffTagTable()
{
    return kTags;
}

const TiffTagRow* findTiffTag(uint16_t tag)
{
    const auto before = [](const TiffTagRow& row, uint16_t t) { return row.tag < t; };
    const auto* it = std::lower_bound(std::begin(kTags), std::end(kTags), tag, before);
    return it != std::end(kTags) && it->tag == tag ? it : nullptr;
}

const std::string& tiffTagName(const TiffTagRow* row)
{
    static const std::string unknown = "?";
    return row ? tagNames()[size_t(row - kTags)] : unknown;
}

const char* tiffTypeName(uint16_t type)
{
    switch (type) {
    case kTiffByte:
    case kTiffSByte: return "BYTE     ";
    case kTiffAscii: return "ASCII    ";
    case kTiffShort: return "SHORT    ";
    case kTiffLong: return "LONG     ";
    case kTiffRational: return "RATIONAL ";
    case kTiffUndefined: return "UnDef    ";
    case kTiffSShort: return "SSHORT   ";
    case kTiffSLong: return "SLONG    ";
    case kTiffSRational: return "SRATIONAL";
    case kTiffFloat: return "FLOAT    ";
    case kTiffDouble: return "DOUBLE   ";
    default: return "???????";
    }
}

std::string tiffCompressionName(uint16_t compression)
{
    switch (compression) {
    case 1: {
        static const std::string none = platform::sjis("非圧縮");
        return none;
    }
    case 2: return "CCITT RLE : MH";
    case 3: return "CCITT G3 : MR";
    case 4: return "CCITT G4 : MMR";
    case 5: return "LZW";
    case 6: return "JPEG-6";
    case 7: return "JPEG-7";
    case 8: return "ZIP";
    case 32661: return "ISO JBIG";
    case 32766: return "NeXT";
    case 32771: return "CCITT RLE/W";
    case 32773: return "PackBits";
    case 32809: return "ThunderScan";
    case 32946: return "Deflate";
    default: return std::to_string(compression);
    }
}

std::string tiffPhotometricName(uint16_t photometric, bool rowForm)
{
    switch (photometric) {
    case 0: return "WhiteIsZero";
    case 1: return "BlackIsZero";
    case 2: return "RGB";
    case 3: return "RGB_Palette";
    case 4: return "TransparencyMask";
    case 5: return "CMYK";
    case 6: return "YCbCr";
    case 8: return "CIELab";
    default: break;
    }
    if (rowForm) {
        switch (photometric) {
        case 9: return "ICC L*a*b* (Adobe TIFF Technote 4)";
        case 10: return "ITU L*a*b*";
        case 32844: return "CIE Log2(L)";
        case 32845: return "CIE Log2(L) (u',v')";
        default: break;
        }
    }
    return std::to_string(photometric);
}

std::string tiffResolutionUnitName(uint16_t unit)
{
    switch (unit) {
    case 1: return "No Absolute";
    case 2: return "Inch";
    case 3: return "Centimeter";
    default: return std::to_string(unit);
    }
}

}  // namespace tnw::common
