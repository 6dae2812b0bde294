#include "conv/verify.h"

#include "common/platform/cp932.h"
#include "common/platform/files.h"
#include "common/tiff_reader.h"
#include "conv/messages.h"

#include <cstdio>
#include <memory>
#include <new>

namespace tnw::conv {

namespace {

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

// The report, written as a text file: every line ends in CR LF.
class Report {
public:
    explicit Report(FILE* file) : m_file(file) {}

    void line(const std::string& text)
    {
        std::string out = text;
        if (!out.empty() && out.back() == '\n')
            out.pop_back();
        out += "\r\n";
        m_ok = m_ok && std::fwrite(out.data(), 1, out.size(), m_file.get()) == out.size();
    }
    // A line of a page's check: three blanks, then the text.
    void pageLine(const std::string& text) { line("   " + text); }

    // Closes the file; false when a write or the close failed.
    bool close()
    {
        const bool closed = std::fclose(m_file.release()) == 0;
        return m_ok && closed;
    }

private:
    FilePtr m_file;
    bool m_ok = true;
};

// Reads `length` bytes at `offset` of `file` (of `fileLength` bytes) into `bytes`.
int readBytes(FILE* file, uint64_t fileLength, int64_t offset, int64_t length,
              std::string& bytes)
{
    if (offset < 0 || length < 0 || uint64_t(offset) > fileLength)
        return kStreamSeekFailed;
    if (uint64_t(length) > fileLength - uint64_t(offset))
        return kStreamShortRead;
    if (fseeko(file, off_t(offset), SEEK_SET) != 0)
        return kStreamSeekFailed;
    try {
        bytes.resize(size_t(length));
    } catch (const std::bad_alloc&) {
        return kStreamNoMemory;
    }
    if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size())
        return kStreamShortRead;
    return 0;
}

uint64_t lengthOf(FILE* file)
{
    if (fseeko(file, 0, SEEK_END) != 0)
        return 0;
    const off_t end = ftello(file);
    return end < 0 ? 0 : uint64_t(end);
}

// The source TIFF of a verification: its directories through the tag reader, its strip bytes
// read directly.
class SourceTiff {
public:
    explicit SourceTiff(const std::string& path) : m_path(path) {}

    // Opens the file on first use. 0 or the reader's code.
    int page(int index, const common::TiffDirectory*& dir)
    {
        if (!m_opened) {
            m_opened = true;
            m_code = m_reader.open(m_path);
            if (m_code == 0)
                m_code = m_reader.readDirectories();
            if (m_code == 0) {
                m_file.reset(platform::openFile(m_path, "rb"));
                m_code = m_file ? 0 : common::tiffcode::OpenFailed;
                m_length = m_file ? lengthOf(m_file.get()) : 0;
            }
        }
        // A broken chain keeps the directories read before it.
        if (m_code != 0 && !(m_file && index < m_reader.directoryCount()))
            return m_code;
        if (const int rc = m_reader.readDirectory(index); rc != 0)
            return rc;
        dir = &m_reader.record();
        return 0;
    }

