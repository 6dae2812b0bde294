#include "common/file_kind.h"
#include "common/platform/cp932.h"

#include <gtest/gtest.h>

using namespace tnw::common;

TEST(FileKind, KnownExtensionsGiveTheirKinds)
{
    EXPECT_EQ(fileKindOf("/scan/box1/a.jpg"), kFileKindJpeg);
    EXPECT_EQ(fileKindOf("/scan/a.tif"), kFileKindTiff);
    EXPECT_EQ(fileKindOf("/scan/a.tiff"), kFileKindTiff);
    EXPECT_EQ(fileKindOf("a.nsk"), kFileKindNsk);
    EXPECT_EQ(fileKindOf("a.bmp"), 1);
    EXPECT_EQ(fileKindOf("a.eps"), 18);
    EXPECT_EQ(fileKindOf("a.hp"), 28);
    EXPECT_EQ(fileKindOf("a.hpg"), 28);
    EXPECT_EQ(fileKindOf("a.plt"), 28);
    EXPECT_EQ(fileKindOf("a.xdw"), 30);
}

TEST(FileKind, ComparesTheExtensionIgnoringCase)
{
    EXPECT_EQ(fileKindOf("/scan/A.JPG"), kFileKindJpeg);
    EXPECT_EQ(fileKindOf("/scan/a.TiF"), kFileKindTiff);
    EXPECT_EQ(fileKindOfExtension(".PDF"), 17);
}

TEST(FileKind, UnlistedOrMissingExtensionsGiveMinusOne)
{
    EXPECT_EQ(fileKindOf("a.jpeg"), kFileKindNone);  // only the three-letter form is JPEG
    EXPECT_EQ(fileKindOf("a.jp"), kFileKindNone);
    EXPECT_EQ(fileKindOf("a.tif.bak"), kFileKindNone);
    EXPECT_EQ(fileKindOf("a."), kFileKindNone);
    EXPECT_EQ(fileKindOf("README"), kFileKindNone);
    EXPECT_EQ(fileKindOf(""), kFileKindNone);
    // The extension belongs to the last component, not to a folder name.
    EXPECT_EQ(fileKindOf("/scan/box.tif/page"), kFileKindNone);
    EXPECT_EQ(pathExtension("/scan/box.tif/page.Jpg"), ".Jpg");
    // Japanese names: the double-byte characters never look like a separator or a dot.
    const std::string name = tnw::platform::sjis("/スキャン/表示.tif");
    EXPECT_EQ(fileKindOf(name), kFileKindTiff);
    EXPECT_EQ(fileKindOf(tnw::platform::sjis("/スキャン/ｊｐｇ")), kFileKindNone);
}

TEST(FileKind, TableCarriesCp932DisplayNames)
{
    EXPECT_EQ(fileKindName(kFileKindJpeg), tnw::platform::sjis("JPEG-JFIF 準拠"));
    EXPECT_EQ(fileKindName(kFileKindTiff), "Tagged Image File Format");
    EXPECT_EQ(fileKindName(kFileKindNone), "");
    EXPECT_EQ(fileKindName(99), "");
    const auto table = fileKindTable();
    ASSERT_FALSE(table.empty());
    EXPECT_STREQ(table.front().extension, ".");
    for (const FileKindEntry& entry : table)
        EXPECT_EQ(fileKindOfExtension(entry.extension), entry.kind) << entry.extension;
}
