// PdfWriter: writes one PDF of image pages from one JPEG file, one TIFF file or an ordered list
// of JPEG and TIFF files. One writer serves one job: configure it, call one entry point, read
// the results (message, image records, counters), destroy it.
//
// Every job first examines all its pages (progress phase 0), so that the page tree written at
// the start of the file names exactly the pages that will follow; then it writes the file
// (phase 1). The PDF is written to a temporary file of its own next to the output and renamed
// over it at the end, so an existing output is replaced only by a complete file.
//
// A page that fails in the writing pass although the examination accepted it (its image cannot
// be made) is never written without its image: that attempt is abandoned (its file deleted, its
// log rows dropped), the page is left out with its failure as its row, and the document is
// written again from the start with the pages renumbered. Each attempt drops at least one page;
// when none is left, no PDF is written and an existing output stays as it was. So the log and
// the PDF always agree.
//
// A JPEG file is read once, into memory, where a small TIFF head is laid in front of its bytes:
// its page is read from that TIFF as any other page. Every temporary file of a job (the JPEG
// re-encodings, the PDF being written) has a unique name of its own in the work folder or next
// to the output and is deleted when the job ends, however it ends: jobs of several processes
// may share a work folder.
// No exception leaves an entry point: one a page raises ends that page only.
#pragma once

#include "common/tiff_reader.h"
#include "conv/pdf/pdf_document.h"
#include "conv/pdf/jpeg_wrap.h"
#include "conv/pdf/pdf_log_rows.h"
#include "conv/pdf/pdf_messages.h"
#include "conv/pdf/pdf_page_list.h"
#include "conv/pdf/pdf_page_params.h"
#include "conv/pdf/pdf_shared_state.h"
#include "conv/pdf/temporary_file.h"

#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tnw::conv {

// Progress and cancel: (phase, index, total); nonzero goes on, 0 cancels.
//   (0, -1, N) before the page examination over N pages, then (0, i, N) before page i;
//   (1, -1, N) before the writing pass, then (1, i, N) before page i (1-based);
//   (10, -1, 1) in a list job whenever the writing pass moves to another source file (its
//   result is not used).
using ProgressProc = std::function<int(int phase, int index, int total)>;

// Results of the entry points besides 0.
constexpr int kPdfCancelled = -91;
constexpr int kPdfOutputFailed = -1;  // the output could not be created or written
constexpr int kPdfNoPageWritten = -2;  // every page was refused: no PDF was written

// One input of a job that did not become a page of the PDF: its log row was a skip or a
// refusal. The program reports these (headless, one line each) and decides its exit status
// from them.
struct PdfRefusal {
    std::string sourcePath;  // the file (code page 932), or the folder of an empty list
    int pageIndex = -1;      // 0-based page of the source; -1 when the whole file is meant
    std::string remark;      // the log row's remark (code page 932)
};

class PdfWriter {
public:
    PdfWriter();
    ~PdfWriter();
    PdfWriter(const PdfWriter&) = delete;
    PdfWriter& operator=(const PdfWriter&) = delete;

    // Configuration (before the job).
    void setVersion(int major, int minor);
    void setDocInfo(const PdfDocInfo& info) { m_doc = PdfDocTexts::from(info); }
    void setLogPath(const std::string& path) { m_logPath = path; }
    // Folder of the temporary files (default: the library's work folder).
    void setWorkFolder(const std::string& folder) { m_workFolder = folder; }
    // Tests: a fixed clock, and the identifier from a generator that starts afresh.
    void setDeterministic(const std::tm& clock);
    // The size limit of the page list and of the written file (tests lower it).
    void setSizeLimit(uint64_t bytes) { m_account.setLimit(bytes); }
    // Lossless embedding of JPEG files: a grayscale baseline file goes in unchanged, and a
    // progressive one too when the PDF version is 1.3 or later (otherwise both are re-encoded).
    void setKeepJpeg(bool keep) { m_keepJpeg = keep; }
    // The largest image buffer one page may need (decoded samples, raw strips).
    void setMaxImageBytes(uint64_t bytes) { m_maxImageBytes = bytes; }

