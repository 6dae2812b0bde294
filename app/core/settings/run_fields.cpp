#include "app/core/settings/run_fields.h"

namespace tnw::app {
namespace {

// Where a run field's value comes from.
enum class From { Zero, One, PdfMajor, PdfMinor, VerifyPdf, SubDirShow, Keep };

struct RunField {
    int ConvSettings::*field;
    From gui[2];          // files, folders
    From commandLine[2];  // files, folders
};

const RunField kRunFields[] = {
    {&ConvSettings::nRunFlagA, {From::Zero, From::Zero}, {From::Zero, From::Zero}},
    {&ConvSettings::nRunFlagB, {From::One, From::One}, {From::One, From::One}},
    {&ConvSettings::nPdfVerMajor, {From::PdfMajor, From::PdfMajor},
     {From::PdfMajor, From::PdfMajor}},
    {&ConvSettings::nPdfVerMinor, {From::PdfMinor, From::PdfMinor},
     {From::PdfMinor, From::PdfMinor}},
    {&ConvSettings::nRunFlagC, {From::Zero, From::Zero}, {From::Zero, From::Zero}},
    {&ConvSettings::nRunVerify, {From::VerifyPdf, From::Zero}, {From::VerifyPdf, From::Zero}},
    {&ConvSettings::nRunFlagD, {From::One, From::One}, {From::Zero, From::One}},
    {&ConvSettings::nSubDirMirror, {From::Keep, From::SubDirShow}, {From::Keep, From::Keep}},
};

}  // namespace

void writeRunFields(ConvSettings& record, const AppSettings& app, RunForm form)
{
    const bool folders = form == RunForm::GuiFolders || form == RunForm::CommandLineFolders;
    const bool gui = form == RunForm::GuiFiles || form == RunForm::GuiFolders;
    for (const RunField& f : kRunFields) {
        int& value = record.*(f.field);
        switch ((gui ? f.gui : f.commandLine)[folders ? 1 : 0]) {
        case From::Zero: value = 0; break;
        case From::One: value = 1; break;
        case From::PdfMajor: value = app.nPDFVersMajor; break;
        case From::PdfMinor: value = app.nPDFVersMinor; break;
        case From::VerifyPdf: value = app.nVerifyPdf; break;
        case From::SubDirShow: value = app.nSubDirShow; break;
        case From::Keep: break;
        }
    }
}

}  // namespace tnw::app
