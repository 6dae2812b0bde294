// The job state setters of the call interface, driven through the exported functions.
#include "tnwconv.h"

#include "common/platform/cp932.h"
#include "common/platform/ui.h"
#include "conv/job_state.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

using tnw::conv::jobState;
using tnw::platform::sjis;

namespace {

class KvlApi : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_ui = std::make_shared<tnw::platform::RecorderUi>();
        tnw::platform::setUiBackend(m_ui);
        kvlDebug(0);
        kvl_ForceInit(1);
        kvlReset();
        m_ui->messages.clear();
    }
    void TearDown() override
    {
        kvlDebug(0);
        tnw::platform::setUiBackend(nullptr);
    }
    std::vector<std::string> texts() const
    {
        std::vector<std::string> out;
        for (const auto& m : m_ui->messages)
            out.push_back(m.text);
        return out;
    }
    std::shared_ptr<tnw::platform::RecorderUi> m_ui;
};

TEST_F(KvlApi, InitKeepsAPositiveMarkerAndForceInitSetsAnyValue)
{
    EXPECT_EQ(kvl_ForceInit(0), 0);
    EXPECT_EQ(kvlInit(), 0);
    EXPECT_EQ(jobState().initialised, 8);
    EXPECT_EQ(kvl_ForceInit(3), 3);
    EXPECT_EQ(kvlInit(), 0);
    EXPECT_EQ(jobState().initialised, 3);
    EXPECT_EQ(kvl_ForceInit(-5), -5);
    kvlInit();
    EXPECT_EQ(jobState().initialised, 8);
    kvlReset();
    EXPECT_EQ(jobState().initialised, 8);
}

TEST_F(KvlApi, InputPathsUpTo260BytesAreAcceptedLongerOnesRefused)
{
    const std::string p260(260, 'a');
    EXPECT_EQ(kvlSetPathFrom(p260.c_str()), 0);
    EXPECT_EQ(jobState().inputs.Count(), 1);
    const std::string p261(261, 'a');
    EXPECT_EQ(kvlSetPathFrom(p261.c_str()), -2);
    EXPECT_EQ(kvlSetPathFrom(""), -2);
    EXPECT_EQ(kvlSetPathFrom(nullptr), -1);
    EXPECT_EQ(jobState().inputs.Count(), 1);
    EXPECT_EQ(kvlSetPathFrom("/scan/b.jpg"), 0);

    CTnwbuff& in = jobState().inputs;
    in.Rewind();
    ASSERT_EQ(in.Next(), 0);
    EXPECT_EQ(std::string(in.Text()), p260);
    ASSERT_EQ(in.Next(), 0);
    EXPECT_STREQ(in.Text(), "/scan/b.jpg");
}

TEST_F(KvlApi, OutputAndDescriptionPathsFollowTheSameRules)
{
    const std::string p260(260, 'b');
    EXPECT_EQ(kvlSetPathTo(p260.c_str()), 0);
    EXPECT_EQ(std::string(jobState().outputPath), p260);
    EXPECT_EQ(kvlSetPathTo(std::string(261, 'c').c_str()), -2);
    EXPECT_EQ(std::string(jobState().outputPath), p260);  // a failed setter keeps the old value
    EXPECT_EQ(kvlSetPathTo(nullptr), -1);
    EXPECT_EQ(kvlSetPathText("/scan/list.txt"), 0);
    EXPECT_STREQ(jobState().textPath, "/scan/list.txt");
    EXPECT_EQ(kvlSetPathText(""), -2);
}

TEST_F(KvlApi, LogPathIsStoredAsGivenAndNeverCut)
{
    EXPECT_EQ(kvlSetPathLog("/scan/run.csv"), 0);
    EXPECT_STREQ(jobState().logPath, "/scan/run.csv");
    EXPECT_EQ(kvl_SetPathLog(""), 0);
    EXPECT_STREQ(jobState().logPath, "");
    const std::string p399(399, 'l');
    EXPECT_EQ(kvlSetPathLog(p399.c_str()), 0);
    EXPECT_EQ(kvlSetPathLog(std::string(400, 'l').c_str()), -2);
    EXPECT_EQ(std::string(jobState().logPath), p399);
}