    // One JPEG file: wrapped into a TIFF in memory, written as a one-page PDF. Returns the
    // wrapping code when the JPEG cannot be wrapped.
    int pdfWriteJpegFile(int debug, const std::string& jpegPath, const std::string& outputPath,
                         ProgressProc progress);
    // The first `pageCount` pages of a TIFF file (all of them when the count is 0 or less).
    // Returns the reader's code when the file cannot be opened or has no directory.
    int pdfWriteTiffFile(int debug, int pageCount, const std::string& tiffPath,
                         const std::string& outputPath, ProgressProc progress);
    // The pages of the listed files in order. `logSource` stands in the log row of an empty
    // list.
    int pdfWriteFileList(int debug, const std::string& logSource,
                         const std::vector<std::string>& paths, const std::string& outputPath,
                         ProgressProc progress);

    // A remark row for the log (a skipped input): source folder and name, the remark.
    void writeRemarkRow(const std::string& sourcePath, const std::string& remark,
                        bool sourceIsFolder = false);

    // Results.
    const std::string& message() const { return pdfShared().message; }
    bool cancelled() const { return pdfShared().cancelled; }
    int pagesWritten() const { return m_pagesWritten; }
    int usablePages() const { return m_usablePages; }
    int palettePages() const { return m_palettePages; }
    int filesProcessed() const { return m_filesProcessed; }
    const std::vector<SourcePage>& pageList() const { return m_sourcePages; }
    // Every skip or refusal row of the job, in log order (remark rows not included).
    const std::vector<PdfRefusal>& refusals() const { return m_refusals; }
    // True once a PDF of this job was written completely and renamed into place.
    bool documentWritten() const { return m_documentWritten; }
    // True when a row could not be appended to the log.
    bool logFailed() const { return m_logFailed; }

private:
    // One page of the job.
    struct JobPage {
        SourcePage source;        // path (the JPEG file for a JPEG page), kind, indexes, code
        bool fromJpegFile = false;
        bool usable = false;      // examined and accepted: numbered in the page tree
        PageIssue refusal;        // why it was not accepted
        PageParams params;
        int k = 0;                // 1-based position in the page tree
        int objectNumber = 0;
        bool invertedCmyk = false;
        // The page failed in the writing pass: the message of its row, and whether the row
        // refuses the whole file (a JPEG that could not be wrapped).
        std::string lateFailure;
        bool lateFileRefused = false;
    };
    enum class Mode { Jpeg, Tiff, List };
    // How one writing attempt ended.
    enum class Attempt { Written, PageFailed, OutputFailed };
    enum class Pass { Done, PageFailed };
    // A log row of the writing pass, held until the attempt is known to stand.
    struct HeldRow {
        std::string row;
        bool isRefusal = false;
        PdfRefusal refusal;
    };

    // Starts the job and runs its body: whatever it throws ends the job with a failure (and a
    // refusal row), and the job's temporary files go in every case.
    int guardJob(int debug, const std::string& source, const std::function<int()>& job);
    int jpegJob(const std::string& jpegPath, const std::string& outputPath, ProgressProc progress);
    int tiffJob(int pageCount, const std::string& tiffPath, const std::string& outputPath,
                ProgressProc progress);
    int listJob(const std::string& logSource, const std::vector<std::string>& paths,
                const std::string& outputPath, ProgressProc progress);
    int runJob(Mode mode, const std::string& outputPath, ProgressProc progress);
    // The rows of a job whose pages were all refused or left out.
    void logNoPageLeft();
    void startJob(int debug);
    // Wraps a JPEG file into m_wrap with the job's keeping rules.
    int wrapJpeg(const std::string& jpegPath);
    // Whether the wrapped JPEG goes into the PDF unchanged, and the note of its log row.
    bool wrapKept() const;
    void noteWrap();
    void endJob();
    bool progressGoesOn(int phase, int index, int total);

    // Phase 0 (pdf_writer_pages.cpp).
    bool examinePages();
    PageIssue examinePage(JobPage& page, std::vector<PageIssue>& warnings);
    PageIssue examinePageGuarded(JobPage& page, std::vector<PageIssue>& warnings);
    PageIssue examineDirectory(const common::TiffDirectory& dir, uint64_t fileLength,
                               JobPage& page, std::vector<PageIssue>& warnings);
    void numberPages();
    // Phase 1 (pdf_writer_pages.cpp).
    Pass writePages(PdfSink& sink, PdfWriterContext& context);
    // False when the page failed (it is then marked as left out).
    bool writeOnePage(PdfSink& sink, PdfWriterContext& context, JobPage& page);
    bool writeOnePageGuarded(PdfSink& sink, PdfWriterContext& context, JobPage& page);
    // Leaves out a page whose image cannot be made, with the pending message as its row.
    bool leaveOut(JobPage& page, bool fileRefused = false);
    // The file holding the page, or for a JPEG file the TIFF that wraps it, in memory; false
    // when the JPEG cannot be wrapped.
    bool openPageSource(JobPage& page, std::string& tiffPath, std::string_view& memory);
    // The page's directory from `tiffPath`, or from `memory` when that is not empty (then the
    // path only names it).
    const common::TiffDirectory* readPageDirectory(JobPage& page, const std::string& tiffPath,
                                                   std::string_view memory = {});

