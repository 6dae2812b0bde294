// The writer's messages, diagnostics and log rows.
#include "conv/pdf/pdf_writer.h"

#include "common/platform/cp932.h"

#include <cstdio>

namespace tnw::conv {

std::string PdfWriter::report(PdfMsg id, int64_t value, const std::string& path)
{
    const std::string text = pdfMessageText(id, value, path);
    pdfShared().message = text;
    diagnostic(pdfDiagnosticText(id, path, value));
    return text;
}

void PdfWriter::fail(PdfMsg id, int64_t value, const std::string& path)
{
    m_rowMessage = report(id, value, path);
}

void PdfWriter::failWith(const std::string& message, const std::string& english)
{
    pdfShared().message = message;
    m_rowMessage = message;
    diagnostic(english);
}

void PdfWriter::warn(PdfMsg id, int64_t value, const std::string& path)
{
    diagnostic(pdfDiagnosticText(id, path, value));
}

void PdfWriter::diagnostic(const std::string& english) const
{
    if (pdfShared().debug <= 0 || english.empty())
        return;
    // The texts carry code page 932 paths; standard error is UTF-8.
    const std::string line = platform::cp932ToUtf8Lossy("tiff2pdf: " + english + ".\n");
    std::fputs(line.c_str(), stderr);
}

LogPageFields PdfWriter::fieldsFor(const JobPage& page)
{
    LogPageFields f;
    f.sourcePath = page.source.path;
    f.pagesInSource = page.source.pagesInSource;
    f.pageInSource = page.source.pageIndex + 1;
    const int compression = page.params.compression ? page.params.compression
                                                    : page.source.compression;
    f.sourceCompression = sourceCompressionName(compression, page.fromJpegFile);
    f.outputPath = m_outputPath;
    f.pdfPage = page.k;
    f.pdfCompression = pdfCompressionName(page.params.pdfCompression);
    // Message and note go into this row and are cleared.
    f.message = logMessageField(m_rowMessage, m_note);
    m_rowMessage.clear();
    m_note.clear();
    return f;
}

void PdfWriter::appendRow(const std::string& row, const LogPageFields* refused, int pageIndex)
{
    HeldRow held;
    held.row = row;
    if (refused) {
        held.isRefusal = true;
        held.refusal = {refused->sourcePath, pageIndex, refused->message};
    }
    if (m_holdRows)
        m_heldRows.push_back(std::move(held));
    else
        emitRow(held);
}

void PdfWriter::emitRow(const HeldRow& held)
{
    if (held.isRefusal)
        m_refusals.push_back(held.refusal);
    if (!m_logPath.empty() && !m_log.append(m_logPath, held.row))
        m_logFailed = true;
}

void PdfWriter::releaseRows(bool refusalsOnly)
{
    m_holdRows = false;
    std::vector<HeldRow> rows;
    rows.swap(m_heldRows);
    for (const HeldRow& held : rows) {
        if (held.isRefusal || !refusalsOnly)
            emitRow(held);
    }
}

void PdfWriter::dropRows()
{
    m_holdRows = false;
    m_heldRows.clear();
}

void PdfWriter::logPageWritten(const JobPage& page)
{
    appendRow(pageWrittenRow(fieldsFor(page)), nullptr, -1);
}

void PdfWriter::logPageSkipped(const JobPage& page)
{
    const LogPageFields f = fieldsFor(page);
    appendRow(pageSkippedRow(f), &f, page.source.pageIndex);
}

void PdfWriter::logFileRefused(const JobPage& page, bool withPages)
{
    const LogPageFields f = fieldsFor(page);
    appendRow(fileRefusedRow(logFolderOf(page.source.path), logFileNameOf(page.source.path), f,
                             withPages, false),
              &f, -1);
}

void PdfWriter::logEmptyList(const std::string& logSource)
{
    LogPageFields f;
    f.outputPath = m_outputPath;
    f.message = logMessageField(m_rowMessage, m_note);
    f.sourcePath = logSource;
    m_rowMessage.clear();
    m_note.clear();
    appendRow(fileRefusedRow(logSource, std::string(), f, false, true), &f, -1);
}

void PdfWriter::logUnusablePage(JobPage& page)
{
    if (!page.lateFailure.empty() || page.lateFileRefused) {
        // Left out in an earlier writing attempt: the failure met there.
        m_rowMessage = page.lateFailure;
        if (page.lateFileRefused)
            logFileRefused(page, true);
        else
            logPageSkipped(page);
        return;
    }
    switch (page.source.errorCode) {
    case kPageUsable:  // refused by its parameters
        m_rowMessage = pdfMessageText(page.refusal.id, page.refusal.value, page.source.path);
        // A JPEG that cannot be wrapped refuses its file, as when the wrapping itself fails.
        if (page.refusal.id == PdfMsg::JpegWrap)
            logFileRefused(page, true);
        else
            logPageSkipped(page);
        return;
    case kPageSizeLimit:  // rows after the pass
        return;
    case kPageUnsupportedFile:
        m_rowMessage = pdfMessageText(PdfMsg::UnsupportedFile);
        pdfShared().message = m_rowMessage;
        logFileRefused(page, false);
        return;
    default:
        m_rowMessage = pdfMessageText(PdfMsg::UnsupportedOther);
        pdfShared().message = m_rowMessage;
        logFileRefused(page, true);
        return;
    }
}

void PdfWriter::logSizeLimitRows()
{
    if (!m_account.reached())
        return;
    bool first = true;
    for (JobPage& page : m_pages) {
        const int code = page.source.errorCode;
        if (code == kPageUsable)
            continue;
        if (!first)
            m_rowMessage = pdfMessageText(PdfMsg::SizeLimitLater);
        else if (code == kPageSizeLimit)
            m_rowMessage = pdfMessageText(PdfMsg::SizeLimit);
        else
            m_rowMessage = pdfMessageText(PdfMsg::SizeLimitError, code);
        if (first)
            pdfShared().message = m_rowMessage;
        first = false;
        logFileRefused(page, true);
    }
}

void PdfWriter::writeRemarkRow(const std::string& sourcePath, const std::string& remark,
                               bool sourceIsFolder)
{
    LogPageFields f;
    f.message = remark;
    const std::string folder = sourceIsFolder ? sourcePath : logFolderOf(sourcePath);
    const std::string name = sourceIsFolder ? std::string() : logFileNameOf(sourcePath);
    appendRow(fileRefusedRow(folder, name, f, false, false), nullptr, -1);
}

}  // namespace tnw::conv