TEST_F(KvlApi, PdfVersionFallsBackTo11OnBadArguments)
{
    EXPECT_EQ(kvlSetPDFVersion(1, 4), 0);
    EXPECT_EQ(jobState().settings.nPdfVerMajor, 1);
    EXPECT_EQ(jobState().settings.nPdfVerMinor, 4);
    EXPECT_EQ(kvlSetPDFVersion(0, 4), -1);
    EXPECT_EQ(jobState().settings.nPdfVerMinor, 1);
    kvlSetPDFVersion(1, 7);
    EXPECT_EQ(kvlSetPDFVersion(1, 0), -2);
    EXPECT_EQ(jobState().settings.nPdfVerMajor, 1);
    EXPECT_EQ(jobState().settings.nPdfVerMinor, 1);
}

TEST_F(KvlApi, DocInfoCopiesAtMostLengthAndStopsAtTheZero)
{
    EXPECT_EQ(kvlSetDocInfo(5, "x", 1), -1);
    EXPECT_EQ(kvlSetDocInfo(0, "x", 1), -1);
    EXPECT_EQ(kvlSetDocInfo(1, nullptr, 1), -1);
    EXPECT_EQ(kvlSetDocInfo(1, "x", 0), -1);

    EXPECT_EQ(kvlSetDocInfo(1, "Monthly report", 7), 0);
    EXPECT_STREQ(jobState().docInfo(1), "Monthly");

    // A length far beyond the text: the copy ends at the terminating zero (the sanitizer run
    // proves nothing past the 3-byte allocation is read).
    auto text = std::make_unique<char[]>(3);
    std::memcpy(text.get(), "ab", 3);
    EXPECT_EQ(kvlSetDocInfo(2, text.get(), 1000), 0);
    EXPECT_STREQ(jobState().docInfo(2), "ab");

    const std::string title = sjis("報告書");
    EXPECT_EQ(kvlSetDocInfo(3, title.c_str(), 3), 0);  // never half of a double-byte character
    EXPECT_EQ(std::string(jobState().docInfo(3)), sjis("報"));
    EXPECT_EQ(kvlSetDocInfo(4, "k", 1), 0);
    EXPECT_STREQ(jobState().docInfo(4), "k");
    EXPECT_STREQ(jobState().docInfo(1), "Monthly");  // earlier copies stay valid

    kvlReset();
    EXPECT_STREQ(jobState().docInfo(1), "");
}

TEST_F(KvlApi, DocInfoOfNoWholeCharacterIsAnEmptyText)
{
    // A copy that holds no whole character is the empty text, not a storage failure: the
    // earlier value is replaced and the call succeeds.
    ASSERT_EQ(kvlSetDocInfo(1, "old", 3), 0);
    EXPECT_EQ(kvlSetDocInfo(1, "", 1), 0);
    EXPECT_STREQ(jobState().docInfo(1), "");

    ASSERT_EQ(kvlSetDocInfo(3, "old", 3), 0);
    const std::string title = sjis("報告書");
    EXPECT_EQ(kvlSetDocInfo(3, title.c_str(), 1), 0);  // half of the first character only
    EXPECT_STREQ(jobState().docInfo(3), "");
}

TEST_F(KvlApi, OptionsAndModeStoreOnlyKnownValues)
{
    EXPECT_EQ(kvlSetOpt(1, 2), 0);
    EXPECT_EQ(jobState().grouping, 2);
    EXPECT_EQ(kvlSetOpt(2, 1), 0);
    EXPECT_EQ(jobState().settings.nMakeLog, 1);
    EXPECT_EQ(kvlSetOpt(3, 9), -1);
    EXPECT_EQ(jobState().grouping, 2);
    EXPECT_EQ(jobState().settings.nMakeLog, 1);

    EXPECT_EQ(kvlSetMode(1), 0);
    EXPECT_EQ(jobState().settings.nMode, 1);
    EXPECT_EQ(kvlSetMode(2), -1);
    EXPECT_EQ(jobState().settings.nMode, 1);
    EXPECT_TRUE(m_ui->messages.empty());  // setter failures are only returned
}

