#include "conv/pdf/pdf_writer.h"

#include "common/file_kind.h"
#include "common/platform/cp932.h"
#include "common/platform/files.h"
#include "common/platform/module_paths.h"
#include "conv/pdf/pdf_ids.h"
#include "conv/pdf/pdf_sink.h"

#include <algorithm>
#include <new>

namespace tnw::conv {

namespace {

constexpr const char* kPartialSuffix = ".kvlpart";  // the PDF being written, next to the output
constexpr size_t kSinkBuffer = size_t(1) << 20;

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

}  // namespace

PdfSharedState& pdfShared()
{
    static PdfSharedState state;
    return state;
}

PdfWriter::PdfWriter() = default;
PdfWriter::~PdfWriter() = default;

void PdfWriter::setVersion(int major, int minor)
{
    m_major = major;
    m_minor = minor;
}

void PdfWriter::setDeterministic(const std::tm& clock)
{
    m_fixedClock = clock;
}

void PdfWriter::startJob(int debug)
{
    PdfSharedState& shared = pdfShared();
    shared.clearForJob();
    shared.debug = debug;
    m_pages.clear();
    m_sourcePages.clear();
    m_account.reset();
    m_minorInUse = m_minor;
    m_rowMessage.clear();
    m_note.clear();
    m_reader.reset();
    m_readerPath.clear();
    m_readerInMemory = false;
    m_readerCode = 0;
    m_readerOpenFailed = false;
    m_readFailure = {};
    m_wrappedJpeg.clear();
    m_wrap = JpegWrapResult{};
    m_lastDirectory.reset();
    m_currentSource.clear();
    m_currentFileCounted.clear();
    m_tiffPath.clear();
    m_pagesWritten = 0;
    m_usablePages = 0;
    m_palettePages = 0;
    m_filesProcessed = 0;
    m_refusals.clear();
    m_holdRows = false;
    m_heldRows.clear();
    m_documentWritten = false;
    m_logFailed = false;
    if (m_workFolder.empty())
        m_workFolder = platform::workFolder();
}

void PdfWriter::endJob()
{
    if (!m_log.close())
        m_logFailed = true;
    m_reader.reset();
    m_wrappedJpeg.clear();
    m_wrap = JpegWrapResult{};
    m_holdRows = false;
    m_heldRows.clear();
    m_progress = nullptr;
    std::string().swap(m_pageData);
}

int PdfWriter::guardJob(int debug, const std::string& source, const std::function<int()>& job)
{
    int rc = kPdfOutputFailed;
    PdfMsg failure = PdfMsg::None;
    const char* what = nullptr;
    try {
        startJob(debug);
        rc = job();
    } catch (const std::bad_alloc&) {
        failure = PdfMsg::PageArrayMemory;
    } catch (const std::length_error&) {
        failure = PdfMsg::PageArrayMemory;
    } catch (const std::exception& e) {
        failure = PdfMsg::PageFailed;
        what = e.what();
    } catch (...) {
        failure = PdfMsg::PageFailed;
    }
    if (failure != PdfMsg::None) {
        rc = kPdfOutputFailed;
        // Whatever the job had written is gone with its temporary file: no page stands.
        dropRows();
        pdfShared().records.clear();
        m_pagesWritten = 0;
        m_documentWritten = false;
        try {
            fail(failure, 0, source);
            if (what)
                diagnostic(what);
            const std::string remark = m_rowMessage;
            if (!m_pages.empty()) {
                logFileRefused(m_pages.front(), false);
            } else {
                // A remark row keeps no refusal: the job's failure is one all the same.
                writeRemarkRow(source, remark);
                m_refusals.push_back({source, -1, remark});
            }
        } catch (...) {
            m_logFailed = true;
        }
        m_rowMessage.clear();
    }
    try {
        endJob();
    } catch (...) {
    }
    return rc;
}

bool PdfWriter::progressGoesOn(int phase, int index, int total)
{
    return !m_progress || m_progress(phase, index, total) != 0;
}

int PdfWriter::pdfWriteJpegFile(int debug, const std::string& jpegPath,
                                const std::string& outputPath, ProgressProc progress)
{
    return guardJob(debug, jpegPath,
                    [&] { return jpegJob(jpegPath, outputPath, std::move(progress)); });
}

int PdfWriter::pdfWriteTiffFile(int debug, int pageCount, const std::string& tiffPath,
                                const std::string& outputPath, ProgressProc progress)
{
    return guardJob(debug, tiffPath, [&] {
        return tiffJob(pageCount, tiffPath, outputPath, std::move(progress));
    });
}

int PdfWriter::pdfWriteFileList(int debug, const std::string& logSource,
                                const std::vector<std::string>& paths,
                                const std::string& outputPath, ProgressProc progress)
{
    return guardJob(debug, logSource.empty() ? outputPath : logSource, [&] {
        return listJob(logSource, paths, outputPath, std::move(progress));
    });
}

int PdfWriter::jpegJob(const std::string& jpegPath, const std::string& outputPath,
                       ProgressProc progress)
{
    m_mode = Mode::Jpeg;
    m_outputPath = outputPath;
    JobPage page;
    page.source.path = jpegPath;
    page.source.kind = common::kFileKindJpeg;
    page.fromJpegFile = true;

    const int rc = wrapJpeg(jpegPath);
    if (rc != 0) {
        fail(PdfMsg::JpegWrap, rc, jpegPath);
        if (!m_wrap.diagnostic.empty())
            diagnostic(m_wrap.diagnostic);
        logFileRefused(page, false);
        return rc;
    }
    noteWrap();
    page.invertedCmyk = m_wrap.invertedCmyk;
    page.source.dataSize = m_wrap.dataSize;
    m_tiffPath = jpegPath;  // the page is read from the TIFF in memory
    m_pages.push_back(std::move(page));
    return runJob(Mode::Jpeg, outputPath, std::move(progress));
}

int PdfWriter::tiffJob(int pageCount, const std::string& tiffPath, const std::string& outputPath,
                       ProgressProc progress)
{
    m_mode = Mode::Tiff;
    m_outputPath = outputPath;
    JobPage probe;
    probe.source.path = tiffPath;
    probe.source.kind = common::kFileKindTiff;

    m_reader = std::make_unique<common::TiffReader>();
    int rc = m_reader->open(tiffPath);
    if (rc != 0) {
        fail(PdfMsg::OpenError, rc, tiffPath);
        logFileRefused(probe, false);
        return rc;
    }
    rc = m_reader->readDirectories();
    if (rc != 0) {
        fail(PdfMsg::DirectoryError, rc, tiffPath);
        logFileRefused(probe, false);
        return rc;
    }
    m_readerPath = tiffPath;
    m_tiffPath = tiffPath;
    const int count = m_reader->directoryCount();
    const int pages = pageCount > 0 ? std::min(pageCount, count) : count;
    for (int n = 0; n < pages; ++n) {
        JobPage page = probe;
        page.source.pagesInSource = count;
        page.source.pageIndex = n;
        m_pages.push_back(std::move(page));
    }
    return runJob(Mode::Tiff, outputPath, std::move(progress));
}

int PdfWriter::listJob(const std::string& logSource, const std::vector<std::string>& paths,
                       const std::string& outputPath, ProgressProc progress)
{
    m_mode = Mode::List;
    m_outputPath = outputPath;
    if (paths.empty()) {
        fail(PdfMsg::NoFiles);
        logEmptyList(logSource);
        return 0;
    }
    m_sourcePages = buildPageList(paths, m_account);
    for (const SourcePage& source : m_sourcePages) {
        JobPage page;
        page.source = source;
        page.fromJpegFile = source.kind == common::kFileKindJpeg;
        m_pages.push_back(std::move(page));
    }
    if (m_pages.empty()) {
        fail(PdfMsg::NoPages);
        return 0;
    }
    return runJob(Mode::List, outputPath, std::move(progress));
}

int PdfWriter::runJob(Mode mode, const std::string& outputPath, ProgressProc progress)
{
    m_mode = mode;
    m_outputPath = outputPath;
    m_progress = std::move(progress);

    const bool goOn = examinePages();
    if (!goOn) {
        // Nothing will be written after a cancel here: the page tree names no page.
        pdfShared().cancelled = true;
        for (JobPage& page : m_pages)
            page.usable = false;
    }
    numberPages();

    int rc = 0;
    if (m_usablePages == 0 && goOn) {
        logNoPageLeft();
        rc = kPdfNoPageWritten;
    } else
        rc = writeDocument(outputPath);
    logSizeLimitRows();
    m_reader.reset();
    if (rc != 0)
        return rc;
    return pdfShared().cancelled ? kPdfCancelled : 0;
}

void PdfWriter::logNoPageLeft()
{
    // Every page was refused: no PDF, an existing output stays as it is.
    for (JobPage& page : m_pages)
        logUnusablePage(page);
    if (pdfShared().message.empty())
        report(PdfMsg::NoPages);
}

std::string PdfWriter::documentDate() const
{
    if (m_mode != Mode::List && m_lastDirectory) {
        const std::string date = pdfDateFromTiff(m_lastDirectory->dateTime);
        if (!date.empty())
            return date;
    }
    return pdfDateFromTime(m_fixedClock ? *m_fixedClock : localNow());
}

int PdfWriter::writeDocument(const std::string& outputPath)
{
    for (;;) {
        switch (writeAttempt(outputPath)) {
        case Attempt::Written:
            return 0;
        case Attempt::OutputFailed:
            return kPdfOutputFailed;
        case Attempt::PageFailed:
            break;
        }
        // A page failed after it was numbered: the document is written again without it.
        numberPages();
        if (m_usablePages == 0) {
            logNoPageLeft();
            return kPdfNoPageWritten;
        }
    }
}

void PdfWriter::startAttempt()
{
    m_holdRows = true;
    m_heldRows.clear();
    pdfShared().records.clear();
    m_pagesWritten = 0;
    m_filesProcessed = 0;
    m_currentSource.clear();
    m_currentFileCounted.clear();
    m_rowMessage.clear();
    m_note.clear();
    if (m_mode == Mode::Jpeg)
        noteWrap();
}

int PdfWriter::wrapJpeg(const std::string& jpegPath)
{
    const bool progressiveReadable = m_major > 1 || m_minor >= 3;
    return wrapJpegInMemory(jpegPath, m_workFolder, m_wrap, m_keepJpeg && progressiveReadable);
}

bool PdfWriter::wrapKept() const
{
    return m_keepJpeg && !m_wrap.reencoded &&
           (m_wrap.keptProgressive || m_wrap.info.colorSpace == image::kJpegGray);
}

void PdfWriter::noteWrap()
{
    if (m_wrap.reencoded)
        m_note = platform::sjis("ﾌﾟﾛｸﾞﾚｼﾌﾞDCT.");
    else if (wrapKept())
        m_note = platform::sjis("JPEGそのまま.");
}

PdfWriter::Attempt PdfWriter::writeAttempt(const std::string& outputPath)
{
    startAttempt();
    const size_t slash = outputPath.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string()
                               : slash == 0               ? std::string("/")
                                                          : outputPath.substr(0, slash);
    const std::string name = outputPath.substr(slash == std::string::npos ? 0 : slash + 1);
    // Declared before the stream: the stream is closed first, then the file deleted, unless
    // it was renamed into place.
    TemporaryFile partial;
    // The stream's buffer, large enough that the many small objects and the image data go out
    // in few writes; it outlives the stream.
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[kSinkBuffer]);
    std::unique_ptr<FILE, FileCloser> file(partial.createOpen(folder, name + kPartialSuffix));
    if (file && buffer)
        std::setvbuf(file.get(), buffer.get(), _IOFBF, kSinkBuffer);
    if (!file) {
        releaseRows(true);
        fail(PdfMsg::OutputOpen, 0, outputPath);
        if (!m_pages.empty())
            logFileRefused(m_pages.front(), false);
        return Attempt::OutputFailed;
    }

