#include "app/core/settings/run_fields.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace tnw::app;

namespace {

ConvSettings filled()
{
    ConvSettings record;
    std::memset(&record, 0x7F, sizeof record);  // every field "unwritten"
    return record;
}

}  // namespace

TEST(RunFields, EachFormWritesItsColumn)
{
    AppSettings app;
    app.nPDFVersMajor = 1;
    app.nPDFVersMinor = 5;
    app.nVerifyPdf = 1;  // as if loaded from a record that was not forced
    app.nSubDirShow = 1;
    const int unwritten = filled().nSubDirMirror;

    struct Row {
        RunForm form;
        int verify, flagD, mirror;
    };
    const Row rows[] = {
        {RunForm::GuiFiles, 1, 1, unwritten},
        {RunForm::GuiFolders, 0, 1, 1},
        {RunForm::CommandLineFiles, 1, 0, unwritten},
        {RunForm::CommandLineFolders, 0, 1, unwritten},
    };
    for (const Row& row : rows) {
        ConvSettings record = filled();
        writeRunFields(record, app, row.form);
        SCOPED_TRACE(static_cast<int>(row.form));
        EXPECT_EQ(record.nRunFlagA, 0);
        EXPECT_EQ(record.nRunFlagB, 1);
        EXPECT_EQ(record.nPdfVerMajor, 1);
        EXPECT_EQ(record.nPdfVerMinor, 5);
        EXPECT_EQ(record.nRunFlagC, 0);
        EXPECT_EQ(record.nRunVerify, row.verify);
        EXPECT_EQ(record.nRunFlagD, row.flagD);
        EXPECT_EQ(record.nSubDirMirror, row.mirror);
        EXPECT_EQ(record.nMode, unwritten);  // stored fields are left alone
        EXPECT_EQ(record.nMakeLog, unwritten);
    }
}