TEST_F(KvlApi, DebugModeReportsEverySetterCall)
{
    EXPECT_EQ(kvlDebug(1), 0);
    EXPECT_EQ(kvlDebug(1), 0);  // already on: no second message
    kvlSetOpt(1, 2);
    kvlSetOpt(7, 3);
    kvlSetMode(1);
    kvlSetMode(4);
    EXPECT_EQ(kvlDebug(0), 0);
    EXPECT_EQ(kvlDebug(0), 0);
    kvlSetOpt(1, 0);  // off again: silent
    EXPECT_EQ(kvlDebug(2), -1);

    const std::vector<std::string> expected = {
        sjis("デバッグ設定"),
        "sbcSetOpt( OK ); nOpt( 1 ) nVal( 2 )",
        "sbcSetOpt( NG ); nOpt( 7 ) nVal( 3 )",
        "sbcSetMode( OK ); nMode( 1 )",
        "sbcSetMode( NG ); nMode( 4 )",
        sjis("デバッグ解除"),
        sjis("kvlDebug; nType( 2 ) は不正です。kvlDebugを無視します。"),
    };
    EXPECT_EQ(texts(), expected);
    for (const auto& m : m_ui->messages) {
        EXPECT_EQ(m.title, "Dravik");
        EXPECT_EQ(m.buttons, tnw::platform::MsgButtons::Ok);
    }
}

TEST_F(KvlApi, ResetClearsTheJobButKeepsMarkerDebugAndBaseFolder)
{
    kvlDebug(1);
    kvlSetHWnd(42);
    kvlSetPathFrom("/a.jpg");
    kvlSetPathTo("/out");
    kvlSetPathText("/list.txt");
    kvlSetPathLog("/log.csv");
    kvlSetOpt(1, 1);
    kvlSetPDFVersion(1, 5);
    ConvSettings record = {};
    record.nFiling = 1;
    record.nSubDirMirror = 1;
    kvl_SayIni(&record);
    std::strcpy(jobState().baseFolder, "/scan");

    EXPECT_EQ(kvlReset(), 0);
    EXPECT_EQ(jobState().window, 0);
    EXPECT_EQ(jobState().inputs.Count(), 0);
    EXPECT_STREQ(jobState().outputPath, "");
    EXPECT_STREQ(jobState().textPath, "");
    EXPECT_STREQ(jobState().logPath, "");
    EXPECT_EQ(jobState().grouping, 0);
    EXPECT_EQ(jobState().skipExisting, 0);
    EXPECT_EQ(jobState().mirrorSubDirs, 0);
    EXPECT_EQ(jobState().settings.nPdfVerMinor, 0);
    EXPECT_EQ(jobState().debug, 1);
    EXPECT_STREQ(jobState().baseFolder, "/scan");
    EXPECT_GT(jobState().initialised, 0);
    EXPECT_EQ(kvlSetPathFrom("/b.jpg"), 0);  // the list is usable again
}

TEST_F(KvlApi, SayIniTakesOnlyTheNamingFieldsAndTwoFlags)
{
    ConvSettings record;
    std::memset(&record, 0x7F, sizeof record);  // every field set, texts unterminated
    record.nFiling = 1;
    record.nSubDirMirror = 2;
    record.nNameingFile = 3;
    record.nNameingDir = 4;
    EXPECT_EQ(kvl_SayIni(&record), 0);
    EXPECT_EQ(jobState().skipExisting, 1);
    EXPECT_EQ(jobState().mirrorSubDirs, 2);
    EXPECT_EQ(jobState().settings.nNameingFile, 3);
    EXPECT_EQ(jobState().settings.nNameingDir, 4);
    EXPECT_EQ(std::strlen(jobState().settings.szMetaFile), 79u);
    EXPECT_EQ(std::strlen(jobState().settings.szMetaDir), 79u);
    EXPECT_EQ(jobState().settings.nMakeLog, 0);
    EXPECT_EQ(jobState().settings.nFolding, 0);
    EXPECT_EQ(kvl_SayIni(nullptr), -1);
}

TEST_F(KvlApi, PutMsgShowsTheTextUnderTheLibraryTitle)
{
    const std::string text = sjis("出力パスがありません。");
    EXPECT_EQ(sbxPutMsg(text.c_str()), 0);
    ASSERT_EQ(m_ui->messages.size(), 1u);
    EXPECT_EQ(m_ui->messages[0].title, "Dravik");
    EXPECT_EQ(m_ui->messages[0].text, text);
    EXPECT_EQ(m_ui->messages[0].buttons, tnw::platform::MsgButtons::Ok);
}

}  // namespace
