// The two passes over the pages: the examination (phase 0) that decides which pages the PDF
// will hold and numbers their objects, and the writing pass (phase 1).
#include "conv/pdf/pdf_writer.h"

#include "common/file_kind.h"
#include "common/platform/cp932.h"
#include "conv/pdf/pdf_image_data.h"
#include "conv/pdf/pdf_page_objects.h"
#include "conv/pdf/pdf_sink.h"
#include "conv/pdf/tiff_writer.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <stdexcept>

namespace tnw::conv {

namespace {

bool isDeflate(uint16_t compression)
{
    return compression == 8 || compression == 32946;
}

// The directory the temporary TIFF of an analysed JPEG file will have.
common::TiffDirectory jpegDirectory(const SourcePage& page)
{
    const image::JpegInfo& info = page.jpeg;
    common::TiffDirectory dir;
    dir.width = info.width > 0 ? uint32_t(info.width) : 0;
    dir.length = info.height > 0 ? uint32_t(info.height) : 0;
    dir.bitsPerSample = 8;
    dir.samplesPerPixel = uint16_t(info.components);
    dir.compression = uint16_t(tiffCompressionForJpeg(info.colorSpace));
    dir.photometric = uint16_t(tiffPhotometricForJpeg(info.colorSpace));
    dir.fillOrder = 1;
    dir.orientation = 1;
    dir.rowsPerStrip = dir.length;
    dir.xResolution = {uint32_t(info.xDensity), 1};
    dir.yResolution = {uint32_t(info.yDensity), 1};
    dir.resolutionUnit = uint16_t(tiffResolutionUnitForJpeg(info.densityUnit));
    dir.stripOffsets = {0};
    dir.stripByteCounts = {uint32_t(std::min<uint64_t>(page.dataSize, UINT32_MAX))};
    dir.stripByteCountSum = page.dataSize;
    return dir;
}

}  // namespace

// --- Phase 0 -----------------------------------------------------------------------------

bool PdfWriter::examinePages()
{
    const int total = static_cast<int>(m_pages.size());
    if (!progressGoesOn(0, -1, total)) {
        fail(PdfMsg::Cancelled, 0, m_pages.empty() ? std::string() : m_pages.front().source.path);
        if (!m_pages.empty())
            logPageSkipped(m_pages.front());
        return false;
    }
    for (int i = 0; i < total; ++i) {
        JobPage& page = m_pages[size_t(i)];
        if (!progressGoesOn(0, i + 1, total)) {
            fail(PdfMsg::Cancelled, 0, page.source.path);
            logPageSkipped(page);
            return false;
        }
        std::vector<PageIssue> warnings;
        page.refusal = examinePageGuarded(page, warnings);
        for (const PageIssue& warning : warnings)
            warn(warning.id, warning.value, page.source.path);
        page.usable = !page.refusal && page.source.errorCode == kPageUsable;
        if (page.refusal)
            report(page.refusal.id, page.refusal.value, page.source.path);
    }
    return true;
}

PageIssue PdfWriter::examinePageGuarded(JobPage& page, std::vector<PageIssue>& warnings)
{
    try {
        return examinePage(page, warnings);
    } catch (const std::bad_alloc&) {
        return {PdfMsg::ImageMemory, 0};
    } catch (const std::length_error&) {
        return {PdfMsg::ImageMemory, 0};
    } catch (const std::exception& e) {
        diagnostic(e.what());
        return {PdfMsg::PageFailed, 0};
    } catch (...) {
        return {PdfMsg::PageFailed, 0};
    }
}

PageIssue PdfWriter::examinePage(JobPage& page, std::vector<PageIssue>& warnings)
{
    if (page.source.errorCode != kPageUsable)
        return {};  // refused by the page list; logged with its code
    if (m_mode == Mode::List && page.source.kind == common::kFileKindJpeg) {
        // The JPEG is wrapped when the writing pass reaches it; its directory is known now.
        const common::TiffDirectory dir = jpegDirectory(page.source);
        if (dir.length < 1 || dir.length > uint32_t(kMaxJpegTiffRows))
            return {PdfMsg::JpegWrap, -10};
        page.invertedCmyk = image::hasInvertedCmyk(page.source.jpeg);
        return examineDirectory(dir, UINT64_MAX, page, warnings);
    }
    const std::string path = m_mode == Mode::List ? page.source.path : m_tiffPath;
    const std::string_view memory = m_mode == Mode::Jpeg ? m_wrap.tiff() : std::string_view();
    const common::TiffDirectory* dir = readPageDirectory(page, path, memory);
    if (!dir)
        return {PdfMsg::InitDirectory, page.source.pageIndex};
    if (m_mode != Mode::List)
        m_lastDirectory = *dir;
    return examineDirectory(*dir, m_reader->fileLength(), page, warnings);
}

PageIssue PdfWriter::examineDirectory(const common::TiffDirectory& dir, uint64_t fileLength,
                                      JobPage& page, std::vector<PageIssue>& warnings)
{
    if (PageIssue issue = checkTiles(dir))
        return issue;
    if (PageIssue issue = readPageParams(dir, page.params, warnings))
        return issue;
    if (PageIssue issue = checkStrips(dir, fileLength))
        return issue;
    // An Adobe CMYK JPEG holds inverted samples.
    if (page.invertedCmyk && (page.params.colorSpace & kCsCmyk))
        page.params.decodeInvert = 1;
    return {};
}

void PdfWriter::numberPages()
{
    int next = PdfWriterContext::kFirstPage;
    int k = 0;
    m_palettePages = 0;
    m_minorInUse = m_minor;
    for (JobPage& page : m_pages) {
        if (!page.usable)
            continue;
        if (isDeflate(page.params.compression) && page.params.stripCount == 1 && m_major == 1 &&
            m_minorInUse <= 1)
            m_minorInUse = 2;  // Flate needs PDF 1.2
        page.k = ++k;
        page.objectNumber = next;
        next += 5 + page.params.extraObjects();
        if (page.params.colorSpace & kCsPalette)
            ++m_palettePages;
    }
    m_usablePages = k;
}

const common::TiffDirectory* PdfWriter::readPageDirectory(JobPage& page,
                                                          const std::string& tiffPath,
                                                          std::string_view memory)
{
    m_readFailure = {};
    const bool inMemory = !memory.empty();
    if (!m_reader || m_readerPath != tiffPath || m_readerInMemory != inMemory) {
        m_reader = std::make_unique<common::TiffReader>();
        m_readerPath = tiffPath;
        m_readerInMemory = inMemory;
        m_readerCode = inMemory ? m_reader->openMemory(memory) : m_reader->open(tiffPath);
        m_readerOpenFailed = m_readerCode != 0;
        if (m_readerCode == 0)
            m_readerCode = m_reader->readDirectories();
        if (m_readerCode != 0 && m_reader->directoryCount() > page.source.pageIndex)
            m_readerCode = 0;  // a broken chain keeps the directories before it
    }
    if (m_readerCode != 0) {
        m_readFailure = {m_readerOpenFailed ? PdfMsg::OpenError : PdfMsg::DirectoryError,
                         m_readerCode};
        return nullptr;
    }
    if (const int rc = m_reader->readDirectory(page.source.pageIndex); rc != 0) {
        m_readFailure = {PdfMsg::DirectoryError, rc};
        return nullptr;
    }
    return &m_reader->record();
}

// --- Phase 1 -----------------------------------------------------------------------------

PdfWriter::Pass PdfWriter::writePages(PdfSink& sink, PdfWriterContext& context)
{
    const int total = static_cast<int>(m_pages.size());
    if (!progressGoesOn(1, -1, total)) {
        pdfShared().cancelled = true;
        fail(PdfMsg::Cancelled, 0, m_pages.front().source.path);
        logPageSkipped(m_pages.front());
        return Pass::Done;
    }
    for (int i = 0; i < total; ++i) {
        JobPage& page = m_pages[size_t(i)];
        if (m_mode == Mode::List && page.source.path != m_currentSource) {
            m_currentSource = page.source.path;
            if (m_progress)
                m_progress(10, -1, 1);
        }
        if (!progressGoesOn(1, i + 1, total)) {
            pdfShared().cancelled = true;
            fail(PdfMsg::Cancelled, 0, page.source.path);
            logPageSkipped(page);
            return Pass::Done;
        }
        if (!page.usable) {
            logUnusablePage(page);
            continue;
        }
        if (!writeOnePageGuarded(sink, context, page))
            return Pass::PageFailed;
        if (sink.failed())
            return Pass::Done;
        if (sink.count() >= m_account.limit()) {
            // The size limit: nothing more is written; this page and every page still waiting
            // get the limit's code and their rows after the pass.
            m_account.markReached();
            page.source.errorCode = kPageSizeLimit;
            for (int j = i + 1; j < total; ++j) {
                if (m_pages[size_t(j)].source.errorCode == kPageUsable)
                    m_pages[size_t(j)].source.errorCode = kPageSizeLimit;
            }
            return Pass::Done;
        }
    }
    return Pass::Done;
}

bool PdfWriter::writeOnePageGuarded(PdfSink& sink, PdfWriterContext& context, JobPage& page)
{
    try {
        return writeOnePage(sink, context, page);
    } catch (const std::bad_alloc&) {
        fail(PdfMsg::ImageMemory, 0, page.source.path);
    } catch (const std::length_error&) {
        fail(PdfMsg::ImageMemory, 0, page.source.path);
    } catch (const std::exception& e) {
        fail(PdfMsg::PageFailed, 0, page.source.path);
        diagnostic(e.what());
    } catch (...) {
        fail(PdfMsg::PageFailed, 0, page.source.path);
    }
    return leaveOut(page);
}

bool PdfWriter::leaveOut(JobPage& page, bool fileRefused)
{
    page.usable = false;
    page.k = 0;
    page.lateFailure = m_rowMessage;
    page.lateFileRefused = fileRefused;
    m_rowMessage.clear();
    return false;
}

bool PdfWriter::openPageSource(JobPage& page, std::string& tiffPath, std::string_view& memory)
{
    memory = {};
    if (m_mode != Mode::List) {
        tiffPath = m_tiffPath;
        if (m_mode == Mode::Jpeg)
            memory = m_wrap.tiff();
        return true;
    }
    tiffPath = page.source.path;
    if (page.source.kind != common::kFileKindJpeg)
        return true;
    if (m_wrappedJpeg != page.source.path) {
        m_wrappedJpeg.clear();
        m_readerPath.clear();  // the TIFF in memory is about to change
        m_reader.reset();
        const int rc = wrapJpeg(page.source.path);
        if (rc != 0) {
            fail(PdfMsg::JpegWrap, rc, page.source.path);
            if (!m_wrap.diagnostic.empty())
                diagnostic(m_wrap.diagnostic);
            return false;
        }
        m_wrappedJpeg = page.source.path;
    }
    memory = m_wrap.tiff();
    noteWrap();
    page.invertedCmyk = m_wrap.invertedCmyk;
    return true;
}

bool PdfWriter::writeOnePage(PdfSink& sink, PdfWriterContext& context, JobPage& page)
{
    std::string tiffPath;
    std::string_view memory;
    if (!openPageSource(page, tiffPath, memory))
        return leaveOut(page, true);
    const common::TiffDirectory* dir = readPageDirectory(page, tiffPath, memory);
    if (!dir) {
        // The examination read this directory: the source has changed since.
        fail(m_readFailure.id, m_readFailure.value, page.source.path);
        return leaveOut(page);
    }
    // The page as it is now; a source that changed since it was examined must still fit the
    // object numbers given out.
    JobPage now = page;
    std::vector<PageIssue> warnings;
    if (PageIssue issue = examineDirectory(*dir, m_reader->fileLength(), now, warnings)) {
        fail(issue.id, issue.value, page.source.path);
        return leaveOut(page);
    }
    if (now.params.extraObjects() != page.params.extraObjects()) {
        fail(PdfMsg::InitDirectory, page.source.pageIndex, page.source.path);
        return leaveOut(page);
    }
    page.params = now.params;

    ImageDataRequest request;
    request.params = &page.params;
    request.directory = dir;
    request.tiffPath = tiffPath;
    request.tiffMemory = memory;
    request.keepJpeg = !memory.empty() && wrapKept();
    request.workFolder = m_workFolder;
    request.maxBytes = m_maxImageBytes;
    std::string& data = m_pageData;  // its memory is kept from page to page
    ImageDataResult result;
    if (makeImageData(request, data, result) != 0) {
        if (result.failure != PdfMsg::None)
            fail(result.failure, result.value, page.source.path);
        else
            failWith(result.message, result.diagnostic);
        if (result.failure != PdfMsg::None && !result.diagnostic.empty())
            diagnostic(result.diagnostic);
        return leaveOut(page);
    }
    // The data is known before any object of the page is written, so a rebuilt JPEG page is
    // described as what it now holds.
    describeRebuiltJpeg(page.params, result.rebuiltComponents);

    writePageAndContent(sink, context, page.params, page.k);
    if (page.params.extraObjects() > 0)
        writePaletteObject(sink, context, page.params);
    PdfImageRecord record;
    record.streamOffset = static_cast<int64_t>(writeImageObject(sink, context, page.params,
                                                                page.k, data));
    record.streamLength = static_cast<int64_t>(data.size());
    record.converted = result.converted ? 1 : 0;
    record.compression = page.params.compression;
    record.pageIndex = page.source.pageIndex;
    record.bitReversed = result.bitReversed ? 1 : 0;
    pdfShared().records.push_back(record);
    ++m_pagesWritten;
    if (page.source.path != m_currentFileCounted) {
        m_currentFileCounted = page.source.path;
        ++m_filesProcessed;
    }
    logPageWritten(page);
    return true;
}

}  // namespace tnw::conv