    int strip(uint32_t offset, uint32_t count, std::string& bytes)
    {
        return readBytes(m_file.get(), m_length, offset, count, bytes);
    }

private:
    std::string m_path;
    bool m_opened = false;
    int m_code = 0;
    common::TiffReader m_reader;
    FilePtr m_file;
    uint64_t m_length = 0;
};

// Checks page `i` (1-based). Returns 0 when it matches or is not examined, else nonzero.
int checkPage(int i, const PdfImageRecord& record, SourceTiff& tiff, FILE* pdf,
              uint64_t pdfLength, Report& report)
{
    if (record.bitReversed == 1) {
        report.pageLine(platform::sjis("ビット反転はサポートしていません。\n"));
        return 0;
    }
    if (record.converted == 1) {
        report.pageLine(platform::sjis("圧縮/ストリップ構成を変換したページは検証しません。\n"));
        return 0;
    }
    const common::TiffDirectory* dir = nullptr;
    if (const int rc = tiff.page(record.pageIndex, dir); rc != 0) {
        report.pageLine(format(
            platform::sjis("マルチtiffのページ( %d )のオープン失敗( %d )").c_str(), i, rc));
        return 1;
    }
    std::string stream;
    if (const int rc = readBytes(pdf, pdfLength, record.streamOffset, record.streamLength,
                                 stream);
        rc != 0) {
        report.pageLine(format(
            platform::sjis("pdfのページ( %d )のストリーム読み込みエラー( %d )").c_str(), i, rc));
        return 1;
    }
    const int strips = int(dir->stripOffsets.size());
    size_t at = 0;
    std::string bytes;
    for (int s = 0; s < strips; ++s) {
        const uint32_t count = s < int(dir->stripByteCounts.size())
                                   ? dir->stripByteCounts[size_t(s)]
                                   : 0;
        if (const int rc = tiff.strip(dir->stripOffsets[size_t(s)], count, bytes); rc != 0) {
            report.pageLine(format(
                platform::sjis("tiffページ( %d )-Strip( %d / %d ) 読み込みエラー( %d )").c_str(),
                i, s, strips, rc));
            return 1;
        }
        if (bytes.size() > stream.size() - at) {
            report.pageLine(format(
                platform::sjis("tiffページ( %d )-Strip( %d / %d ) データサイズエラー").c_str(), i,
                s, strips));
            return 1;
        }
        if (stream.compare(at, bytes.size(), bytes) != 0) {
            report.pageLine(format(platform::sjis("tiffページ( %d )-Strip( %d / %d )-StripBytes"
                                                  "( %d ) 内容が異なります。")
                                       .c_str(),
                                   i, s, strips, int(count)));
            return 1;
        }
        at += bytes.size();
    }
    return 0;
}

}  // namespace

std::string checkReportPath(const std::string& tiffPath)
{
    std::string full;
    if (tiffPath.empty() || !platform::fullPath(tiffPath, full))
        return {};
    // '/' and '.' are never the second byte of a double-byte character.
    const size_t slash = full.rfind('/');
    const std::string folder = full.substr(0, slash);  // "" for a file in the root
    std::string base = full.substr(slash + 1);
    if (const size_t dot = base.rfind('.'); dot != std::string::npos)
        base.resize(dot);
    return folder + "/" + base + kCheckReportSuffix;
}

int verifyPdf(const std::string& tiffPath, const std::string& pdfPath,
              const std::vector<PdfImageRecord>& records, const ProgressProc& progress,
              int* differing)
{
    if (differing)
        *differing = 0;
    PdfSharedState& shared = pdfShared();
    FilePtr pdf(platform::openFile(pdfPath, "rb"));
    if (!pdf) {
        shared.message = platform::sjis("pdfファイルのオープンが失敗しました。処理を中止します。");
        return kVerifyDiffers;
    }
    const uint64_t pdfLength = lengthOf(pdf.get());
    const std::string reportPath = checkReportPath(tiffPath);
    FILE* reportFile = reportPath.empty() ? nullptr : platform::openFile(reportPath, "wb");
    if (!reportFile) {
        shared.message = platform::sjis("ログファイルの作成が失敗しました。処理を中止します。");
        return kVerifyReportFailed;
    }
    Report report(reportFile);

    SourceTiff tiff(tiffPath);
    const int total = int(records.size());
    int errors = 0;
    for (int i = 1; i <= total; ++i) {
        if (progress && progress(0, i, total) == 0)
            break;
        const PdfImageRecord& record = records[size_t(i - 1)];
        report.line(format("%d: nTifCompress( %d ) nPdfStmOfs( %lld ) nPdfStmBytes( %lld )\n", i,
                           record.compression, static_cast<long long>(record.streamOffset),
                           static_cast<long long>(record.streamLength)));
        if (checkPage(i, record, tiff, pdf.get(), pdfLength, report) != 0)
            ++errors;
    }
    pdf.reset();
    const bool written = report.close();
    if (differing)
        *differing = errors;

    if (errors > 0) {
        if (!written) {
            shared.message = platform::sjis("ログファイルの作成が失敗しました。処理を中止します。");
            return kVerifyReportFailed;
        }
        shared.message = format(platform::sjis("%s のストリーム検証でエラーがありました。\n"
                                               "ストリームエラーは %d 個です。\n"
                                               "%s を参照してください。")
                                    .c_str(),
                                pdfPath.c_str(), errors, reportPath.c_str());
        return kVerifyDiffers;
    }
    platform::deleteFile(reportPath);
    return 0;
}

}  // namespace tnw::conv
