#include "conv/pdf/pdf_messages.h"

#include "common/platform/cp932.h"

#include <string_view>

namespace tnw::conv {

namespace {

struct Row {
    PdfMsg id;
    bool warning;
    const char* english;   // "%s" is the image path, the numeric field the value
    const char* japanese;  // UTF-8 in the source; "" when the message has no Japanese form
};

// English texts for which only a Japanese message exists are written in the same style.
const Row kRows[] = {
    {PdfMsg::ZeroWidth, false, "No support for %s with zero width", "ImageWithが 0 です"},
    {PdfMsg::ZeroLength, false, "No support for %s with zero length", "ImageLengthが 0 です"},
    {PdfMsg::ZeroBits, true, "Image %s has 0 bits per sample, assuming 1", ""},
    {PdfMsg::BitsPerSample, false, "No support for %s with %u bits per sample",
     "ｻﾝﾌﾟﾙ当たりのﾋﾞｯﾄ数( %d )は不正です"},
    {PdfMsg::ZeroSamples, true, "Image %s has 0 samples per pixel, assuming 1", ""},
    {PdfMsg::SamplesPerPixel, false, "No support for %s with %u samples per pixel",
     "ﾋﾟｸｾﾙ当たりのｻﾝﾌﾟﾙ数( %d )は不正です"},
    {PdfMsg::SampleFormat, false, "No support for %s with sample format %u",
     "ｻﾝﾌﾟﾙ形式( %d )は不正です"},
    {PdfMsg::RgbAsCmyk, true, "RGB image %s has 4 samples per pixel, assuming inverse CMYK", ""},
    {PdfMsg::RgbSamples, false, "No support for RGB image %s with %u samples per pixel",
     "RGB画像のﾋﾟｸｾﾙ当たりのｻﾝﾌﾟﾙ数( %d )が不正です"},
    {PdfMsg::PaletteSamples, false,
     "No support for palettized image %s with not one sample per pixel",
     "ﾊﾟﾚｯﾄ画像のﾋﾟｸｾﾙ当たりのｻﾝﾌﾟﾙ数( %d )が不正です"},
    {PdfMsg::PaletteNoColorMap, false, "Palettized image %s has no color map",
     "ﾊﾟﾚｯﾄ画像だがｶﾗｰﾏｯﾌﾟがない"},
    {PdfMsg::PaletteMemory, false, "Can't allocate %u bytes of memory for t2p_read_tiff_image, %s",
     "ﾊﾟﾚｯﾄ画像のｶﾗｰﾏｯﾌﾟ( %d )の取得失敗"},
    {PdfMsg::InkSet, false, "No support for %s because its inkset is not CMYK",
     "ｲﾝｸｾｯﾄがCMYKでありません"},
    {PdfMsg::SeparatedSamples, false, "No support for %s because it has %u samples per pixel",
     "ﾋﾟｸｾﾙ当たりのｻﾝﾌﾟﾙ数( %d )は不正です"},
    {PdfMsg::LogLuv, false, "No support for %s with photometric interpretation LogL/LogLuv",
     "photometric interpretation  LogL/LogLuv( %d )はｻﾎﾟｰﾄしていません"},
    {PdfMsg::Photometric, false, "No support for %s with photometric interpretation %u",
     "photometric interpretation ( %d )はｻﾎﾟｰﾄしていません"},
    {PdfMsg::Planar8Bits, false,
     "No support for %s with separated planar configuration and %u bits per sample",
     "面順次はｻﾎﾟｰﾄしていません"},
    {PdfMsg::PlanarBits, false,
     "No support for %s with separated planar configuration and %u bits per sample",
     "ｻﾝﾌﾟﾙ当たりのﾋﾞｯﾄ数( %d )の separated planar configuration　はｻﾎﾟｰﾄしていません"},
    {PdfMsg::PlanarOther, false, "No support for %s with planar configuration %u",
     "planar configuration( %u )はｻﾎﾟｰﾄしていません"},
    {PdfMsg::Orientation, true, "Image %s has orientation %u, assuming 0", ""},
    {PdfMsg::Tiled, false, "No support for tiled image %s", "ﾀｲﾙはｻﾎﾟｰﾄしていません"},
    {PdfMsg::NoStrips, false, "No strips in %s", "ｽﾄﾘｯﾌﾟ数が 0 です"},
    {PdfMsg::BadStripByteCount, false, "Invalid strip byte count in %s",
     "不正なｽﾄﾘｯﾌﾟﾊﾞｲﾄ数を検出した"},
    {PdfMsg::StripSeek, false, "Can't seek to a strip of %s", "ｽﾄﾘｯﾌﾟへの位置づけ失敗"},
    {PdfMsg::StripRead, false, "Can't read a strip of %s", "ｽﾄﾘｯﾌﾟの入出力ｴﾗｰ発生"},
    {PdfMsg::IfdOpen, false, "Can't open %s for decoding", "IFD読込エラー(1)"},
    {PdfMsg::IfdRead, false, "Can't read directory %u of %s", "IFD読込エラー(2)"},
    {PdfMsg::DecodeStrip, false, "Error on decoding strip %u of %s", "TIFF画像伸長失敗"},
    {PdfMsg::EncodeWrite, false, "Error writing encoded strip to output PDF %s",
     "PDF書きだし失敗"},
    {PdfMsg::ImageMemory, false,
     "Can't allocate %u bytes of memory for t2p_readwrite_pdf_image, %s",
     "出力域( %d )のﾒﾓﾘ取得失敗"},
    {PdfMsg::PageFailed, false, "Unexpected failure while making the page of %s",
     "ページ作成中の予期しないエラー"},
    {PdfMsg::OpenError, false, "Can't open input file %s for reading", "ｵｰﾌﾟﾝｴﾗｰ( %d )"},
    {PdfMsg::DirectoryError, false, "Can't read the directories of %s", "ﾃﾞｨﾚｸﾄﾘ取得失敗( %d )"},
    {PdfMsg::InitDirectory, false, "Can't read directory %u of %s", "初期設定; dcb 取得エラー"},
    {PdfMsg::UnsupportedFile, false, "No support for file %s", "非ｻﾎﾟｰﾄのﾌｧｲﾙ"},
    {PdfMsg::UnsupportedOther, false, "No support for file %s", "サポートしていないファイル"},
    {PdfMsg::JpegWrap, false, "Can't wrap JPEG file %s", "Jpeg→一時Tiffの作成失敗( %d )"},
    {PdfMsg::NoFiles, false, "No input files", "ファイルなし"},
    {PdfMsg::NoPages, false, "No pages to write", "ページなし"},
    {PdfMsg::Cancelled, false, "Cancelled while writing %s", "キャンセルされました。"},
    {PdfMsg::OutputOpen, false, "Can't open output file %s for writing", ""},
    {PdfMsg::OutputWrite, false, "Error writing output PDF %s", "PDFの書き込み失敗"},
    {PdfMsg::PageArrayMemory, false,
     "Can't allocate %u bytes of memory for tiff_pages array, %s",
     "tiffページ情報用メモリの取得失敗"},
    {PdfMsg::OffsetMemory, false, "Can't allocate %lu bytes of memory for t2p_write_pdf",
     "出力域( %d )のﾒﾓﾘ取得失敗"},
    {PdfMsg::SizeLimit, false, "Size limit reached at %s", "最大ｻｲｽﾞに達した"},
    {PdfMsg::SizeLimitError, false, "Page of %s not written (%d)", "Error:%d"},
    {PdfMsg::SizeLimitLater, false, "Page of %s not written", "ｴﾗｰのため未処理"},
};

const Row* find(PdfMsg id)
{
    for (const Row& row : kRows) {
        if (row.id == id)
            return &row;
    }
    return nullptr;
}

// Fills a template: "%s" takes `path`, the first numeric field ("%d", "%u", "%lu") takes
// `value`. No printf: the templates never meet the C library with mismatched arguments.
std::string fillTemplate(std::string_view text, const std::string& path, int64_t value)
{
    std::string out;
    bool valueUsed = false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%' || i + 1 >= text.size()) {
            out += text[i];
            continue;
        }
        size_t j = i + 1;
        while (j < text.size() && text[j] == 'l')
            ++j;
        const char conv = j < text.size() ? text[j] : '\0';
        if (conv == 's') {
            out += path;
        } else if ((conv == 'd' || conv == 'u') && !valueUsed) {
            out += std::to_string(value);
            valueUsed = true;
        } else {
            out += text[i];
            continue;
        }
        i = j;
    }
    return out;
}

}  // namespace

bool isPdfWarning(PdfMsg id)
{
    const Row* row = find(id);
    return row && row->warning;
}

std::string pdfMessageText(PdfMsg id, int64_t value, const std::string& path)
{
    const Row* row = find(id);
    if (!row)
        return std::string();
    if (!*row->japanese)  // no Japanese form: the English text is the message
        return fillTemplate(row->english, path, value);
    return fillTemplate(platform::sjis(row->japanese), std::string(), value);
}

std::string pdfDiagnosticText(PdfMsg id, const std::string& path, int64_t value)
{
    const Row* row = find(id);
    return row ? fillTemplate(row->english, path, value) : std::string();
}

int pdfMessageRowCount()
{
    return static_cast<int>(sizeof kRows / sizeof kRows[0]);
}

}  // namespace tnw::conv
