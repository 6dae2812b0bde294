// The tag dump as the dialog reads it: row lines split into their six columns and the value
// text, continuation lines joined, and pages of hostile files dumped without harm.
#include "common/tiff_builder.h"
#include "common/tiff_reader.h"
#include "sheet/dialogs/tag_dump_rows.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tnw::sheet {
namespace {

using common::TiffDumpMode;
using common::TiffReader;
using test::TiffBuilder;

TEST(TagDumpRowsTest, RowsSplitAtTheFirstSixCommasAndContinueOnLooseLines)
{
    const QStringList lines = {
        QStringLiteral("256, 3,SHORT    ,1,2480,x,"),
        QStringLiteral("270, 2,ASCII    ,12,38,desc,a,b,c"),
        QStringLiteral("second line, of it"),
        QString(),
        QStringLiteral("282, 5,RATIONAL ,1,-60,res,300.0"),
    };
    const std::vector<TagDumpRow> rows = parseDumpRows(lines);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].tag, QStringLiteral("256"));
    EXPECT_EQ(rows[0].type, QStringLiteral("3:SHORT"));
    EXPECT_EQ(rows[0].count, QStringLiteral("1"));
    EXPECT_EQ(rows[0].value, QStringLiteral("2480"));
    EXPECT_EQ(rows[0].name, QStringLiteral("x"));
    EXPECT_EQ(rows[0].text, QString());
    EXPECT_EQ(rows[1].text, QStringLiteral("a,b,c second line, of it"));
    EXPECT_EQ(rows[2].value, QStringLiteral("-60"));
    EXPECT_EQ(rows[2].text, QStringLiteral("300.0"));
    // Text before any row has nothing to continue.
    EXPECT_TRUE(parseDumpRows({QStringLiteral("stray, text")}).empty());
}

class TagDumpPageTest : public ::testing::Test {
protected:
    int open(const std::string& bytes)
    {
        const std::string path = m_dir.file("t.tif");
        EXPECT_TRUE(test::writeFile(path, bytes));
        if (const int rc = m_reader.open(path); rc != 0)
            return rc;
        return m_reader.readDirectories();
    }
    test::TempDir m_dir;
    TiffReader m_reader;
};

TEST_F(TagDumpPageTest, EveryPageOfACyclicChainDumpsInBothForms)
{
    TiffBuilder b(false);
    b.shorts(256, {10}).ascii(270, "line one\nline two").nextDirectory().shorts(256, {20});
    std::string bytes = b.build();
    const uint32_t second = b.directoryOffsets()[1];
    bytes.replace(second + 2 + 12, 4, b.u32(b.directoryOffsets()[0]));  // back to the first
    ASSERT_EQ(open(bytes), 0);
    ASSERT_EQ(m_reader.directoryCount(), 2);

    QStringList lines;
    ASSERT_EQ(dumpPage(m_reader, 0, TiffDumpMode::Rows, lines), 0);
    const std::vector<TagDumpRow> rows = parseDumpRows(lines);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].tag, QStringLiteral("270"));
    EXPECT_EQ(rows[1].text, QStringLiteral("line one line two"));
    ASSERT_EQ(dumpPage(m_reader, 1, TiffDumpMode::Text, lines), 0);
    EXPECT_TRUE(lines.join('\n').contains(QStringLiteral("Byte Order : II")));
    EXPECT_EQ(dumpPage(m_reader, 2, TiffDumpMode::Rows, lines), common::tiffcode::NoDirectory);
}

TEST_F(TagDumpPageTest, AbsurdCountsAreListedNotRead)
{
    TiffBuilder b(true);
    b.shorts(256, {10})
        .field(273, 4, 0x40000000u, 8)      // a billion strip offsets
        .field(279, 4, 0xFFFFFFFFu, 8)
        .field(700, 1, 0x7FFFFFFFu, 8)      // a byte array larger than any file
        .field(320, 3, 0x10000000u, 8);     // a colour map
    ASSERT_EQ(open(b.build()), 0);
    for (TiffDumpMode mode : {TiffDumpMode::Rows, TiffDumpMode::Text}) {
        QStringList lines;
        ASSERT_EQ(dumpPage(m_reader, 0, mode, lines), 0);
        EXPECT_LT(lines.size(), 40);
        EXPECT_TRUE(lines.join('\n').contains(QStringLiteral("2147483647")));
    }
    QStringList lines;
    dumpPage(m_reader, 0, TiffDumpMode::Rows, lines);
    EXPECT_EQ(parseDumpRows(lines).size(), 5u);
}

}  // namespace
}  // namespace tnw::sheet
