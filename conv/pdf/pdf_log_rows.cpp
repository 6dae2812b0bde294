#include "conv/pdf/pdf_log_rows.h"

#include "common/platform/cp932.h"
#include "common/platform/files.h"

#include <memory>

namespace tnw::conv {

namespace {

constexpr const char* kRowEnd = "\r\n";  // text files are CR LF on every platform

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

bool writeWhole(const std::string& path, const char* mode, const std::string& text)
{
    std::unique_ptr<FILE, FileCloser> file(platform::openFile(path, mode));
    if (!file)
        return false;
    const bool ok = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
    return std::fclose(file.release()) == 0 && ok;
}

}  // namespace

std::string sourceCompressionName(int compression, bool fromJpegFile)
{
    if (fromJpegFile)
        return platform::sjis("Jpeg ﾌｧｲﾙ");
    switch (compression) {
    case 1: return platform::sjis("圧縮なし");
    case 2: return "CCITT RLE";
    case 3: return "CCITT G3";
    case 4: return "CCITT G4";
    case 5: return "LZW";
    case 6: return "JPEG 6.0";
    case 7: return "JPEG 7";
    case 8: return "Defalte";  // the log's established spelling
    case 32661: return "JBIG";
    case 32766: return "NEXT";
    case 32771: return "RLEW";
    case 32773: return "PackBits";
    case 32809: return "Thunder";
    case 32946: return "Defalte";
    default: return "???";
    }
}

std::string pdfCompressionName(int pdfCompression)
{
    switch (pdfCompression) {
    case 0: return platform::sjis("圧縮なし");
    case 1: return "CCITT G4";
    case 2: return "JPEG";
    case 4: return "Deflate";
    default: return "???";
    }
}

std::string logFolderOf(const std::string& path)
{
    // '/' is never the second byte of a double-byte character (those are 0x40 and above).
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return std::string();
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string logFileNameOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string logMessageField(const std::string& message, const std::string& note)
{
    if (note.empty())
        return message;
    if (message.empty())
        return note;
    return note + platform::sjis("、") + message;
}

std::string quotedField(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + "\"";
}

std::string pageWrittenRow(const LogPageFields& f)
{
    return quotedField(logFolderOf(f.sourcePath)) + "," + quotedField(logFileNameOf(f.sourcePath)) +
           "," + std::to_string(f.pagesInSource) + "," + std::to_string(f.pageInSource) + "," +
           f.sourceCompression + "," + quotedField(logFolderOf(f.outputPath)) + "," +
           quotedField(logFileNameOf(f.outputPath)) + "," + std::to_string(f.pdfPage) + "," +
           f.pdfCompression + "," + f.message + kRowEnd;
}

std::string pageSkippedRow(const LogPageFields& f)
{
    return quotedField(logFolderOf(f.sourcePath)) + "," + quotedField(logFileNameOf(f.sourcePath)) +
           "," + std::to_string(f.pagesInSource) + "," + std::to_string(f.pageInSource) + "," +
           f.sourceCompression + "," + quotedField(logFolderOf(f.outputPath)) + "," +
           quotedField("") + ",," + f.pdfCompression + "," + f.message + kRowEnd;
}

std::string fileRefusedRow(const std::string& sourceFolder, const std::string& sourceName,
                           const LogPageFields& f, bool withPages, bool withOutput)
{
    const std::string pages = withPages ? std::to_string(f.pagesInSource) : std::string();
    const std::string page = withPages ? std::to_string(f.pageInSource) : std::string();
    const std::string outFolder = withOutput ? logFolderOf(f.outputPath) : std::string();
    const std::string outName = withOutput ? logFileNameOf(f.outputPath) : std::string();
    return quotedField(sourceFolder) + "," + quotedField(sourceName) + "," + pages + "," + page +
           ",," + quotedField(outFolder) + "," + quotedField(outName) + ",,," + f.message + kRowEnd;
}

bool appendLogRow(const std::string& logPath, const std::string& row)
{
    if (logPath.empty())
        return false;
    return writeWhole(logPath, "ab", row);
}

LogAppender::~LogAppender()
{
    close();
}

bool LogAppender::append(const std::string& logPath, const std::string& row)
{
    if (logPath.empty())
        return false;
    if (m_file && logPath != m_path && !close())
        m_failed = true;
    if (!m_file) {
        m_file = platform::openFile(logPath, "ab");
        if (!m_file)
            return false;
        m_path = logPath;
    }
    if (std::fwrite(row.data(), 1, row.size(), m_file) != row.size()) {
        m_failed = true;
        return false;
    }
    return true;
}

bool LogAppender::close()
{
    bool ok = !m_failed;
    m_failed = false;
    if (m_file) {
        ok = std::fclose(m_file) == 0 && ok;
        m_file = nullptr;
        m_path.clear();
    }
    return ok;
}

bool createWriterLog(const std::string& logPath)
{
    const std::string header =
        platform::sjis("tiffフォルダ名,tiffファイル名,tiff頁数,tiff頁番号,tiff圧縮,pdfフォルダ名,"
                       "pdfファイル名,pdf頁番号,pdf圧縮,備考") +
        kRowEnd;
    return writeWhole(logPath, "wb", header);
}

}  // namespace tnw::conv
