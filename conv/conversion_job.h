// ConversionJob: what a batch driver hands to the PDF writer. It holds the run's log path (or
// the fallback log in the work folder), the PDF version and the document information, makes a
// fresh writer for each image, list or remark, and remembers whether the user cancelled. What
// each writer wrote or refused, and each remark, goes into the library's run report.
#pragma once

#include "conv/pdf/pdf_document.h"
#include "conv/pdf/pdf_writer.h"
#include "conv/run_outcome.h"

#include <string>
#include <vector>

namespace tnw::conv {

// The document information of a run (empty = not set).
struct RunDocInfo {
    std::string title;
    std::string author;
    std::string subject;
    std::string keywords;

    // Enabled when any text is set; the Creator stays unset.
    PdfDocInfo record() const;
};

class ConversionJob {
public:
    // `logPath` empty: the rows go to the fallback log, which the job's first writer or remark
    // creates afresh with the writer's own header line.
    explicit ConversionJob(const std::string& logPath);

    // A major or minor version of 0 or less gives 1.1.
    void setPdfVersion(int major, int minor);
    void setDocInfo(const RunDocInfo& info) { m_docInfo = info; }

    // One JPEG file into one PDF; returns the writer's result.
    int writeJpeg(const std::string& jpegPath, const std::string& pdfPath,
                  const ProgressProc& progress);
    // The listed files, in order, into one PDF; `logSource` names an empty list in the log.
    int writeList(const std::string& logSource, const std::vector<std::string>& paths,
                  const std::string& pdfPath, const ProgressProc& progress);
    // One remark row: the source (a file, or a folder with `isFolder`) and the remark text. The
    // input counts as refused, or as kept when `kind` says its PDF exists.
    void remark(const std::string& sourcePath, const std::string& text, bool isFolder = false,
                ReportKind kind = ReportKind::Refused);
    // An input the run passes over without a log row: reported as refused all the same, so
    // that no listed input is dropped silently.
    void passOver(const std::string& sourcePath, const std::string& text);

    // True once a writer of this job reported that the user cancelled.
    bool cancelled() const { return m_cancelled; }
    // Where the rows go.
    const std::string& logPath() const { return m_logPath; }
    int versionMajor() const { return m_major; }
    int versionMinor() const { return m_minor; }

private:
    void prepare(PdfWriter& writer);
    // Reports what a writer's job wrote and refused; `source` stands for a job that ended
    // without a PDF and without any row.
    void account(const PdfWriter& writer, const std::string& source, int rc);

    std::string m_logPath;
    bool m_fallback = false;
    bool m_fallbackStarted = false;
    int m_major = 1;
    int m_minor = 1;
    RunDocInfo m_docInfo;
    bool m_cancelled = false;
};

}  // namespace tnw::conv
