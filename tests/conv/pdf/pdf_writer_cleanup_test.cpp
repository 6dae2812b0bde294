// What a job leaves behind: its temporary files (the TIFF that wraps a JPEG, the re-encodings,
// the PDF being written) go whatever way it ends, and nothing it throws leaves the writer.
#include "tests/conv/pdf/pdf_writer_test_support.h"

#include "common/platform/cp932.h"
#include "common/platform/files.h"
#include "conv/pdf/temporary_file.h"

#include <set>
#include <stdexcept>

using namespace tnw::conv;
using namespace tnw::test;
using tnw::platform::sjis;

namespace {

std::set<std::string> namesIn(const std::string& folder)
{
    std::vector<tnw::platform::FolderEntry> entries;
    EXPECT_TRUE(tnw::platform::listFolder(folder, entries));
    std::set<std::string> names;
    for (const auto& e : entries)
        names.insert(e.name);
    return names;
}

class PdfJobCleanup : public PdfJob {
protected:
    PdfJobCleanup() { m_writer.setWorkFolder(m_work.path()); }
    TempDir m_work;
};

}  // namespace

TEST(TemporaryFile, NamesAreUniqueExclusiveAndGoWithTheirOwner)
{
    TempDir dir;
    std::string kept;
    {
        TemporaryFile a;
        TemporaryFile b;
        ASSERT_TRUE(a.create(dir.path(), "tnw7.jpg"));
        ASSERT_TRUE(b.create(dir.path() + "/", "tnw7.jpg"));
        EXPECT_NE(a.path(), b.path());
        EXPECT_EQ(a.path().rfind(dir.path() + "/tnw7.", 0), 0u) << a.path();
        EXPECT_EQ(a.path().substr(a.path().size() - 4), ".jpg");
        EXPECT_EQ(namesIn(dir.path()).size(), 2u);
        TemporaryFile c;
        FILE* open = c.createOpen(dir.path(), "out.pdf.kvlpart");
        ASSERT_NE(open, nullptr);
        std::fclose(open);
        kept = c.path();
        c.keep();
    }
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{kept.substr(dir.path().size() + 1)});
    TemporaryFile missing;
    EXPECT_FALSE(missing.create(dir.file("no/such/folder"), "x.tif"));
    EXPECT_FALSE(missing.held());
}

// A progressive JPEG (copied and re-encoded), a grayscale one (rebuilt) and a colour one, alone
// and in a list, written, refused and cancelled: the work folder is empty after each job, and
// next to the output there is only the output.
TEST_F(PdfJobCleanup, WorkFolderIsEmptyAfterEveryJob)
{
    JpegShape progressive;
    progressive.progressive = true;
    JpegShape gray;
    gray.input = JCS_GRAYSCALE;
    const std::string p = jpeg("p.jpg", progressive);
    const std::string g = jpeg("g.jpg", gray);
    const std::string c = jpeg("c.jpg");
    const std::set<std::string> sources = {"p.jpg", "g.jpg", "c.jpg", "log.csv"};

    for (const std::string& input : {p, g, c}) {
        ASSERT_EQ(m_writer.pdfWriteJpegFile(0, input, out(), nullptr), 0) << input;
        EXPECT_TRUE(m_writer.documentWritten());
        EXPECT_TRUE(namesIn(m_work.path()).empty()) << input;
    }
    ASSERT_EQ(m_writer.pdfWriteFileList(0, "src", {p, g, c}, out(), nullptr), 0);
    EXPECT_EQ(m_writer.pagesWritten(), 3);
    EXPECT_TRUE(namesIn(m_work.path()).empty());

    // The gray page cannot be rebuilt under this limit: refused, no PDF.
    std::remove(out().c_str());
    m_writer.setMaxImageBytes(16 * 16 - 1);
    ASSERT_EQ(m_writer.pdfWriteJpegFile(0, g, out(), nullptr), kPdfNoPageWritten);
    EXPECT_FALSE(m_writer.documentWritten());
    EXPECT_TRUE(namesIn(m_work.path()).empty());
    EXPECT_EQ(namesIn(m_dir.path()), sources);
    m_writer.setMaxImageBytes(uint64_t(1) << 30);

    auto cancelSecond = [](int phase, int index, int) { return phase == 1 && index == 2 ? 0 : 1; };
    ASSERT_EQ(m_writer.pdfWriteFileList(0, "src", {p, g, c}, out(), cancelSecond),
              kPdfCancelled);
    EXPECT_TRUE(namesIn(m_work.path()).empty());
    std::set<std::string> withOutput = sources;
    withOutput.insert("out.pdf");
    EXPECT_EQ(namesIn(m_dir.path()), withOutput);
}

// Whatever a job throws (here the progress procedure, in the middle of the writing pass) ends
// the job with a failure and a refusal: no exception leaves the writer, the half-written PDF
// and the temporary TIFF are gone and the existing output is as it was.
TEST_F(PdfJobCleanup, ExceptionInTheMiddleOfAJobEndsItCleanly)
{
    const std::string a = jpeg("a.jpg");
    const std::string b = jpeg("b.jpg");
    ASSERT_TRUE(writeFile(out(), "old"));
    const std::exception_ptr thrown[] = {
        std::make_exception_ptr(std::length_error("vector")),
        std::make_exception_ptr(std::bad_alloc()),
        std::make_exception_ptr(std::runtime_error("boom")),
        std::make_exception_ptr(42),
    };
    for (const std::exception_ptr& what : thrown) {
        auto progress = [&](int phase, int index, int) {
            if (phase == 1 && index == 2)
                std::rethrow_exception(what);
            return 1;
        };
        int rc = 0;
        EXPECT_NO_THROW(rc = m_writer.pdfWriteFileList(0, "src", {a, b}, out(), progress));
        EXPECT_EQ(rc, kPdfOutputFailed);
        EXPECT_FALSE(m_writer.documentWritten());
        EXPECT_EQ(m_writer.pagesWritten(), 0);
        EXPECT_TRUE(pdfShared().records.empty());
        ASSERT_EQ(m_writer.refusals().size(), 1u);
        EXPECT_FALSE(m_writer.refusals()[0].remark.empty());
        EXPECT_EQ(readFile(out()), "old");
        EXPECT_TRUE(namesIn(m_work.path()).empty());
        EXPECT_EQ(namesIn(m_dir.path()),
                  (std::set<std::string>{"a.jpg", "b.jpg", "log.csv", "out.pdf"}));
    }
}
