#include "conv/conversion_job.h"

#include "conv/pdf/pdf_log_rows.h"
#include "conv/run_log.h"

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

ConversionJob::ConversionJob(const std::string& logPath) : m_logPath(logPath)
{
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
}

int ConversionJob::writeJpeg(const std::string& jpegPath, const std::string& pdfPath,
                             const ProgressProc& progress)
{
    PdfWriter writer;
    prepare(writer);
    const int rc = writer.pdfWriteJpegFile(0, jpegPath, pdfPath, progress);
    if (writer.cancelled())
        m_cancelled = true;
    return rc;
}

int ConversionJob::writeList(const std::string& logSource, const std::vector<std::string>& paths,
                             const std::string& pdfPath, const ProgressProc& progress)
{
    PdfWriter writer;
    prepare(writer);
    const int rc = writer.pdfWriteFileList(0, logSource, paths, pdfPath, progress);
    if (writer.cancelled())
        m_cancelled = true;
    return rc;
}

void ConversionJob::remark(const std::string& sourcePath, const std::string& text, bool isFolder)
{
    PdfWriter writer;
    prepare(writer);
    writer.writeRemarkRow(sourcePath, text, isFolder);
}

}  // namespace tnw::conv
