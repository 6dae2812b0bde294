// The file-kind table and its look-up by extension.
#include "common/file_kind.h"

#include "common/platform/cp932.h"

#include <map>

namespace tnw::common {

namespace {

constexpr FileKindEntry kKinds[] = {
    {".", -1, ""},
    {".bmp", 1, "Windows ﾋﾞｯﾄﾏｯﾌﾟ"},
    {".dib", 2, "Windows DIB"},
    {".dxf", 3, "Autodesk Drawing Interchange"},
    {".eps", 18, "eps"},
    {".gif", 4, "Compuserve GIF"},
    {".img", 13, "GEM Paint / IBM IOCA"},
    {".jpg", 11, "JPEG-JFIF 準拠"},
    {".nsk", 14, "日本新聞協会 文書"},
    {".pbm", 7, "Portable Bitmap"},
    {".pcx", 5, "ZSoft Paintbrush"},
    {".pgm", 8, "Portable Graymap"},
    {".ppm", 10, "Potable Pixelmap"},
    {".png", 6, "Portable Network Graphics"},
    {".pnm", 9, "aNy Map"},
    {".tif", 12, "Tagged Image File Format"},
    {".tiff", 12, "Tagged Image File Format"},
    {".rle", 16, "CompuServe / Windows 圧縮"},
    {".wmf", 15, "Windows ﾒﾀﾌｧｲﾙ"},
    {".pdf", 17, "Adobe Acrobat Document"},
    {".dcx", 19, "ZSoft Paintbrush mulitipage"},
    {".ico", 20, "Windows Icon"},
    {".cur", 21, "Windows Cursor"},
    {".fpx", 22, "FlashPix"},
    {".tga", 23, "Truevision Targa"},
    {".mac", 24, "Mac Paint"},
    {".pct", 25, "Mac PICT"},
    {".hp", 28, "HP-GL"},
    {".hpg", 28, "HP-GL"},
    {".plt", 28, "HP-GL"},
    {".xbd", 29, "DocuWorksﾊﾞｲﾝﾀﾞｰ"},
    {".xdw", 30, "DocuWorks"},
};

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    }
    return true;
}

}  // namespace

std::span<const FileKindEntry> fileKindTable()
{
    return kKinds;
}

std::string_view pathExtension(std::string_view path)
{
    // Neither '/' nor '.' can be the second byte of a double-byte character, so a plain
    // search from the end is safe in code page 932.
    const size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

int fileKindOfExtension(std::string_view extension)
{
    for (const FileKindEntry& entry : kKinds) {
        if (equalsIgnoringCase(extension, entry.extension))
            return entry.kind;
    }
    return kFileKindNone;
}

int fileKindOf(std::string_view path)
{
    return fileKindOfExtension(pathExtension(path));
}

const std::string& fileKindName(int kind)
{
    static const std::map<int, std::string> names = [] {
        std::map<int, std::string> m;
        for (const FileKindEntry& entry : kKinds) {
            if (entry.kind != kFileKindNone)
                m.emplace(entry.kind, platform::sjis(entry.name));
        }
        return m;
    }();
    static const std::string none;
    const auto it = names.find(kind);
    return it == names.end() ? none : it->second;
}

}  // namespace tnw::common
