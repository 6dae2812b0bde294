// The call interface: the gate of shxInit, page information through the exports, the message
// of an unreadable file, the per-page CSV written whole or not at all, and the getters' codes.
#include "tnwsheet.h"

#include "CTnwbuff.h"
#include "common/platform/cp932.h"
#include "common/tiff_reader.h"
#include "common/platform/ui.h"
#include "sheet/sheet_state.h"
#include "support/temp_dir.h"
#include "tests/sheet/sheet_fixtures.h"

#include <gtest/gtest.h>

#include <memory>

namespace tnw::sheet {
namespace {

class ShxApiTest : public ::testing::Test {
protected:
    ShxApiTest()
    {
        platform::setUiBackend(m_ui);
        shxInit();
    }
    ~ShxApiTest() override { platform::setUiBackend(nullptr); }

    std::string forms() const { return m_dir.file("tnwForm.ini"); }

    test::TempDir m_dir;
    std::shared_ptr<platform::RecorderUi> m_ui = std::make_shared<platform::RecorderUi>();
};

TEST_F(ShxApiTest, EveryCallButInitAnswersMinus109BeforeInit)
{
    sheetState().initialised = false;
    char name[8];
    ShxPageInfo info;
    const std::string tif = m_dir.file("a.tif");
    EXPECT_EQ(shxGetPageInfos(tif.c_str(), nullptr), -109);
    EXPECT_EQ(shxGetPageInfoOf(1, &info), -109);
    EXPECT_EQ(shxGetBasicInfo(tif.c_str(), "x.csv", nullptr), -109);
    EXPECT_EQ(shxGetSum(m_dir.path().c_str(), "x.csv", nullptr, 0), -109);
    EXPECT_EQ(shxSumInit(nullptr, 0), -109);
    EXPECT_EQ(shxSumPutFile(tif.c_str()), -109);
    EXPECT_EQ(shxSumGetFileCount(), -109);
    EXPECT_EQ(shxSumGetSumCount(), -109);
    EXPECT_EQ(shxSumGetName(0, name, sizeof name), -109);
    EXPECT_EQ(shxSumGetSheets(0, 0), -109);
    EXPECT_EQ(shxSumGetSum(0), -109);
    EXPECT_EQ(shxSumGetElseFile(0), -109);
    EXPECT_EQ(shxSumGetElseSum(), -109);
    EXPECT_TRUE(m_ui->messages.empty());
    EXPECT_EQ(shxInit(), 0);
    EXPECT_GE(shxSumGetFileCount(), 0);
}

TEST_F(ShxApiTest, PageInfosListEveryPageForGetPageInfoOf)
{
    const std::string tif = m_dir.file("two.tif");
    ASSERT_TRUE(test::writeSheetTiff(tif, {test::a4Page(), test::letterPage()}));
    ASSERT_EQ(shxGetPageInfos(tif.c_str(), forms().c_str()), 2);
    ShxPageInfo info;
    ASSERT_EQ(shxGetPageInfoOf(2, &info), 0);
    EXPECT_EQ(info.nPage, 2);
    EXPECT_EQ(std::string(info.szForm), platform::sjis("レター"));
    EXPECT_NEAR(info.fWidthMm, 215.9, 1e-3);
    EXPECT_EQ(shxGetPageInfoOf(0, &info), kTnwBuffAtEnd);
    EXPECT_EQ(shxGetPageInfoOf(3, &info), kTnwBuffAtEnd);
    EXPECT_EQ(shxGetPageInfoOf(1, nullptr), -1);
    EXPECT_TRUE(m_ui->messages.empty());
}

TEST_F(ShxApiTest, UnreadableFileShowsTheMessageAndEmptiesTheList)
{
    const std::string good = m_dir.file("good.tif");
    ASSERT_TRUE(test::writeSheetTiff(good, {test::a4Page()}));
    ASSERT_EQ(shxGetPageInfos(good.c_str(), forms().c_str()), 1);

    const std::string bad = m_dir.file("bad.tif");
    ASSERT_TRUE(test::writeFile(bad, "PK\3\4 a zip archive named .tif"));
    EXPECT_EQ(shxGetPageInfos(bad.c_str(), forms().c_str()), common::tiffcode::NotTiff);
    ASSERT_EQ(m_ui->messages.size(), 1u);
    EXPECT_EQ(m_ui->messages[0].text, platform::sjis("ｻﾎﾟｰﾄしていないﾄﾞｷｭﾒﾝﾄです。"));
    ShxPageInfo info;
    EXPECT_EQ(shxGetPageInfoOf(1, &info), kTnwBuffAtEnd);  // no stale page of good.tif

    EXPECT_EQ(shxGetPageInfos(nullptr, nullptr), common::tiffcode::OpenFailed);
    EXPECT_EQ(m_ui->messages.size(), 2u);
}

TEST_F(ShxApiTest, BasicInfoWritesTheCsvWholeOrNotAtAll)
{
    const std::string tif = m_dir.file("a4.tif");
    ASSERT_TRUE(test::writeSheetTiff(tif, {test::a4Page()}));
    const std::string csv = m_dir.file("info.csv");
    ASSERT_EQ(shxGetBasicInfo(tif.c_str(), csv.c_str(), forms().c_str()), 0);
    const std::string text = test::readFile(csv);
    EXPECT_EQ(text.substr(0, 7), platform::sjis("頁番号,"));
    EXPECT_NE(text.find(",A4,0," + platform::sjis("縦") + "\r\n"), std::string::npos);

    // A TIFF that cannot be read: -9, the old CSV stays as it was.
    const std::string bad = m_dir.file("bad.tif");
    ASSERT_TRUE(test::writeFile(bad, "II*\0"));
    EXPECT_EQ(shxGetBasicInfo(bad.c_str(), csv.c_str(), forms().c_str()), -9);
    EXPECT_EQ(test::readFile(csv), text);
    // A CSV that cannot be created: -1 and nothing in its folder.
    const std::string nowhere = m_dir.file("missing/info.csv");
    EXPECT_EQ(shxGetBasicInfo(tif.c_str(), nowhere.c_str(), forms().c_str()), -1);
    EXPECT_EQ(shxGetBasicInfo(tif.c_str(), m_dir.path().c_str(), forms().c_str()), -1);
    // A form file path that does not fit is refused, not silently replaced by the defaults.
    const std::string longForms = "/" + std::string(300, 'f');
    EXPECT_EQ(shxGetBasicInfo(tif.c_str(), csv.c_str(), longForms.c_str()), -1);
    EXPECT_TRUE(m_ui->messages.empty());
}

TEST_F(ShxApiTest, PutFileTakesTifAndTiffAndRefusesOtherKinds)
{
    ASSERT_EQ(shxSumInit(forms().c_str(), 0), 0);
    const std::string tiff = m_dir.file("scan.TIFF");
    ASSERT_TRUE(test::writeSheetTiff(tiff, {test::a4Page()}));
    const std::string jpg = m_dir.file("scan.jpg");
    ASSERT_TRUE(test::writeSheetTiff(jpg, {test::a4Page()}));  // a TIFF in disguise
    EXPECT_EQ(shxSumPutFile(tiff.c_str()), 0);
    EXPECT_EQ(shxSumPutFile(jpg.c_str()), -1);
    EXPECT_EQ(shxSumPutFile(m_dir.file("missing.tif").c_str()), common::tiffcode::OpenFailed);
    EXPECT_EQ(shxSumPutFile(nullptr), -1);
    EXPECT_EQ(shxSumGetFileCount(), 1);
}

TEST_F(ShxApiTest, SumGetNameChecksItsBuffer)
{
    ASSERT_EQ(shxSumInit(forms().c_str(), 0), 0);
    EXPECT_EQ(shxSumGetSumCount(), 28);
    char name[16] = "zz";
    EXPECT_EQ(shxSumGetName(0, nullptr, 16), -1);
    EXPECT_EQ(shxSumGetName(0, name, 0), -2);
    EXPECT_EQ(shxSumGetName(0, name, -5), -2);
    EXPECT_EQ(shxSumGetName(0, name, 2), -3);  // "A0" and its zero need 3 bytes
    EXPECT_EQ(shxSumGetName(0, name, 3), 0);
    EXPECT_STREQ(name, "A0");
    EXPECT_EQ(shxSumGetName(28, name, 16), -4);
    EXPECT_EQ(shxSumGetName(-1, name, 16), -4);
    EXPECT_EQ(shxSumGetName(22, name, 16), 0);
    EXPECT_EQ(std::string(name), platform::sjis("レター"));
}

}  // namespace
}  // namespace tnw::sheet