    PdfSink sink(file.get());
    PdfWriterContext context;
    context.major = m_major;
    context.minor = m_minorInUse;
    context.date = documentDate();
    PdfRandom fresh;
    context.identifier = makeFileIdentifier(m_fixedClock ? fresh : threadPdfRandom());

    writeHeader(sink, context.major, context.minor);
    writeCatalog(sink, context);
    const common::TiffDirectory* tags =
        m_mode != Mode::List && m_lastDirectory ? &*m_lastDirectory : nullptr;
    writeInfo(sink, context, makeInfoTexts(m_doc, tags, context.date));
    std::vector<int> pageObjects;
    for (const JobPage& page : m_pages) {
        if (page.usable)
            pageObjects.push_back(page.objectNumber);
    }
    writePageTree(sink, context, pageObjects);
    if (!pdfShared().cancelled && writePages(sink, context) == Pass::PageFailed) {
        dropRows();
        return Attempt::PageFailed;
    }
    writeXrefAndTrailer(sink, context);

    const bool written = !sink.failed() && std::fflush(file.get()) == 0;
    const bool closed = std::fclose(file.release()) == 0;
    if (!written || !closed || !platform::renamePath(partial.path(), outputPath, true)) {
        // No page of this attempt stands; the refusals do.
        releaseRows(true);
        pdfShared().records.clear();
        m_pagesWritten = 0;
        fail(PdfMsg::OutputWrite, 0, outputPath);
        if (!m_pages.empty())
            logFileRefused(m_pages.front(), false);
        return Attempt::OutputFailed;
    }
    partial.keep();
    releaseRows(false);
    m_documentWritten = true;
    return Attempt::Written;
}

}  // namespace tnw::conv