    // The document (pdf_writer.cpp).
    int writeDocument(const std::string& outputPath);
    Attempt writeAttempt(const std::string& outputPath);
    void startAttempt();
    std::string documentDate() const;

    // Messages and log rows (pdf_writer_log.cpp).
    // Sets the job message, prints the diagnostic and returns the message text.
    std::string report(PdfMsg id, int64_t value = 0, const std::string& path = {});
    // The same, and the message goes into the next log row.
    void fail(PdfMsg id, int64_t value = 0, const std::string& path = {});
    void failWith(const std::string& message, const std::string& english);
    void warn(PdfMsg id, int64_t value, const std::string& path);
    void diagnostic(const std::string& english) const;
    void logPageWritten(const JobPage& page);
    void logPageSkipped(const JobPage& page);
    void logFileRefused(const JobPage& page, bool withPages);
    void logEmptyList(const std::string& logSource);
    void logUnusablePage(JobPage& page);
    void logSizeLimitRows();
    LogPageFields fieldsFor(const JobPage& page);
    // Appends one row to the log; a refusal row is also kept in m_refusals. While a writing
    // attempt runs, rows are held until it is known to stand.
    void appendRow(const std::string& row, const LogPageFields* refused, int pageIndex);
    void emitRow(const HeldRow& held);
    // Writes the held rows (only the refusals when `refusalsOnly`) and stops holding.
    void releaseRows(bool refusalsOnly);
    void dropRows();

    // Configuration.
    int m_major = 1;
    int m_minor = 4;
    PdfDocTexts m_doc;
    std::string m_logPath;
    std::string m_workFolder;
    std::optional<std::tm> m_fixedClock;
    uint64_t m_maxImageBytes = uint64_t(2) << 30;
    bool m_keepJpeg = false;
    PdfSizeAccount m_account;

    // The job.
    Mode m_mode = Mode::Tiff;
    std::string m_outputPath;
    std::string m_tiffPath;            // single-file jobs: the TIFF read (the JPEG for a JPEG job)
    std::vector<SourcePage> m_sourcePages;
    std::vector<JobPage> m_pages;
    ProgressProc m_progress;
    int m_minorInUse = 4;
    std::string m_rowMessage;          // message of the next log row
    std::string m_note;                // note of the next log row
    std::unique_ptr<common::TiffReader> m_reader;  // the file whose pages are being read
    std::string m_readerPath;
    bool m_readerInMemory = false;     // m_reader reads the wrapped JPEG's TIFF in memory
    int m_readerCode = 0;              // why m_readerPath could not be read (0: it could)
    bool m_readerOpenFailed = false;   // m_readerCode is the open's, not the directories'
    PageIssue m_readFailure;           // why the last readPageDirectory gave no directory
    std::string m_wrappedJpeg;         // list jobs: the JPEG wrapped in m_wrap
    JpegWrapResult m_wrap;             // the TIFF in memory that wraps a JPEG, and how
    std::optional<common::TiffDirectory> m_lastDirectory;  // for the date and tag texts
    std::string m_currentSource;       // list jobs: the file of the previous page
    std::string m_currentFileCounted;  // the last file counted in m_filesProcessed
    int m_pagesWritten = 0;
    int m_usablePages = 0;
    int m_palettePages = 0;
    int m_filesProcessed = 0;
    std::vector<PdfRefusal> m_refusals;
    bool m_holdRows = false;
    std::vector<HeldRow> m_heldRows;
    bool m_documentWritten = false;
    bool m_logFailed = false;
    std::string m_pageData;            // the image data of the page being written
    LogAppender m_log;                 // the job's rows, written out when the job ends
};

}  // namespace tnw::conv
