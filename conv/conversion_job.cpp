#include "conv/conversion_job.h"

#include "common/file_kind.h"
#include "common/module_paths.h"
#include "common/platform/cp932.h"
#include "common/platform/profile.h"
#include "conv/pdf/pdf_log_rows.h"
#include "conv/run_log.h"

#include <malloc.h>

namespace tnw::conv {
namespace {

const char* textOrNull(const std::string& text)
{
    return text.empty() ? nullptr : text.c_str();
}

}  // namespace

PdfDocInfo RunDocInfo::record() const
{
    PdfDocInfo info;
    info.enabled = title.empty() && author.empty() && subject.empty() && keywords.empty() ? 0 : 1;
    info.title = textOrNull(title);
    info.author = textOrNull(author);
    info.subject = textOrNull(subject);
    info.keywords = textOrNull(keywords);
    return info;
}

namespace {

// A run converts image after image, each needing a few megabytes of buffers (the source bytes,
// the page data, the output stream's buffer) that are freed when its PDF is done. By default
// the allocator hands that memory back to the system after each image and the next image
// faults it in again page by page, which cost more than the conversion itself. Keeping 16 MB
// of slack at the top of the heap lets one image reuse the last one's memory; the slack is
// bounded, so the run's peak memory stays small.
void keepHeapSlack()
{
    static const bool done = [] {
        mallopt(M_TOP_PAD, 16 << 20);
        return true;
    }();
    (void)done;
}

}  // namespace

ConversionJob::ConversionJob(const std::string& logPath) : m_logPath(logPath)
{
    keepHeapSlack();
    if (m_logPath.empty()) {
        m_fallback = true;
        m_logPath = fallbackLogPath();
    }
}

void ConversionJob::setPdfVersion(int major, int minor)
{
    if (major <= 0 || minor <= 0) {
        major = 1;
        minor = 1;
    }
    m_major = major;
    m_minor = minor;
}

void ConversionJob::prepare(PdfWriter& writer)
{
    // The fallback log is emptied by the job's first row, whichever writes it, so a remark
    // written before the first page is not lost.
    if (m_fallback && !m_fallbackStarted && !m_logPath.empty()) {
        createWriterLog(m_logPath);
        m_fallbackStarted = true;
    }
    writer.setLogPath(m_logPath);
    writer.setVersion(m_major, m_minor);
    writer.setDocInfo(m_docInfo.record());
    // Kept in the settings file only: the settings record shared with the program has a
    // fixed layout.
    const std::string ini = common::ModulePaths::settingsFile();
    writer.setKeepJpeg(
        platform::GetPrivateProfileInt("Settings", "nKeepJpeg", 0, ini.c_str()) == 1);
}

void ConversionJob::account(const PdfWriter& writer, const std::string& source, int rc)
{
    RunReport& report = runReport();
    if (writer.documentWritten())
        report.documentWritten(writer.pagesWritten());
    for (const PdfRefusal& refusal : writer.refusals()) {
        // A JPEG file is one page: its rows stand for the whole file.
        const bool jpeg = common::fileKindOf(refusal.sourcePath) == common::kFileKindJpeg;
        report.refused(refusal.sourcePath, jpeg ? -1 : refusal.pageIndex, refusal.remark);
    }
    // The fallback log is nobody's request: only the run's own log counts.
    if (writer.logFailed() && !m_fallback)
        report.logFailed();
    if (writer.cancelled()) {
        m_cancelled = true;
        report.cancelled();
        return;
    }
    // A job that wrote nothing always names a culprit, even when the writer kept no row.
    if (!writer.documentWritten() && writer.refusals().empty()) {
        std::string text = writer.message();
        if (text.empty())
            text = platform::sjis(rc != 0 ? "PDFの作成失敗" : "ページなし");
        report.refused(source, -1, text);
    }
}

int ConversionJob::writeJpeg(const std::string& jpegPath, const std::string& pdfPath,
                             const ProgressProc& progress)
{
    PdfWriter writer;
    prepare(writer);
    const int rc = writer.pdfWriteJpegFile(0, jpegPath, pdfPath, progress);
    account(writer, jpegPath, rc);
    return rc;
}

int ConversionJob::writeList(const std::string& logSource, const std::vector<std::string>& paths,
                             const std::string& pdfPath, const ProgressProc& progress)
{
    PdfWriter writer;
    prepare(writer);
    const int rc = writer.pdfWriteFileList(0, logSource, paths, pdfPath, progress);
    account(writer, logSource, rc);
    return rc;
}

void ConversionJob::remark(const std::string& sourcePath, const std::string& text, bool isFolder,
                           ReportKind kind)
{
    PdfWriter writer;
    prepare(writer);
    writer.writeRemarkRow(sourcePath, text, isFolder);
    if (writer.logFailed() && !m_fallback)
        runReport().logFailed();
    if (kind == ReportKind::KeptExisting)
        runReport().keptExisting(sourcePath, text);
    else
        runReport().refused(sourcePath, -1, text);
}

void ConversionJob::passOver(const std::string& sourcePath, const std::string& text)
{
    runReport().refused(sourcePath, -1, text);
}

}  // namespace tnw::conv
